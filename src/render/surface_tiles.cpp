// The tiling operations of TCustomDIBX: repeated copies of a source over a rectangle.
#include <cmath>

#include "render/custom_dibx.h"
#include "render/dib_surface.h"

namespace novu::render {
namespace {

int64_t WrapInto(int64_t v, int64_t period) {
  const int64_t r = v % period;
  return r < 0 ? r + period : r;
}

double WrapInto(double v, double period) {
  const double r = std::fmod(v, period);
  return r < 0 ? r + period : r;
}

}  // namespace

template <typename Fn>
void TCustomDIBX::WithClip(const Rect& rect, Fn&& draw) {
  const Rect narrowed = Intersect(rect, DrawableRect());
  if (narrowed.IsEmpty()) return;  // an empty intersection draws nothing, never everything
  const Rect saved = ClipRect();
  const bool saved_flag = HasClip();
  SetClipRect(narrowed);
  try {
    draw(narrowed);
  } catch (...) {
    RestoreClip(saved, saved_flag);
    throw;
  }
  RestoreClip(saved, saved_flag);
}

// Places copies of src_rect every (width + gap_x, height + gap_y) pixels so that the copy at
// rect's top-left corner starts offset pixels into its period, and draws each one that can
// reach the visible part of rect.
template <typename DrawOne>
void TCustomDIBX::TileCopies(Rect rect, int gap_x, int gap_y, int offset_x, int offset_y,
                             Rect src_rect, const TCustomDIBX& source, DrawOne&& draw_one) {
  rect = Tame(rect);
  src_rect = Intersect(src_rect, Rect{0, 0, source.Width(), source.Height()});
  if (src_rect.IsEmpty()) return;
  const int64_t step_x = int64_t{src_rect.Width()} + gap_x;
  const int64_t step_y = int64_t{src_rect.Height()} + gap_y;
  if (step_x <= 0 || step_y <= 0) return;
  WithClip(rect, [&](const Rect& area) {
    const int64_t first_x =
        area.left - WrapInto(int64_t{offset_x} + (area.left - rect.left), step_x);
    const int64_t first_y = area.top - WrapInto(int64_t{offset_y} + (area.top - rect.top), step_y);
    for (int64_t y = first_y; y < area.bottom; y += step_y) {
      for (int64_t x = first_x; x < area.right; x += step_x) {
        draw_one(static_cast<int>(x), static_cast<int>(y), src_rect);
      }
    }
  });
}

void TCustomDIBX::TileRect(Rect rect, const TCustomDIBX& source, FlipOptions flips, int phase_y,
                           int phase_x) {
  TileCopies(rect, 0, 0, phase_x, phase_y, Rect{0, 0, source.Width(), source.Height()}, source,
             [&](int x, int y, Rect src) {
               Draw(x, y, {.flip_v = flips.flip_v, .flip_h = flips.flip_h}, src, source);
             });
}

void TCustomDIBX::TileDraw(Rect rect, int gap_x, int offset_y, int offset_x, DrawOptions options,
                           Rect src_rect, const TCustomDIBX& source, int gap_y) {
  TileCopies(rect, gap_x, gap_y, offset_x, offset_y, src_rect, source,
             [&](int x, int y, Rect src) { Draw(x, y, options, src, source); });
}

void TCustomDIBX::TileDrawAlpha(Rect rect, int gap_x, int offset_y, int offset_x, int alpha,
                                DrawOptions options, Rect src_rect, const TCustomDIBX& source,
                                int gap_y) {
  if (alpha <= 0) return;
  TileCopies(rect, gap_x, gap_y, offset_x, offset_y, src_rect, source,
             [&](int x, int y, Rect src) { DrawAlpha(x, y, alpha, options, src, source); });
}

void TCustomDIBX::TileDrawAdd(Rect rect, int gap_x, int offset_y, int offset_x, int alpha,
                              DrawOptions options, Rect src_rect, const TCustomDIBX& source,
                              int gap_y) {
  if (alpha <= 0) return;
  TileCopies(rect, gap_x, gap_y, offset_x, offset_y, src_rect, source,
             [&](int x, int y, Rect src) { DrawAdd(x, y, alpha, options, src, source); });
}

void TCustomDIBX::TileDrawMasked(Rect rect, int gap_x, int offset_y, int offset_x,
                                 const TCustomDIBX& mask, FlipOptions flips, Rect src_rect,
                                 const TCustomDIBX& source, int gap_y) {
  TileCopies(rect, gap_x, gap_y, offset_x, offset_y, src_rect, source,
             [&](int x, int y, Rect src) { DrawMasked(x, y, mask, flips, src, source); });
}

void TCustomDIBX::TileDrawAlphaMasked(Rect rect, int gap_x, int offset_y, int offset_x, int alpha,
                                      const TCustomDIBX& mask, FlipOptions flips, Rect src_rect,
                                      const TCustomDIBX& source, int gap_y) {
  if (alpha <= 0) return;
  TileCopies(rect, gap_x, gap_y, offset_x, offset_y, src_rect, source, [&](int x, int y, Rect src) {
    DrawAlphaMasked(x, y, alpha, mask, flips, src, source);
  });
}

void TCustomDIBX::TileDrawAddMasked(Rect rect, int gap_x, int offset_y, int offset_x, int alpha,
                                    const TCustomDIBX& mask, FlipOptions flips, Rect src_rect,
                                    const TCustomDIBX& source, int gap_y) {
  if (alpha <= 0) return;
  TileCopies(rect, gap_x, gap_y, offset_x, offset_y, src_rect, source,
             [&](int x, int y, Rect src) { DrawAddMasked(x, y, alpha, mask, flips, src, source); });
}

void TCustomDIBX::DrawEdgeTiles(Rect rect, int thickness, int phase_y, int phase_x,
                                const TCustomDIBX& source) {
  Band(rect, thickness, [&](Rect band) { TileRect(band, source, {}, phase_y, phase_x); });
}

namespace {

struct StretchGrid {
  int64_t first_x, first_y;  // 16.16
  int64_t step_x, step_y;    // 16.16, at least one pixel
  int32_t width, height;     // of each copy
};

std::optional<StretchGrid> GridOf(const Rect& rect, int pitch_x, int pitch_y, int offset_x,
                                  int offset_y, const Rect& src_rect, int zoom_x, int zoom_y) {
  if (zoom_x <= 0 || zoom_y <= 0 || pitch_x <= 0 || pitch_y <= 0 || src_rect.IsEmpty()) {
    return std::nullopt;
  }
  // Pitches beyond any surface are cut down so the 16.16 positions cannot overflow.
  constexpr double kMaxPitch = 1 << 24;
  const double px = std::min(kMaxPitch, pitch_x * (zoom_x / 256.0));
  const double py = std::min(kMaxPitch, pitch_y * (zoom_y / 256.0));
  StretchGrid g;
  g.width = static_cast<int32_t>(std::clamp(src_rect.Width() * (zoom_x / 256.0), 1.0,
                                            static_cast<double>(kMaxSurfaceSide) * 4));
  g.height = static_cast<int32_t>(std::clamp(src_rect.Height() * (zoom_y / 256.0), 1.0,
                                             static_cast<double>(kMaxSurfaceSide) * 4));
  g.step_x = std::max<int64_t>(65536, std::llround(px * 65536.0));
  g.step_y = std::max<int64_t>(65536, std::llround(py * 65536.0));
  g.first_x = int64_t{rect.left} * 65536 -
              std::llround(WrapInto(static_cast<double>(offset_x), px) * 65536.0);
  g.first_y = int64_t{rect.top} * 65536 -
              std::llround(WrapInto(static_cast<double>(offset_y), py) * 65536.0);
  return g;
}

template <typename DrawAt>
void ForEachStretchCopy(const StretchGrid& g, const Rect& area, DrawAt&& draw_at) {
  // Skip whole periods that end before the visible area.
  auto skip = [](int64_t first, int64_t step, int32_t size, int32_t area_lo) {
    const int64_t gap = (int64_t{area_lo} - size) * 65536 - first;
    return gap > 0 ? first + (gap / step) * step : first;
  };
  for (int64_t y = skip(g.first_y, g.step_y, g.height, area.top); (y >> 16) < area.bottom;
       y += g.step_y) {
    for (int64_t x = skip(g.first_x, g.step_x, g.width, area.left); (x >> 16) < area.right;
         x += g.step_x) {
      draw_at(MakeRect(static_cast<int32_t>(x >> 16), static_cast<int32_t>(y >> 16), g.width,
                       g.height));
    }
  }
}

}  // namespace

void TCustomDIBX::TileStretch(Rect rect, int pitch_x, int offset_y, int offset_x, int alpha_code,
                              DrawOptions options, Rect src_rect, const TCustomDIBX& source,
                              int zoom_y, int zoom_x, int pitch_y) {
  if (alpha_code <= 0) return;
  rect = Tame(rect);
  src_rect = Intersect(src_rect, Rect{0, 0, source.Width(), source.Height()});
  const auto grid = GridOf(rect, pitch_x, pitch_y, offset_x, offset_y, src_rect, zoom_x, zoom_y);
  if (!grid) return;
  WithClip(rect, [&](const Rect& area) {
    ForEachStretchCopy(*grid, area, [&](Rect dest) {
      if (alpha_code <= kAlphaCopy) {
        StretchDraw(dest, source, alpha_code, options, src_rect);
      } else {
        StretchDrawAdd(dest, source, std::min(alpha_code - 256, 255), options, src_rect);
      }
    });
  });
}

void TCustomDIBX::TileStretchMasked(Rect rect, int pitch_x, int offset_y, int offset_x,
                                    int alpha_code, FlipOptions flips, const TCustomDIBX& mask,
                                    Rect src_rect, const TCustomDIBX& source, int zoom_y,
                                    int zoom_x, int pitch_y) {
  if (alpha_code <= 0) return;
  rect = Tame(rect);
  src_rect = Intersect(src_rect, Rect{0, 0, source.Width(), source.Height()});
  const auto grid = GridOf(rect, pitch_x, pitch_y, offset_x, offset_y, src_rect, zoom_x, zoom_y);
  if (!grid) return;
  WithClip(rect, [&](const Rect& area) {
    ForEachStretchCopy(*grid, area, [&](Rect dest) {
      if (alpha_code <= kAlphaCopy) {
        StretchDrawMasked(dest, source, alpha_code, mask, flips, src_rect);
      } else {
        StretchDrawAddMasked(dest, source, std::min(alpha_code - 256, 255), mask, flips, src_rect);
      }
    });
  });
}

namespace {

// Source positions of a zoomed wrapping tile along one axis: the step is 256 / zoom source
// pixels (at most one source length), the scroll offset becomes a start position within the
// source, and positions wrap around the source length.
std::vector<int32_t> ZoomPositions(int32_t length, int32_t zoom, int32_t offset, int32_t skip,
                                   int32_t count, bool flip) {
  const int64_t period = int64_t{length} * 65536;
  const int64_t step = std::min<int64_t>(period, (int64_t{256} * 65536) / zoom);
  const double start = WrapInto(offset * 256.0 / zoom, static_cast<double>(length));
  int64_t pos = WrapInto(static_cast<int64_t>(start * 65536.0) + skip * step, period);
  std::vector<int32_t> out(static_cast<size_t>(count));
  for (auto& v : out) {
    const int32_t col = static_cast<int32_t>(pos >> 16);
    v = flip ? length - 1 - col : col;
    pos += step;
    if (pos >= period) pos -= period;
  }
  return out;
}

}  // namespace

void TCustomDIBX::ZoomTile(Rect rect, int zoom_x, int alpha_code, DrawOptions options, int offset_y,
                           int offset_x, const TCustomDIBX& source, int zoom_y) {
  if (alpha_code <= 0 || zoom_x <= 0 || zoom_y <= 0 || source.IsEmpty()) return;
  rect = Tame(rect);
  const Rect area = Intersect(rect, DrawableRect());
  if (area.IsEmpty()) return;
  ScaledBlit plan;
  plan.dest = area;
  plan.cols = ZoomPositions(source.Width(), zoom_x, offset_x, area.left - rect.left, area.Width(),
                            options.flip_h);
  plan.rows = ZoomPositions(source.Height(), zoom_y, offset_y, area.top - rect.top, area.Height(),
                            options.flip_v);
  RuleParams p;
  p.alpha = alpha_code;
  p.use_key = options.use_key && source.KeyColor() >= 0;
  p.key = static_cast<uint32_t>(source.KeyColor());
  BlitSampled(Rule::ZoomTile, p, plan, source, nullptr);
}

void TCustomDIBX::ZoomTileMasked(Rect rect, int zoom_x, int alpha_code, FlipOptions flips,
                                 const TCustomDIBX& mask, int offset_y, int offset_x,
                                 const TCustomDIBX& source, int zoom_y) {
  if (alpha_code <= 0 || zoom_x <= 0 || zoom_y <= 0 || source.IsEmpty()) return;
  if (mask.Width() < source.Width() || mask.Height() < source.Height()) return;
  rect = Tame(rect);
  const Rect area = Intersect(rect, DrawableRect());
  if (area.IsEmpty()) return;
  ScaledBlit plan;
  plan.dest = area;
  plan.cols = ZoomPositions(source.Width(), zoom_x, offset_x, area.left - rect.left, area.Width(),
                            flips.flip_h);
  plan.rows = ZoomPositions(source.Height(), zoom_y, offset_y, area.top - rect.top, area.Height(),
                            flips.flip_v);
  Rule rule = Rule::AlphaMasked;
  RuleParams p;
  p.alpha = alpha_code;
  if (alpha_code == kAlphaCopy) {
    rule = Rule::Masked;
  } else if (alpha_code > kAlphaCopy) {
    rule = Rule::AddMasked;
    p.alpha = std::min(alpha_code - 256, 255);
  }
  BlitSampled(rule, p, plan, source, &mask);
}

}  // namespace novu::render
