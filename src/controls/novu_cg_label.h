#pragma once
// TNovuCGLabel (LT_CGLABEL, command CGCaption): text drawn from a picture that holds its
// characters as a grid of equal cells. The cell of a character is its position in the map text,
// counted in characters (a two-byte character is one); characters the map lacks leave a gap.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "controls/image_environment.h"
#include "controls/image_list.h"
#include "objects/novu_control.h"

namespace novu {

class TNovuCGLabel final : public TNovuControl {
 public:
  TNovuCGLabel(ObjectList* owner, ImageEnvironment env);
  ~TNovuCGLabel() override;

  ComponentType GetType() const override { return LT_CGLABEL; }
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

  void SetSource(std::string_view name);
  void SetText(std::string_view text);
  void SetMapText(std::string_view map);
  // Values of 0 or less become 1.
  void SetCellWidth(int32_t width);
  void SetCellHeight(int32_t height);
  void SetLineSpace(int32_t spacing);
  void SetAlpha(int32_t alpha);

  int32_t cell_width() const { return cell_width_; }
  int32_t cell_height() const { return cell_height_; }
  // One list of cell indices per text line; -1 for a character missing from the map.
  const std::vector<std::vector<int32_t>>& cell_lines() const { return cell_lines_; }

  int32_t Update() override;
  void ReleaseSurfaces() { images_.ReleaseSurfaces(); }
  void RestoreSurfaces() { images_.RestoreSurfaces(); }

 protected:
  void DrawSelf(render::TCustomDIBX& surface) override;
  void AfterLoad() override;

 private:
  void RebuildCells();
  void RecomputeSize();
  const TNovuImageData* CurrentFrame() const;
  void DrawCell(render::TCustomDIBX& surface, const TNovuImageData& frame, int32_t x, int32_t y,
                const Rect& src) const;

  ImageEnvironment env_;
  TNovuImageList images_;
  bool frame_selected_ = false;
  std::string source_;
  std::string text_;
  std::string map_text_;
  int32_t cell_width_ = 1;
  int32_t cell_height_ = 1;
  int32_t line_space_ = 0;
  bool paused_ = false;
  uint8_t alignment_ = 0;
  int32_t alpha_ = 255;
  std::string on_idle_;
  std::vector<std::vector<int32_t>> cell_lines_;
};

}  // namespace novu
