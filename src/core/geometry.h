#pragma once
// Points and rectangles in pixel coordinates. A rectangle is left, top, right, bottom with right
// and bottom exclusive: {0, 0, 640, 480} covers a 640 × 480 screen.
#include <algorithm>
#include <cstdint>

namespace novu {

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend constexpr bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;

  constexpr int32_t Width() const { return right - left; }
  constexpr int32_t Height() const { return bottom - top; }
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  constexpr bool Contains(int32_t x, int32_t y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
  constexpr bool Contains(Point p) const { return Contains(p.x, p.y); }
  // Whether every pixel of `inner` lies in this rectangle (edges may touch).
  constexpr bool Contains(const Rect& inner) const {
    return inner.left >= left && inner.top >= top && inner.right <= right && inner.bottom <= bottom;
  }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

constexpr Rect MakeRect(int32_t x, int32_t y, int32_t width, int32_t height) {
  return {x, y, x + width, y + height};
}

// The same rectangle moved by (dx, dy).
constexpr Rect Offset(const Rect& r, int32_t dx, int32_t dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// The same rectangle grown by `by` on every side; a negative `by` shrinks it.
constexpr Rect Grown(const Rect& r, int32_t by) {
  return {r.left - by, r.top - by, r.right + by, r.bottom + by};
}

// The common part; may be empty (then right <= left or bottom <= top).
constexpr Rect Intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

// The smallest rectangle holding both, empty ones included as they stand.
constexpr Rect Union(const Rect& a, const Rect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// Coordinates from scripts and files are kept within ±2^29, so that widths and sums of two
// never overflow.
inline constexpr int32_t kCoordinateLimit = 1 << 29;
constexpr int32_t Tame(int32_t v) {
  return std::clamp(v, -kCoordinateLimit, kCoordinateLimit);
}
constexpr Rect Tame(const Rect& r) {
  return {Tame(r.left), Tame(r.top), Tame(r.right), Tame(r.bottom)};
}

}  // namespace novu
