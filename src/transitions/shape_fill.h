#pragma once
// Solid pies and discs, filled by scanline spans. The shapes are defined pixel by pixel by the
// predicates below; the span fills give exactly the pixels the predicates accept.
//
// Pie: angles are those of atan2(dy, dx) with y growing downwards, so a growing angle turns
// clockwise on the screen. Pixel (x, y) with offset (dx, dy) = (x - cx, y - cy) belongs to the
// pie from `start` over `sweep` radians when: sweep <= 0: never; sweep >= 2π: always; the centre
// pixel: always; sweep <= π: cross(s, v) >= 0 and cross(v, e) >= 0; sweep > π: unless
// cross(e, v) > 0 and cross(v, s) > 0 (the open complementary pie, narrower than π), where s and
// e are the unit vectors of the start and end angles and cross(a, b) = a.x·b.y - a.y·b.x. The
// transitions' pies are centred on the screen with a radius reaching its farthest pixel, so the
// circle itself cuts nothing and only the angles matter.
//
// Disc of radius R about (cx, cy): dx² + dy² <= R² + R, the integer form of a distance below
// R + ½ (so a disc of the rounded radius of a corner's distance covers that corner); a negative
// radius gives no pixel.
#include <cstdint>
#include <functional>

namespace novu::transitions {

// Called with a row and the columns [x0, x1) of one span; spans are cut to the picture.
using SpanSink = std::function<void(int y, int x0, int x1)>;

class PieShape {
 public:
  PieShape(int cx, int cy, double start, double sweep);
  bool Contains(int x, int y) const;
  void ForEachSpan(int width, int height, const SpanSink& sink) const;

 private:
  // The half-plane conditions, each monotone along a row.
  bool AfterStart(int dx, int dy) const;         // sweep <= π: cross(s, v) >= 0
  bool BeforeEnd(int dx, int dy) const;          // sweep <= π: cross(v, e) >= 0
  bool PastEnd(int dx, int dy) const;            // sweep > π: cross(e, v) > 0
  bool BeforeStartStrict(int dx, int dy) const;  // sweep > π: cross(v, s) > 0

  int cx_, cy_;
  double sweep_;
  double sx_, sy_, ex_, ey_;
};

bool DiscContains(int cx, int cy, int64_t radius, int x, int y);
void ForEachDiscSpan(int width, int height, int cx, int cy, int64_t radius, const SpanSink& sink);

}  // namespace novu::transitions
