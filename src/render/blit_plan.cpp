#include "render/blit_plan.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace novu::render {
namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// Keeps the entries of `v` that lie in [lo, hi) at both ends; returns how many were dropped at
// the front. Sampling positions are monotonic, so strays can only sit at the ends.
int TrimToRange(std::vector<int32_t>& v, int32_t lo, int32_t hi) {
  size_t first = 0;
  while (first < v.size() && (v[first] < lo || v[first] >= hi)) ++first;
  size_t last = v.size();
  while (last > first && (v[last - 1] < lo || v[last - 1] >= hi)) --last;
  v.erase(v.begin() + static_cast<ptrdiff_t>(last), v.end());
  v.erase(v.begin(), v.begin() + static_cast<ptrdiff_t>(first));
  return static_cast<int>(first);
}

// Source positions along one axis of a scaled draw: `dest_lo` is the unclipped destination
// start, [clip_lo, clip_hi) the visible destination span.
std::vector<int32_t> ScaledPositions(int32_t src_lo, int32_t src_hi, int32_t dest_lo,
                                     int32_t dest_len, int32_t clip_lo, int32_t count, bool flip) {
  const double q = static_cast<double>(src_hi - src_lo) / dest_len;
  int64_t lo = src_lo, hi = src_hi;
  int64_t frac = 0;
  if (clip_lo > dest_lo) {
    const double advance = (clip_lo - dest_lo) * q;
    const double whole = std::floor(advance);
    frac = static_cast<int64_t>((advance - whole) * 65536.0);
    if (flip) {
      hi -= static_cast<int64_t>(whole);
    } else {
      lo += static_cast<int64_t>(whole);
    }
  }
  const int64_t step = static_cast<int64_t>(q * 65536.0);
  std::vector<int32_t> out(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const int64_t pos = flip ? hi * 65536 - frac - 1 - i * step : lo * 65536 + frac + i * step;
    out[static_cast<size_t>(i)] = static_cast<int32_t>(pos >> 16);
  }
  return out;
}

}  // namespace

bool ClampSource(Rect& src_rect, int32_t& x, int32_t& y, bool flip_v, bool flip_h,
                 const Rect& src_bounds) {
  src_rect = Tame(src_rect);
  x = Tame(x);
  y = Tame(y);
  const Rect clamped = Intersect(src_rect, src_bounds);
  if (clamped.IsEmpty()) return false;
  x += flip_h ? src_rect.right - clamped.right : clamped.left - src_rect.left;
  y += flip_v ? src_rect.bottom - clamped.bottom : clamped.top - src_rect.top;
  src_rect = clamped;
  return true;
}

std::optional<DirectBlit> PlanDirect(const Rect& clip, int32_t x, int32_t y, const Rect& src_rect,
                                     bool flip_v, bool flip_h) {
  if (src_rect.IsEmpty()) return std::nullopt;
  const Rect dest = Intersect(Rect{x, y, x + src_rect.Width(), y + src_rect.Height()}, clip);
  if (dest.IsEmpty()) return std::nullopt;
  DirectBlit plan;
  plan.dest = dest;
  const int32_t cut_x = dest.left - x, cut_y = dest.top - y;
  plan.src_x = flip_h ? src_rect.right - 1 - cut_x : src_rect.left + cut_x;
  plan.src_y = flip_v ? src_rect.bottom - 1 - cut_y : src_rect.top + cut_y;
  plan.step_x = flip_h ? -1 : 1;
  plan.step_y = flip_v ? -1 : 1;
  return plan;
}

std::optional<ScaledBlit> PlanScaled(const Rect& clip, const Rect& dest, const Rect& src_rect,
                                     bool flip_v, bool flip_h) {
  if (dest.IsEmpty() || src_rect.IsEmpty()) return std::nullopt;
  Rect visible = Intersect(dest, clip);
  if (visible.IsEmpty()) return std::nullopt;
  ScaledBlit plan;
  plan.cols = ScaledPositions(src_rect.left, src_rect.right, dest.left, dest.Width(), visible.left,
                              visible.Width(), flip_h);
  plan.rows = ScaledPositions(src_rect.top, src_rect.bottom, dest.top, dest.Height(), visible.top,
                              visible.Height(), flip_v);
  visible.left += TrimToRange(plan.cols, src_rect.left, src_rect.right);
  visible.top += TrimToRange(plan.rows, src_rect.top, src_rect.bottom);
  visible.right = visible.left + static_cast<int32_t>(plan.cols.size());
  visible.bottom = visible.top + static_cast<int32_t>(plan.rows.size());
  if (visible.IsEmpty()) return std::nullopt;
  plan.dest = visible;
  return plan;
}

