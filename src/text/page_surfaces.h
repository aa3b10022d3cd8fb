#pragma once
// Drawing laid-out pages in two stages: a page is rendered once into a colour surface and an
// 8-bit coverage surface (Redraw), and every frame each visible glyph is composited from them
// onto the target with its own alpha (Draw), so a page fading in glyph by glyph costs one
// masked copy per glyph and no rasterising.
//
//   TextPageSurfaces surfaces;
//   surfaces.Redraw(word, page, painter, /*reset_alpha=*/true);   // when the page changes
//   surfaces.Draw(word, page, screen, {x, y}, clip, draw_picture);  // every frame
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "render/dibx.h"
#include "text/text_layout.h"

namespace novu::text {

// One character to paint into the page surfaces: the glyph cache's request and cell.
// Colours are 0x00BBGGRR.
struct CharacterPaint {
  uint16_t code = 0;
  std::string font_name;  // never empty
  int flags = 0;          // FS_* bits
  int size = 0;           // the cell's character size
  int level = 3;          // anti-alias level
  Rect cell;              // in page surface coordinates
  int32_t text_colour = 0;
  int32_t border_colour = 0;
  int32_t shadow_colour = 0;
  int border_width = 0;
  int shadow_offset = 0;
  // The neighbour on that side is not a character with the same border and shadow.
  bool previous_differs = true;
  bool next_differs = true;
};

// Paints characters into a colour surface and an 8-bit coverage surface (the glyph cache in
// the player; plain boxes in tests). Returns the rectangle it touched.
class GlyphPainter {
 public:
  virtual ~GlyphPainter() = default;
  virtual Rect Paint(const CharacterPaint& paint, render::TCustomDIBX& colour,
                     render::TCustomDIBX& coverage) = 0;
};

// Draws an inline picture's current frame at (x, y) with an alpha code (1-255 blend or copy,
// 256-511 additive), as image controls draw.
using PictureDraw =
    std::function<void(const TWdImg&, render::TCustomDIBX& target, int x, int y, int alpha_code)>;

class TextPageSurfaces {
 public:
  // Page surfaces never grow beyond this, whatever the wrap width or visible height say.
  static constexpr int kMaxWidth = 4096;
  static constexpr int kMaxHeight = 4096;

  // Sizes both surfaces to the page (wrap width, or the widest row, by the visible height, or
  // the page's height when that is 0), clears them and renders every character of the page.
  // reset_alpha first sets every glyph's alpha to 0.
  void Redraw(const TKxWord& word, const TWdPage& page, GlyphPainter& painter, bool reset_alpha,
              int depth = 32);
  // Composites the glyphs with alpha above 0 of the rows that meet `clip`, at `origin` (the
  // page's top-left on the target, before scrolling), inside the document's visible area.
  void Draw(const TKxWord& word, const TWdPage& page, render::TCustomDIBX& target, int origin_x,
            int origin_y, const Rect& clip, const PictureDraw& draw_picture = {}) const;

  const render::TDIBX& colour() const { return colour_; }
  const render::TDIBX& coverage() const { return coverage_; }
  // Rectangles the last Redraw touched (page surface coordinates).
  const std::vector<Rect>& changed() const { return changed_; }

 private:
  // Glyphs side by side on the surfaces and the target, composed alike.
  struct GlyphSpan {
    Rect source;  // on the page surfaces
    int x = 0;    // on the target
    int y = 0;
    int alpha = 0;
    bool from_colour = false;  // bordered or shadowed: blended from the colour surface
    uint32_t raw = 0;          // else: the text colour painted through the coverage

    bool Extend(const GlyphSpan& next);
  };

  void RenderCharacter(const TKxWord& word, const TWdRow& row, size_t index, GlyphPainter& painter);
  void Flush(GlyphSpan& span, render::TCustomDIBX& target) const;

  render::TDIBX colour_;
  render::TDIBX coverage_;
  std::vector<Rect> changed_;
};

// The colour a character is drawn in: the hover colour when hovered, the link colour for link
// text of default colour, the document colour for default colour, else its own.
int32_t TextColourOf(const TKxWord& word, const TWdChar& ch);
// The alpha code an inline picture is drawn with under the document's alpha.
int PictureAlphaCode(int glyph_alpha, int document_alpha);

}  // namespace novu::text
