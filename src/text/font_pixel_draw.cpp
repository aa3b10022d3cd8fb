// Drawing one cached character into a colour surface and an 8-bit coverage surface: the glyph,
// its border (the glyph dilated by a square), its shadow, and the underline and strike-out bars
// with their own borders and shadows.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "render/custom_dibx.h"
#include "render/pixel_access.h"
#include "render/scan_hold.h"
#include "text/font_pixel.h"

namespace novu::text {
namespace {

using render::TCustomDIBX;

// Bounding box of both; an empty rectangle adds nothing.
Rect Cover(const Rect& a, const Rect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// Where the black box starts to the right of the cell's left edge before the border: narrow
// characters in a wider cell are centred by their ABC widths.
int CentringOffset(const TFontPixel& pixel, int cell_width) {
  const int g = std::min(cell_width, std::abs(pixel.font_height));
  const int e = g - pixel.width;
  if (pixel.origin_x + pixel.right_spacing >= e) return 0;
  const auto& [a, b, c] = pixel.abc;
  const int64_t total = int64_t{a} + b + c;
  // A zero or negative total would divide by zero or flip the glyph out of its cell.
  const int64_t centred = (int64_t{a} + c == 0 || total <= 0)
                              ? e / 2
                              : std::llround((a + b / 2.0) * e / static_cast<double>(total));
  return static_cast<int>(std::max<int64_t>(0, centred - pixel.origin_x));
}

// Both surfaces, row by row, limited to where both have pixels and the colour surface's clip.
class GlyphCanvas {
 public:
  GlyphCanvas(TCustomDIBX& colour, TCustomDIBX& coverage)
      : colour_(colour), coverage_(coverage), colour_hold_(colour), coverage_hold_(coverage) {
    if (colour.IsEmpty() || coverage.IsEmpty() || coverage.StorageBitCount() != 8) return;
    colour_top_ = colour.ScanPointer(0, 0);
    coverage_top_ = coverage.ScanPointer(0, 0);
    if (!colour_top_ || !coverage_top_) return;
    colour_pitch_ = colour.Pitch();
    coverage_pitch_ = coverage.Pitch();
    bits_ = colour.StorageBitCount();
    bounds_ = Intersect(colour.DrawableRect(), Rect{0, 0, coverage.Width(), coverage.Height()});
  }

  const Rect& Bounds() const { return bounds_; }
  bool Usable() const { return colour_top_ && coverage_top_ && !bounds_.IsEmpty(); }
  uint32_t Raw(int32_t colour) const { return static_cast<uint32_t>(colour_.ColorToPixel(colour)); }

  void ClearCoverage(const Rect& area) {
    const Rect r = Intersect(area, bounds_);
    for (int y = r.top; y < r.bottom; ++y) {
      std::fill_n(CoverageRow(y) + r.left, r.Width(), uint8_t{0});
    }
  }

  void FillBar(const Rect& area, uint32_t raw) {
    const Rect r = Intersect(area, bounds_);
    for (int y = r.top; y < r.bottom; ++y) {
      uint8_t* colour = ColourRow(y);
      std::fill_n(CoverageRow(y) + r.left, r.Width(), uint8_t{255});
      for (int x = r.left; x < r.right; ++x) render::StoreRaw(colour, x, bits_, raw);
    }
  }

  // Where the glyph has coverage the colour becomes `raw` and the coverage the larger value.
  void PaintGlyph(const TFontPixel& pixel, int left, int top, uint32_t raw) {
    const Rect r = Intersect(MakeRect(left, top, pixel.width, pixel.height), bounds_);
    if (r.IsEmpty()) return;
    if (bits_ == 32) {
      PaintRows(pixel, left, top, r,
                [raw](uint8_t* row, int x) { reinterpret_cast<uint32_t*>(row)[x] = raw; });
    } else {
      PaintRows(pixel, left, top, r,
                [this, raw](uint8_t* row, int x) { render::StoreRaw(row, x, bits_, raw); });
    }
  }

  // The border shape: every glyph pixel spreads its coverage to the (2b + 1)^2 - 1 positions
  // around it. Full coverage sets the colour; partial coverage adds to what is there and mixes
  // the colour in proportion to what it added.
  void PaintDilated(const TFontPixel& pixel, int left, int top, int radius, uint32_t raw) {
    for (int sy = 0; sy < pixel.height; ++sy) {
      const uint8_t* source = &pixel.coverage[static_cast<size_t>(sy) * pixel.width];
      for (int sx = 0; sx < pixel.width; ++sx) {
        const uint8_t k = source[sx];
        if (k != 0) SpreadAround(left + sx, top + sy, radius, k, raw);
      }
    }
  }

 private:
  uint8_t* ColourRow(int y) const { return colour_top_ + y * colour_pitch_; }
  uint8_t* CoverageRow(int y) const { return coverage_top_ + y * coverage_pitch_; }

  template <typename Store>
  void PaintRows(const TFontPixel& pixel, int left, int top, const Rect& r, Store store) {
    for (int y = r.top; y < r.bottom; ++y) {
      const uint8_t* source = &pixel.coverage[static_cast<size_t>(y - top) * pixel.width];
      uint8_t* colour = ColourRow(y);
      uint8_t* coverage = CoverageRow(y);
      for (int x = r.left; x < r.right; ++x) {
        const uint8_t k = source[x - left];
        if (k == 0) continue;
        store(colour, x);
        if (k > coverage[x]) coverage[x] = k;
      }
    }
  }

  void SpreadAround(int cx, int cy, int radius, uint8_t k, uint32_t raw) {
    const Rect r =
        Intersect(Rect{cx - radius, cy - radius, cx + radius + 1, cy + radius + 1}, bounds_);
    for (int y = r.top; y < r.bottom; ++y) {
      uint8_t* colour = ColourRow(y);
      uint8_t* coverage = CoverageRow(y);
      for (int x = r.left; x < r.right; ++x) {
        if (x == cx && y == cy) continue;
        if (k == 255) {
          render::StoreRaw(colour, x, bits_, raw);
          coverage[x] = 255;
          continue;
        }
        const uint32_t before = coverage[x];
        const uint32_t added = k * (255 - before) / 255;
        if (added == 0) continue;
        const uint32_t after = before + added;
        const uint32_t old = render::LoadRaw(colour, x, bits_);
        render::StoreRaw(colour, x, bits_, Mix(old, before, raw, added, after));
        coverage[x] = static_cast<uint8_t>(after);
      }
    }
  }

  uint32_t Mix(uint32_t old, uint32_t old_weight, uint32_t raw, uint32_t weight,
               uint32_t total) const {
    const render::PixelFormat& f = colour_.Format();
    if (!f.HasChannels()) return raw;
    uint32_t out = 0;
    for (const render::ChannelLayout* ch : {&f.red, &f.green, &f.blue}) {
      const uint32_t v = (ch->Get(old) * old_weight + ch->Get(raw) * weight + total / 2) / total;
      out |= std::min(v, ch->Max()) << ch->shift;
    }
    return out;
  }

  TCustomDIBX& colour_;
  TCustomDIBX& coverage_;
  render::ScanHold colour_hold_;
  render::ScanHold coverage_hold_;
  uint8_t* colour_top_ = nullptr;
  uint8_t* coverage_top_ = nullptr;
  ptrdiff_t colour_pitch_ = 0;
  ptrdiff_t coverage_pitch_ = 0;
  int bits_ = 32;
  Rect bounds_{};
};

// Every rectangle of one character, worked out before anything is drawn so that the touched
// area is known (and can be cleared) first.
struct CharacterPlan {
  int left = 0, top = 0;  // black box
  Rect glyph{};           // black box, grown by the border
  Rect glyph_shadow{};
  Rect underline_shadow{}, strikeout_shadow{};
  Rect underline{}, underline_bands[2]{};
  Rect strikeout{}, strikeout_bands[2]{};

  Rect Touched() const {
    Rect all = Cover(glyph, glyph_shadow);
    for (const Rect& r : {underline_shadow, strikeout_shadow, underline, underline_bands[0],
                          underline_bands[1], strikeout, strikeout_bands[0], strikeout_bands[1]}) {
      all = Cover(all, r);
    }
    return all;
  }
};

CharacterPlan PlanCharacter(const TFontPixel& pixel, const GlyphDrawSpec& draw, int b, int s) {
  const Rect& cell = draw.cell;
  const int L = cell.left, T = cell.top, W = cell.Width(), H = cell.Height();
  CharacterPlan plan;
  plan.left = L + pixel.origin_x + CentringOffset(pixel, W) + b;
  plan.top = T + pixel.origin_y + b;
  if (pixel.HasBitmap()) {
    plan.glyph = Grown(MakeRect(plan.left, plan.top, pixel.width, pixel.height), b);
    if (s > 0) plan.glyph_shadow = Offset(plan.glyph, s, s);
  }
  const int shadow_left = draw.previous_differs ? L + s : L;
  const int bar_right = draw.next_differs ? L + W - s : L + W;
  auto bar = [&](int top, int height) { return Rect{L, top, bar_right, top + height}; };
  auto shadow_bar = [&](int top, int height) {
    return Rect{shadow_left, top, L + W, top + height};
  };
  if (pixel.flags & kStyleUnderline) {
    const int t = pixel.underline_size;
    if (s > 0) plan.underline_shadow = shadow_bar(T + H - 2 * b - t, 2 * b + t);
    plan.underline = bar(T + H - s - b - t, t);
    if (b > 0) {
      plan.underline_bands[0] = bar(T + H - s - 2 * b - t, b);
      plan.underline_bands[1] = bar(T + H - s - b, b);
    }
  }
  if (pixel.flags & kStyleStrikeOut) {
    const int p = pixel.strikeout_position, t = pixel.strikeout_size;
    if (s > 0) plan.strikeout_shadow = shadow_bar(T + s + p, 2 * b + t);
    plan.strikeout = bar(T + b + p, t);
    if (b > 0) {
      plan.strikeout_bands[0] = bar(T + p, b);
      plan.strikeout_bands[1] = bar(T + p + b + t, b);
    }
  }
  return plan;
}

}  // namespace

Rect TFontPixelManager::Draw(const TFontPixel& pixel, TCustomDIBX& colour, TCustomDIBX& coverage,
                             const GlyphDrawSpec& draw) {
  GlyphCanvas canvas(colour, coverage);
  if (!canvas.Usable()) return {};
  const int b = std::clamp(draw.border_width, 0, kMaxBorderWidth);
  const int s = std::max(0, draw.shadow_offset);
  const CharacterPlan plan = PlanCharacter(pixel, draw, b, s);
  const Rect touched = Intersect(plan.Touched(), canvas.Bounds());
  if (touched.IsEmpty()) return {};
  if (draw.clear_first) canvas.ClearCoverage(touched);

  const uint32_t text = canvas.Raw(draw.text_colour);
  const uint32_t border = canvas.Raw(draw.border_colour);
  const uint32_t shadow = canvas.Raw(draw.shadow_colour);
  auto paint_shape = [&](int left, int top, uint32_t raw) {
    if (!pixel.HasBitmap()) return;
    if (b > 0) {
      canvas.PaintDilated(pixel, left, top, b, raw);
    } else {
      canvas.PaintGlyph(pixel, left, top, raw);
    }
  };

  if (s > 0) {
    canvas.FillBar(plan.underline_shadow, shadow);
    paint_shape(plan.left + s, plan.top + s, shadow);
    canvas.FillBar(plan.strikeout_shadow, shadow);
  }
  canvas.FillBar(plan.underline_bands[0], border);
  canvas.FillBar(plan.underline_bands[1], border);
  canvas.FillBar(plan.underline, text);
  if (pixel.HasBitmap()) {
    if (b > 0) canvas.PaintDilated(pixel, plan.left, plan.top, b, border);
    canvas.PaintGlyph(pixel, plan.left, plan.top, text);
  }
  canvas.FillBar(plan.strikeout_bands[0], border);
  canvas.FillBar(plan.strikeout_bands[1], border);
  canvas.FillBar(plan.strikeout, text);
  return touched;
}

}  // namespace novu::text