namespace {

struct Matrix {
  double cos_t, sin_t, zx, zy;
};

Matrix RotationOf(const RotateGeometry& g) {
  const double theta = g.angle * 2.0 * std::numbers::pi / 256.0;
  return {std::cos(theta), std::sin(theta), g.zoom_x / 256.0, g.zoom_y / 256.0};
}

}  // namespace

Rect RotatedBounds(const RotateGeometry& g) {
  if (g.zoom_x <= 0 || g.zoom_y <= 0 || g.src_rect.IsEmpty()) return {};
  const Matrix m = RotationOf(g);
  double min_x = 1e300, min_y = 1e300, max_x = -1e300, max_y = -1e300;
  for (const int32_t u : {g.src_rect.left, g.src_rect.right}) {
    for (const int32_t v : {g.src_rect.top, g.src_rect.bottom}) {
      const double du = u - g.pivot_x, dv = v - g.pivot_y;
      const double px = g.x + m.cos_t * m.zx * du - m.sin_t * m.zy * dv;
      const double py = g.y + m.sin_t * m.zx * du + m.cos_t * m.zy * dv;
      min_x = std::min(min_x, px);
      max_x = std::max(max_x, px);
      min_y = std::min(min_y, py);
      max_y = std::max(max_y, py);
    }
  }
  constexpr double kLimit = 1 << 30;
  auto to_int = [&](double v) { return static_cast<int32_t>(std::clamp(v, -kLimit, kLimit)); };
  return {to_int(std::floor(min_x)), to_int(std::floor(min_y)), to_int(std::floor(max_x)) + 1,
          to_int(std::floor(max_y)) + 1};
}

std::optional<RotatedBlit> PlanRotated(const Rect& clip, const RotateGeometry& g) {
  if (g.zoom_x <= 0 || g.zoom_y <= 0 || g.src_rect.IsEmpty()) return std::nullopt;
  const Rect dest = Intersect(RotatedBounds(g), clip);
  if (dest.IsEmpty()) return std::nullopt;
  const Matrix m = RotationOf(g);
  RotatedBlit plan;
  plan.dest = dest;
  plan.a = static_cast<int32_t>(m.cos_t / m.zx * 65536.0);
  plan.b = static_cast<int32_t>(-m.sin_t / m.zy * 65536.0);
  plan.c = static_cast<int32_t>(m.sin_t / m.zx * 65536.0);
  plan.e = static_cast<int32_t>(m.cos_t / m.zy * 65536.0);
  const int64_t dx = dest.left - g.x, dy = dest.top - g.y;
  plan.sx0 = int64_t{g.pivot_x} * 65536 + dx * plan.a + dy * plan.c;
  plan.sy0 = int64_t{g.pivot_y} * 65536 + dx * plan.b + dy * plan.e;
  plan.flip_h = g.flip_h;
  plan.flip_v = g.flip_v;
  plan.mirror_x = g.src_rect.right - 1;
  plan.mirror_y = g.src_rect.bottom - 1;
  // Sampled columns before mirroring: inside the rectangle, or (mirrored) those that land there.
  const int64_t lo_x = g.flip_h ? 0 : g.src_rect.left;
  const int64_t hi_x =
      g.flip_h ? int64_t{g.src_rect.right} - 1 - g.src_rect.left : int64_t{g.src_rect.right} - 1;
  const int64_t lo_y = g.flip_v ? 0 : g.src_rect.top;
  const int64_t hi_y =
      g.flip_v ? int64_t{g.src_rect.bottom} - 1 - g.src_rect.top : int64_t{g.src_rect.bottom} - 1;
  plan.sx_min = lo_x * 65536;
  plan.sx_max = hi_x * 65536 + 65535;
  plan.sy_min = lo_y * 65536;
  plan.sy_max = hi_y * 65536 + 65535;
  return plan;
}

std::pair<int32_t, int32_t> LinearSpan(int64_t base, int64_t step, int64_t lo, int64_t hi,
                                       int32_t n) {
  int64_t first = 0, last = n - 1;
  if (step == 0) {
    if (base < lo || base > hi) return {0, 0};
  } else if (step > 0) {
    first = std::max(first, -FloorDiv(-(lo - base), step));  // ceil((lo - base) / step)
    last = std::min(last, FloorDiv(hi - base, step));
  } else {
    first = std::max(first, -FloorDiv(-(hi - base), step));  // ceil((hi - base) / step)
    last = std::min(last, FloorDiv(lo - base, step));
  }
  if (last < first) return {0, 0};
  return {static_cast<int32_t>(first), static_cast<int32_t>(last + 1)};
}

}  // namespace novu::render
