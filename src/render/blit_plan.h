#pragma once
// Where a drawing operation reads and writes, worked out once before any pixel is touched:
// clipping against the destination, clamping to the source, mirroring, and the sampling
// positions of scaled and rotated draws.
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/geometry.h"

namespace novu::render {

// A 1:1 draw. The source pixel of destination (dest.left + i, dest.top + j) is
// (src_x + i * step_x, src_y + j * step_y); a step of -1 walks a mirrored source.
struct DirectBlit {
  Rect dest;
  int32_t src_x = 0, src_y = 0;
  int32_t step_x = 1, step_y = 1;
};

// A nearest-sampled scaled draw: destination column dest.left + i reads source column cols[i],
// row dest.top + j reads rows[j]. Every entry lies inside the source rectangle.
struct ScaledBlit {
  Rect dest;
  std::vector<int32_t> cols;
  std::vector<int32_t> rows;
};

// A rotated draw. At destination (X, Y) the source position in 16.16 is
// sx = sx0 + (X - dest.left) * a + (Y - dest.top) * c, sy = sy0 + (X - dest.left) * b + (Y -
// dest.top) * e; it is sampled only when sx lies in [sx_min, sx_max] and sy in [sy_min, sy_max];
// the pixel read is (sx >> 16, sy >> 16), mirrored to (mirror_x - px) / (mirror_y - py) when
// flipped.
struct RotatedBlit {
  Rect dest;
  int64_t sx0 = 0, sy0 = 0;
  int32_t a = 0, b = 0, c = 0, e = 0;
  int64_t sx_min = 0, sx_max = -1, sy_min = 0, sy_max = -1;
  bool flip_h = false, flip_v = false;
  int32_t mirror_x = 0, mirror_y = 0;
};

// Clamps `src_rect` to `src_bounds`, moving the destination point with the cut so the pixels
// that remain land where they would have. Returns false when nothing of the source is left.
bool ClampSource(Rect& src_rect, int32_t& x, int32_t& y, bool flip_v, bool flip_h,
                 const Rect& src_bounds);

// Draws `src_rect` (already clamped) at (x, y) inside `clip`.
std::optional<DirectBlit> PlanDirect(const Rect& clip, int32_t x, int32_t y, const Rect& src_rect,
                                     bool flip_v, bool flip_h);

// Scales `src_rect` (already clamped) onto `dest` inside `clip`.
std::optional<ScaledBlit> PlanScaled(const Rect& clip, const Rect& dest, const Rect& src_rect,
                                     bool flip_v, bool flip_h);

struct RotateGeometry {
  int32_t x = 0, y = 0;                // where the pivot lands
  int32_t pivot_x = 0, pivot_y = 0;    // in source coordinates
  int32_t angle = 0;                   // 1/256 of a full turn
  int32_t zoom_x = 256, zoom_y = 256;  // 1/256
  Rect src_rect;
  bool flip_v = false, flip_h = false;
};

// The destination bounding box of a rotated draw (empty for a zoom of 0 or less).
Rect RotatedBounds(const RotateGeometry& g);
std::optional<RotatedBlit> PlanRotated(const Rect& clip, const RotateGeometry& g);

// The steps k in [0, n) for which lo <= base + k * step <= hi, as [first, last); exact integer
// arithmetic, so a row of a rotated draw can be split into its sampled span without tests.
std::pair<int32_t, int32_t> LinearSpan(int64_t base, int64_t step, int64_t lo, int64_t hi,
                                       int32_t n);

}  // namespace novu::render
