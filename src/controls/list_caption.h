#pragma once
// The one-line texts of list boxes and menus: the font settings an item is drawn with (one set
// for items at rest, one for the hovered item) and the rendered text of one item. A caption is
// measured and rendered from the glyph cache once, into a colour surface and an 8-bit coverage
// surface, and composited from them every time it is drawn.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "render/dibx.h"

namespace novu {

class Serializer;
namespace text {
class TFontPixelManager;
}

// The face an item is drawn in when no font name is given ("ＭＳ Ｐゴシック").
inline constexpr std::string_view kListDefaultFontName =
    "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
// Font sizes and border widths outside these ranges are cut to them.
inline constexpr int32_t kListMinFontSize = 1;
inline constexpr int32_t kListMaxFontSize = 512;
inline constexpr int32_t kListMaxDecoration = 64;

struct ListCaptionStyle {
  int32_t anti_alias = 3;  // glyph-cache level 0..3
  int32_t border_width = 0;
  int32_t alpha = 255;
  int32_t font_size = 16;
  std::string font_name;  // empty: kListDefaultFontName
  int32_t colour = 0xffffff;
  int32_t border_colour = 0;
  uint8_t style = 0;  // FS_ bits: 1 bold, 2 italic, 4 underline, 8 strike-out
  int32_t shadow_offset = 0;
  int32_t shadow_colour = 0;

  // The sizes and widths used for drawing, whatever was stored.
  int32_t UsedFontSize() const;
  int32_t UsedBorder() const;
  int32_t UsedShadow() const;
  std::string_view UsedFontName() const;

  // The saved settings: level, border, alpha, size, name, colours, style, the font metrics
  // block (written as zeros and skipped on reading) and, from version 122, the shadow.
  void Sync(Serializer& s);

  friend bool operator==(const ListCaptionStyle&, const ListCaptionStyle&) = default;
};

class ListCaption {
 public:
  // The outline-metrics block the saved settings carry.
  static constexpr size_t kMetricsBlockSize = 212;

  explicit ListCaption(std::string text = {}) : text_(std::move(text)) {}

  const std::string& text() const { return text_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }

  // Works out the size from the glyph cache; none: an empty caption.
  void Measure(text::TFontPixelManager* glyphs, const ListCaptionStyle& style);
  // Measures and renders the surfaces at `depth`.
  void Render(text::TFontPixelManager* glyphs, const ListCaptionStyle& style, int depth);
  bool rendered() const { return rendered_; }
  void Invalidate() { rendered_ = false; }
  // Composites the rendered text with its top-left at (x, y) and the style's alpha.
  void Draw(render::TCustomDIBX& target, int32_t x, int32_t y, const ListCaptionStyle& style) const;

 private:
  // Each character's code and the left of its cell.
  template <typename Fn>
  void ForEachCharacter(text::TFontPixelManager& glyphs, const ListCaptionStyle& style,
                        Fn&& fn) const;

  std::string text_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  bool rendered_ = false;
  // Made at the first rendering; a caption never rendered holds no pixels.
  std::unique_ptr<render::TDIBX> colour_;
  std::unique_ptr<render::TDIBX> coverage_;
};

}  // namespace novu
