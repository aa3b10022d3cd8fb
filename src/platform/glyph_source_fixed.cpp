// Plain boxes for tests: every size follows from the cell height, so expected pixels can be
// worked out by hand.
#include <algorithm>
#include <cstdlib>

#include "platform/glyph_source.h"

namespace novu::platform {
namespace {

constexpr int kDefaultHeight = 16;
constexpr int kMaxHeight = 512;

bool IsBlank(uint16_t code) {
  return code == 0x20 || code == 0x8140;
}
bool IsDoubleByte(uint16_t code) {
  return code > 0xFF;
}

int Ascent(int h) {
  return h - h / 5;
}

struct Box {
  int width, height, origin_x, origin_y, advance;
};

Box BoxOf(const FontRequest& font, uint16_t code) {
  const int h = FixedGlyphSource::CellHeight(font);
  const int ascent = Ascent(h);
  const int advance = IsDoubleByte(code) ? h : h / 2;
  int width = IsDoubleByte(code) ? std::max(1, h - 2) : std::max(1, h / 2 - 2);
  if (font.style & kFontBold) ++width;
  return {width, std::max(1, ascent - 1), 1, ascent - 1, advance};
}

}  // namespace

int FixedGlyphSource::CellHeight(const FontRequest& font) {
  const int h = font.height == 0 ? kDefaultHeight : std::abs(font.height);
  return std::clamp(h, 1, kMaxHeight);
}

std::optional<FontMetrics> FixedGlyphSource::Metrics(const FontRequest& font) {
  if (metrics_fail) return std::nullopt;
  const int h = CellHeight(font);
  const int bar = std::max(1, h / 12);
  return FontMetrics{Ascent(h), h / 5, bar, h / 3, bar};
}

std::optional<GlyphOutline> FixedGlyphSource::Outline(const FontRequest& font, uint16_t code,
                                                      int level) {
  ++outline_calls;
  level = std::clamp(level, 0, 3);
  if (failing_levels & (1u << level)) return std::nullopt;
  const Box box = BoxOf(font, code);
  GlyphOutline out;
  out.advance = box.advance;
  if (IsBlank(code)) return out;
  out.width = box.width;
  out.height = box.height;
  out.origin_x = box.origin_x;
  out.origin_y = box.origin_y;
  const int top = MaxGrey(level);
  out.grey.resize(static_cast<size_t>(box.width) * box.height);
  for (size_t i = 0; i < out.grey.size(); ++i) {
    out.grey[i] = static_cast<uint8_t>(fill == Fill::kSolid ? top : i % (top + 1));
  }
  return out;
}

int FixedGlyphSource::TextWidth(const FontRequest& font, uint16_t code) {
  return BoxOf(font, code).advance;
}

AbcWidths FixedGlyphSource::Abc(const FontRequest& font, uint16_t code) {
  const Box box = BoxOf(font, code);
  if (IsBlank(code)) return {0, 0, box.advance};
  return {box.origin_x, box.width, box.advance - box.origin_x - box.width};
}

}  // namespace novu::platform
