#include "controls/kx_label_list.h"

#include <algorithm>

#include "core/cp932.h"
#include "platform/glyph_source.h"
#include "text/decorate.h"
#include "text/font_pixel.h"

namespace novu {

std::string_view CaptionStyle::Face() const {
  return font_name.empty() ? kCaptionDefaultFont : std::string_view(font_name);
}

void CaptionStyle::Clamp() {
  font_height = std::clamp(font_height, kMinFontHeight, kMaxFontHeight);
  border_width = std::clamp(border_width, 0, kMaxBorderWidth);
  shadow_offset = std::clamp(shadow_offset, 0, kMaxShadowOffset);
  anti_alias = anti_alias > 0 ? 3 : 0;
}

void TKxLabelDIB::SetText(std::string_view text) {
  if (text == text_) return;
  text_ = text;
  needs_render_ = true;
}

int32_t TKxLabelDIB::CharWidth(text::TFontPixelManager& glyphs, uint16_t code) {
  if (const auto it = width_cache_.find(code); it != width_cache_.end()) return it->second;
  const platform::FontRequest font{std::string(style_.Face()), style_.font_height,
                                   style_.style & (text::FS_BOLD | text::FS_ITALIC)};
  const platform::AbcWidths abc = glyphs.Source().Abc(font, code);
  const int32_t width = abc.a + abc.b + abc.c + 2 * style_.border_width + style_.shadow_offset;
  width_cache_.emplace(code, width);
  return width;
}

void TKxLabelDIB::Measure(text::TFontPixelManager& glyphs) {
  codes_.clear();
  for (size_t at = 0; at < text_.size();) {
    const auto lead = static_cast<uint8_t>(text_[at]);
    const bool wide = cp932::IsLeadByte(lead) && at + 1 < text_.size();
    codes_.push_back(wide ? static_cast<uint16_t>(lead << 8 | static_cast<uint8_t>(text_[at + 1]))
                          : lead);
    at += wide ? 2 : 1;
  }
  const platform::FontRequest font{std::string(style_.Face()), style_.font_height,
                                   style_.style & (text::FS_BOLD | text::FS_ITALIC)};
  const auto metrics = glyphs.Source().Metrics(font);
  const int32_t text_height = metrics ? metrics->ascent + metrics->descent : style_.font_height;
  height_ = text_height + 2 * style_.border_width + style_.shadow_offset;

  width_cache_.clear();
  char_widths_.clear();
  int64_t total = 0;
  for (uint16_t code : codes_) {
    char_widths_.push_back(CharWidth(glyphs, code));
    total += char_widths_.back();
  }
  if (!codes_.empty()) {
    // A last character whose ink reaches past its advance keeps that overhang inside the label.
    const platform::AbcWidths abc = glyphs.Source().Abc(font, codes_.back());
    if (abc.c < 0) total -= abc.c;
  }
  width_ = static_cast<int32_t>(std::clamp<int64_t>(total, 0, 1 << 15));
}

void TKxLabelDIB::Render(text::TFontPixelManager& glyphs, int depth) {
  if (width_ <= 0 || height_ <= 0) {
    colour_.ResetSize();
    coverage_.ResetSize();
    return;
  }
  colour_.SetSize(width_, height_, depth);
  coverage_.SetSize(width_, height_, 8);
  colour_.Clear(0);
  coverage_.Clear(0);
  const int saved_level = glyphs.Level();
  glyphs.SetLevel(style_.anti_alias);
  int32_t x = 0;
  for (size_t i = 0; i < codes_.size(); ++i) {
    const auto pixel = glyphs.Get(
        codes_[i], style_.Face(),
        style_.style & (text::FS_BOLD | text::FS_ITALIC | text::FS_UNDERLINE | text::FS_STRIKEOUT),
        style_.font_height);
    text::GlyphDrawSpec draw;
    draw.cell = Rect{x, 0, x + char_widths_[i], height_};
    draw.text_colour = style_.colour;
    draw.border_colour = style_.border_colour;
    draw.shadow_colour = style_.shadow_colour;
    draw.border_width = style_.border_width;
    draw.shadow_offset = style_.shadow_offset;
    text::TFontPixelManager::Draw(*pixel, colour_, coverage_, draw);
    x += char_widths_[i];
  }
  glyphs.SetLevel(saved_level);
}

void TKxLabelDIB::Prepare(text::TFontPixelManager& glyphs, int depth) {
  if (!needs_render_) return;
  needs_render_ = false;
  style_.Clamp();
  Measure(glyphs);
  Render(glyphs, depth);
}

void TKxLabelDIB::Draw(render::TCustomDIBX& target, int32_t x, int32_t y) const {
  if (coverage_.IsEmpty() || style_.alpha < 1) return;
  const Rect all{0, 0, coverage_.Width(), coverage_.Height()};
  const int alpha = std::min(style_.alpha, 255);
  if (style_.border_width == 0 && style_.shadow_offset == 0) {
    target.DrawMaskColor(x, y, alpha, static_cast<uint32_t>(target.ColorToPixel(style_.colour)), {},
                         all, coverage_);
  } else if (alpha < 255) {
    target.DrawAlphaMasked(x, y, alpha, coverage_, {}, all, colour_);
  } else {
    target.DrawMasked(x, y, coverage_, {}, all, colour_);
  }
}

TKxLabelList::TKxLabelList(size_t count) {
  for (size_t i = 0; i < count; ++i) labels_.push_back(std::make_unique<TKxLabelDIB>());
}

void TKxLabelList::Prepare(text::TFontPixelManager* glyphs, int depth) {
  if (glyphs == nullptr) return;
  for (auto& label : labels_) label->Prepare(*glyphs, depth);
}

}  // namespace novu
