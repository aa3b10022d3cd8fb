#include "transitions/shape_fill.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace novu::transitions {
namespace {

constexpr double kTurn = 2 * std::numbers::pi;

// The first x in [0, width) where a condition monotone along the row differs from its value at
// x = 0, or `width` when it never does.
template <typename Cond>
int FirstChange(int width, Cond cond) {
  const bool first = cond(0);
  if (cond(width - 1) == first) return width;
  int lo = 0, hi = width - 1;  // cond(lo) == first, cond(hi) != first
  while (hi - lo > 1) {
    const int mid = lo + (hi - lo) / 2;
    (cond(mid) == first ? lo : hi) = mid;
  }
  return hi;
}

// The columns [x0, x1) of a row where a monotone condition holds.
template <typename Cond>
void HoldingRange(int width, Cond cond, int& x0, int& x1) {
  const int change = FirstChange(width, cond);
  if (cond(0)) {
    x0 = 0;
    x1 = change;
  } else {
    x0 = change;
    x1 = width;
  }
}

}  // namespace

PieShape::PieShape(int cx, int cy, double start, double sweep)
    : cx_(cx),
      cy_(cy),
      sweep_(sweep),
      sx_(std::cos(start)),
      sy_(std::sin(start)),
      ex_(std::cos(start + sweep)),
      ey_(std::sin(start + sweep)) {}

bool PieShape::AfterStart(int dx, int dy) const {
  return sx_ * dy - sy_ * dx >= 0;
}
bool PieShape::BeforeEnd(int dx, int dy) const {
  return dx * ey_ - dy * ex_ >= 0;
}
bool PieShape::PastEnd(int dx, int dy) const {
  return ex_ * dy - ey_ * dx > 0;
}
bool PieShape::BeforeStartStrict(int dx, int dy) const {
  return dx * sy_ - dy * sx_ > 0;
}

bool PieShape::Contains(int x, int y) const {
  if (sweep_ <= 0) return false;
  if (sweep_ >= kTurn) return true;
  const int dx = x - cx_, dy = y - cy_;
  if (dx == 0 && dy == 0) return true;
  if (sweep_ <= std::numbers::pi) return AfterStart(dx, dy) && BeforeEnd(dx, dy);
  return !(PastEnd(dx, dy) && BeforeStartStrict(dx, dy));
}

void PieShape::ForEachSpan(int width, int height, const SpanSink& sink) const {
  if (width <= 0 || sweep_ <= 0) return;
  const bool wide = sweep_ > std::numbers::pi;
  for (int y = 0; y < height; ++y) {
    const int dy = y - cy_;
    if (sweep_ >= kTurn) {
      sink(y, 0, width);
      continue;
    }
    // Both conditions are monotone in x along a row (products and differences of reals round
    // monotonically), so each holds on one run of the row.
    int a0, a1, b0, b1;
    int in0 = 0, in1 = 0;    // the run inside the pie (narrow pies)
    int out0 = 0, out1 = 0;  // the run outside it (wide pies)
    if (!wide) {
      HoldingRange(
          width, [&](int x) { return AfterStart(x - cx_, dy); }, a0, a1);
      HoldingRange(
          width, [&](int x) { return BeforeEnd(x - cx_, dy); }, b0, b1);
      in0 = std::max(a0, b0);
      in1 = std::min(a1, b1);
      if (in0 < in1) sink(y, in0, in1);
    } else {
      HoldingRange(
          width, [&](int x) { return PastEnd(x - cx_, dy); }, a0, a1);
      HoldingRange(
          width, [&](int x) { return BeforeStartStrict(x - cx_, dy); }, b0, b1);
      out0 = std::max(a0, b0);
      out1 = std::min(a1, b1);
      if (out0 >= out1) {
        out0 = out1 = 0;
        sink(y, 0, width);
      } else {
        if (out0 > 0) sink(y, 0, out0);
        if (out1 < width) sink(y, out1, width);
      }
    }
    // The centre pixel always belongs (a span may cover it twice; fills are idempotent).
    if (dy == 0 && cx_ >= 0 && cx_ < width) {
      const bool covered = wide ? !(out0 <= cx_ && cx_ < out1) : (in0 <= cx_ && cx_ < in1);
      if (!covered) sink(y, cx_, cx_ + 1);
    }
  }
}

bool DiscContains(int cx, int cy, int64_t radius, int x, int y) {
  if (radius < 0) return false;
  const int64_t dx = x - cx, dy = y - cy;
  return dx * dx + dy * dy <= radius * radius + radius;
}

void ForEachDiscSpan(int width, int height, int cx, int cy, int64_t radius, const SpanSink& sink) {
  if (radius < 0 || width <= 0) return;
  const int64_t limit = radius * radius + radius;
  const int64_t y0 = std::max<int64_t>(0, cy - radius),
                y1 = std::min<int64_t>(height - 1, cy + radius);
  for (int64_t y = y0; y <= y1; ++y) {
    const int64_t dy = y - cy;
    const int64_t room = limit - dy * dy;
    if (room < 0) continue;
    int64_t half = static_cast<int64_t>(std::sqrt(static_cast<double>(room)));
    while (half * half > room) --half;
    while ((half + 1) * (half + 1) <= room) ++half;
    const int64_t x0 = std::max<int64_t>(0, cx - half),
                  x1 = std::min<int64_t>(width, cx + half + 1);
    if (x0 < x1) sink(static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1));
  }
}

}  // namespace novu::transitions
