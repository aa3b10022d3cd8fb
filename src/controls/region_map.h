#pragma once
// The region map of a selection image: named regions in the control's own coordinates, tested
// in file order (the first region holding a point wins). A rectangle and an ellipse cover their
// bounds inclusively (the right and bottom edge too); a polygon covers what the non-zero winding
// rule puts inside it, judged at pixel centres.
//
// File (little-endian): int32 region count, then per region a counted name, a kind byte (0
// rectangle, 1 ellipse, anything else polygon) and either four int32 bounds (left, top, right,
// bottom) or an int32 point count with that many (int32 x, int32 y) points.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/geometry.h"

namespace novu {

namespace render {
class TCustomDIBX;
}

struct MapRegion {
  enum Kind : uint8_t { kRectangle = 0, kEllipse = 1, kPolygon = 2 };

  std::string name;
  uint8_t kind = kRectangle;  // as stored: any value but 0 and 1 is a polygon
  Rect bounds{};              // rectangles and ellipses: inclusive, as stored
  std::vector<Point> points;  // polygons

  bool IsPolygon() const { return kind != kRectangle && kind != kEllipse; }
  // The pixels of row y the region covers, as [first, last) spans in increasing order.
  void RowSpans(int32_t y, std::vector<std::pair<int32_t, int32_t>>& spans) const;
  bool Contains(Point p) const;
  // The smallest rectangle (right and bottom exclusive) holding every covered pixel.
  Rect Box() const;
};

class RegionMap {
 public:
  // Throws NovuError on data that does not hold what its counts promise.
  static RegionMap Read(std::span<const uint8_t> data);
  std::vector<uint8_t> Write() const;

  const std::vector<MapRegion>& regions() const { return regions_; }
  std::vector<MapRegion>& regions() { return regions_; }
  int32_t size() const { return static_cast<int32_t>(regions_.size()); }
  // The index of the first region holding the point, -1 for none.
  int32_t IndexAt(Point p) const;
  // Sets the pixels of region `index` in an 8-bit surface to `value`, (dx, dy) being where the
  // region's origin lies on it; nothing outside the surface is touched.
  void Paint(render::TCustomDIBX& mask, int32_t index, int32_t dx, int32_t dy, uint8_t value) const;

 private:
  std::vector<MapRegion> regions_;
};

}  // namespace novu
