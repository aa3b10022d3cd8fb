#pragma once
// TKxLabelDIB: a single line of caption text rendered once from the glyph cache into a colour
// surface and an 8-bit coverage surface, then composited wherever its owner draws it.
// TKxLabelList: the labels a control shows (a button has one).
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "render/dibx.h"

namespace novu {

class Serializer;
namespace text {
class TFontPixelManager;
}

// "ＭＳ Ｐゴシック", the face of a caption that names none.
inline constexpr std::string_view kCaptionDefaultFont =
    "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";

struct CaptionStyle {
  // Caption sizes outside these ranges are clamped: a huge size or border would make the label
  // surfaces enormous, a negative one has no meaning.
  static constexpr int32_t kMinFontHeight = 1;
  static constexpr int32_t kMaxFontHeight = 256;
  static constexpr int32_t kMaxBorderWidth = 8;
  static constexpr int32_t kMaxShadowOffset = 16;

  std::string font_name{kCaptionDefaultFont};
  int32_t font_height = 12;
  uint8_t style = 0;  // FS_ bits
  int32_t colour = 0xFFFFFF;
  int32_t anti_alias = 3;  // 0 (off) or 3
  int32_t border_width = 0;
  int32_t border_colour = 0;
  int32_t shadow_offset = 0;
  int32_t shadow_colour = 0;
  int32_t alpha = 255;

  // The face the glyphs come from: the named one, or the default for an empty name.
  std::string_view Face() const;
  // Brings every size into its range.
  void Clamp();
};

class TKxLabelDIB {
 public:
  const std::string& text() const { return text_; }
  const CaptionStyle& style() const { return style_; }
  CaptionStyle& mutable_style() {
    needs_render_ = true;
    return style_;
  }
  void SetText(std::string_view text);
  bool needs_render() const { return needs_render_; }
  void MarkChanged() { needs_render_ = true; }

  // Measures and renders the label when something changed since the last time.
  void Prepare(text::TFontPixelManager& glyphs, int depth);
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  // The width of every character of the text, in order.
  const std::vector<int32_t>& char_widths() const { return char_widths_; }
  // Composites the rendered label with its top-left corner at (x, y).
  void Draw(render::TCustomDIBX& target, int32_t x, int32_t y) const;

 private:
  void Measure(text::TFontPixelManager& glyphs);
  void Render(text::TFontPixelManager& glyphs, int depth);
  int32_t CharWidth(text::TFontPixelManager& glyphs, uint16_t code);

  std::string text_;
  CaptionStyle style_;
  bool needs_render_ = true;
  std::vector<uint16_t> codes_;
  std::vector<int32_t> char_widths_;
  std::map<uint16_t, int32_t> width_cache_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  render::TDIBX colour_;
  render::TDIBX coverage_;
};

class TKxLabelList {
 public:
  explicit TKxLabelList(size_t count = 1);

  TKxLabelDIB& label(size_t index) { return *labels_[index]; }
  const TKxLabelDIB& label(size_t index) const { return *labels_[index]; }
  size_t size() const { return labels_.size(); }

  // Renders every label that needs it; nothing without a glyph cache.
  void Prepare(text::TFontPixelManager* glyphs, int depth);

 private:
  std::vector<std::unique_ptr<TKxLabelDIB>> labels_;
};

}  // namespace novu
