#include "controls/list_caption.h"

#include <algorithm>
#include <array>

#include "core/cp932.h"
#include "core/serializer.h"
#include "text/font_pixel.h"

namespace novu {
namespace {

constexpr int32_t kShadowColourVersion = 122;
constexpr int32_t kLevelVersion = 109;

}  // namespace

int32_t ListCaptionStyle::UsedFontSize() const {
  return std::clamp(font_size, kListMinFontSize, kListMaxFontSize);
}

int32_t ListCaptionStyle::UsedBorder() const {
  return std::clamp(border_width, 0, kListMaxDecoration);
}

int32_t ListCaptionStyle::UsedShadow() const {
  return std::clamp(shadow_offset, 0, kListMaxDecoration);
}

std::string_view ListCaptionStyle::UsedFontName() const {
  return font_name.empty() ? kListDefaultFontName : std::string_view(font_name);
}

void ListCaptionStyle::Sync(Serializer& s) {
  s.I32(anti_alias);
  // Older files kept a flag here: only a value above 1 meant smoothing.
  if (s.loading() && !s.Has(kLevelVersion)) anti_alias = anti_alias > 1 ? 3 : 0;
  s.I32(border_width);
  s.I32(alpha);
  s.I32(font_size);
  s.String(font_name);
  s.I32(colour);
  s.I32(border_colour);
  s.U8(style);
  // The outline metrics of the font as the editor measured them; the glyph cache measures the
  // face itself.
  if (s.loading()) {
    s.reader().Skip(ListCaption::kMetricsBlockSize);
  } else {
    static const std::array<uint8_t, ListCaption::kMetricsBlockSize> kZeros{};
    s.writer().Bytes(kZeros);
  }
  if (s.Has(kShadowColourVersion)) {
    s.I32(shadow_offset);
    s.I32(shadow_colour);
  }
}

template <typename Fn>
void ListCaption::ForEachCharacter(text::TFontPixelManager& glyphs, const ListCaptionStyle& style,
                                   Fn&& fn) const {
  const int32_t grow = 2 * style.UsedBorder() + style.UsedShadow();
  int32_t x = 0;
  for (size_t i = 0; i < text_.size();) {
    const auto lead = static_cast<uint8_t>(text_[i]);
    uint16_t code = lead;
    size_t length = 1;
    if (cp932::IsLeadByte(lead) && i + 1 < text_.size()) {
      code = static_cast<uint16_t>(lead << 8 | static_cast<uint8_t>(text_[i + 1]));
      length = 2;
    }
    const auto pixel =
        glyphs.Get(code, style.UsedFontName(), style.style & 0x0f, style.UsedFontSize());
    const auto& [a, b, c] = pixel->abc;
    int32_t cell = std::max(0, a + b + c) + grow;
    const bool last = i + length >= text_.size();
    if (last && c < 0) cell -= c;
    fn(*pixel, x, cell, i == 0, last);
    x += cell;
    i += length;
  }
}

void ListCaption::Measure(text::TFontPixelManager* glyphs, const ListCaptionStyle& style) {
  width_ = height_ = 0;
  if (glyphs == nullptr) return;
  const auto metrics = glyphs->Source().Metrics(platform::FontRequest{
      std::string(style.UsedFontName()), style.UsedFontSize(), style.style & 0x0f});
  if (!metrics) return;
  glyphs->SetLevel(style.anti_alias);
  int32_t total = 0;
  ForEachCharacter(
      *glyphs, style,
      [&total](const text::TFontPixel&, int32_t, int32_t cell, bool, bool) { total += cell; });
  width_ = std::min(total, render::kMaxSurfaceSide);
  height_ =
      std::min(metrics->ascent + metrics->descent + 2 * style.UsedBorder() + style.UsedShadow(),
               render::kMaxSurfaceSide);
}

void ListCaption::Render(text::TFontPixelManager* glyphs, const ListCaptionStyle& style,
                         int depth) {
  rendered_ = true;
  Measure(glyphs, style);
  if (glyphs == nullptr || width_ <= 0 || height_ <= 0) return;
  if (colour_ == nullptr) colour_ = std::make_unique<render::TDIBX>();
  if (coverage_ == nullptr) coverage_ = std::make_unique<render::TDIBX>();
  colour_->SetSize(width_, height_, depth);
  coverage_->SetSize(width_, height_, 8);
  colour_->Clear(0);
  coverage_->Clear(0);
  ForEachCharacter(
      *glyphs, style,
      [&](const text::TFontPixel& pixel, int32_t x, int32_t cell, bool first, bool last) {
        text::GlyphDrawSpec draw;
        draw.cell = Rect{x, 0, x + cell, height_};
        draw.text_colour = style.colour;
        draw.border_colour = style.border_colour;
        draw.shadow_colour = style.shadow_colour;
        draw.border_width = style.UsedBorder();
        draw.shadow_offset = style.UsedShadow();
        draw.previous_differs = first;
        draw.next_differs = last;
        text::TFontPixelManager::Draw(pixel, *colour_, *coverage_, draw);
      });
}

void ListCaption::Draw(render::TCustomDIBX& target, int32_t x, int32_t y,
                       const ListCaptionStyle& style) const {
  const int alpha = std::min(style.alpha, 255);
  if (!rendered_ || colour_ == nullptr || coverage_ == nullptr || width_ <= 0 || height_ <= 0 ||
      alpha <= 0) {
    return;
  }
  const Rect source{0, 0, width_, height_};
  if (style.UsedBorder() == 0 && style.UsedShadow() == 0) {
    const auto raw = static_cast<uint32_t>(target.ColorToPixel(style.colour));
    target.DrawMaskColor(x, y, alpha, raw, {}, source, *coverage_);
  } else if (alpha < 255) {
    target.DrawAlphaMasked(x, y, alpha, *coverage_, {}, source, *colour_);
  } else {
    target.DrawMasked(x, y, *coverage_, {}, source, *colour_);
  }
}

}  // namespace novu
