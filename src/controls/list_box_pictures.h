#pragma once
// The pictures of a list box: the scroll and check pictures, each cut into equal cells side by
// side, and the nine animated frame pictures. All are held in the image cache for as long as
// the list shows them. Every picture is laid down by repeating it (a wrapping tile) with the
// list's alpha code: 255 copies, 256-511 adds with weight code - 256, anything else in 1..511
// blends.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "controls/image_list.h"
#include "controls/list_box_geometry.h"

namespace novu {

class TFipoCollection;
class TFipoItem;
namespace render {
class TCustomDIBX;
}

// Repeats src of `picture` over `rect`, the copy at the rectangle's top-left corner starting
// phase_x / phase_y pixels to its right and below (negative: above and left).
void TileListPicture(render::TCustomDIBX& target, const Rect& rect, int32_t phase_x,
                     int32_t phase_y, int32_t alpha, const render::TCustomDIBX& picture,
                     const render::TCustomDIBX* mask, const Rect& src);

// Where a band's picture starts inside a cell of `cell` pixels for a picture of `picture`
// pixels: 0 at the start, 1 centred, 2 at the end.
int32_t AlignedTilePhase(int32_t alignment, int32_t cell, int32_t picture);

class ListCellPicture {
 public:
  ListCellPicture(TFipoCollection* cache, int32_t cells) : cache_(cache), cells_(cells) {}
  ~ListCellPicture() { Release(); }
  ListCellPicture(const ListCellPicture&) = delete;
  ListCellPicture& operator=(const ListCellPicture&) = delete;

  const std::string& name() const { return name_; }
  // Holds the named picture; the empty name holds none.
  void Load(std::string_view name);
  // A picture narrower than its cells has cells of width 0 and draws nothing.
  int32_t CellWidth() const;
  int32_t CellHeight() const;
  bool Usable() const { return CellWidth() > 0 && CellHeight() > 0; }
  // Repeats cell `cell` over `rect`, starting phase_y pixels below its top.
  void Tile(render::TCustomDIBX& target, const Rect& rect, int32_t cell, int32_t phase_y,
            int32_t alpha) const;
  void Draw(render::TCustomDIBX& target, int32_t x, int32_t y, int32_t cell, int32_t alpha) const;

 private:
  void Release();

  TFipoCollection* cache_;
  int32_t cells_;
  std::string name_;
  TFipoItem* item_ = nullptr;
};

// The frame cells in the order of their properties: top-left, top-centre, top-right,
// centre-left, centre, centre-right, bottom-left, bottom-centre, bottom-right.
inline constexpr int kFrameCells = 9;

class ListFramePictures {
 public:
  struct Cell {
    std::string name;
    uint8_t h_align = 0;
    uint8_t v_align = 0;
    std::unique_ptr<TNovuImageList> list;
  };

  explicit ListFramePictures(TFipoCollection* cache);

  Cell& cell(int index) { return cells_[static_cast<size_t>(index)]; }
  const Cell& cell(int index) const { return cells_[static_cast<size_t>(index)]; }
  void Load(int index, std::string_view name);
  // The size of a cell's picture; 0 x 0 without one.
  int32_t Width(int index) const;
  int32_t Height(int index) const;
  FrameSizes Sizes() const;
  // Runs every animation; true when a shown frame changed.
  bool Advance(int32_t elapsed_ms);
  // Fills the nine cells inside `inner`; the centre column is narrowed by `centre_cut` on its
  // right (the scroll bar's column).
  void Paint(render::TCustomDIBX& target, const Rect& inner, int32_t centre_cut,
             int32_t alpha) const;

 private:
  void PaintCell(render::TCustomDIBX& target, int index, const Rect& rect, int32_t alpha) const;

  std::array<Cell, kFrameCells> cells_;
};

}  // namespace novu
