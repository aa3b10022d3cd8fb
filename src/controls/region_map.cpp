#include "controls/region_map.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "render/custom_dibx.h"

namespace novu {
namespace {

// The smallest stored region: an empty name, the kind and a polygon without points.
constexpr size_t kMinRegionSize = 4 + 1 + 4;
constexpr size_t kPointSize = 8;

Rect Normalised(const Rect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
          std::max(r.top, r.bottom)};
}

void AddSpan(int64_t first, int64_t last, std::vector<std::pair<int32_t, int32_t>>& spans) {
  if (last <= first) return;
  spans.emplace_back(static_cast<int32_t>(first), static_cast<int32_t>(last));
}

void EllipseSpans(const Rect& bounds, int32_t y, std::vector<std::pair<int32_t, int32_t>>& spans) {
  const Rect b = Normalised(bounds);
  if (y < b.top || y > b.bottom) return;
  const double rx = (static_cast<double>(b.right) - b.left + 1) / 2;
  const double ry = (static_cast<double>(b.bottom) - b.top + 1) / 2;
  const double cx = b.left + rx;
  const double cy = b.top + ry;
  const double dy = (y + 0.5 - cy) / ry;
  if (dy * dy > 1) return;
  const double half = rx * std::sqrt(1 - dy * dy);
  // Pixels whose centres lie inside.
  AddSpan(static_cast<int64_t>(std::ceil(cx - half - 0.5)),
          static_cast<int64_t>(std::floor(cx + half - 0.5)) + 1, spans);
}

void PolygonSpans(const std::vector<Point>& points, int32_t y,
                  std::vector<std::pair<int32_t, int32_t>>& spans) {
  if (points.size() < 3) return;
  const double yc = y + 0.5;
  struct Crossing {
    double x;
    int winding;
  };
  // Kept from row to row: painting a region asks for every row of it.
  thread_local std::vector<Crossing> crossings;
  crossings.clear();
  for (size_t i = 0; i < points.size(); ++i) {
    const Point a = points[i];
    const Point b = points[(i + 1) % points.size()];
    if (a.y == b.y) continue;
    const double lo = std::min(a.y, b.y);
    const double hi = std::max(a.y, b.y);
    if (yc < lo || yc >= hi) continue;
    const double t = (yc - a.y) / (static_cast<double>(b.y) - a.y);
    crossings.push_back({a.x + t * (static_cast<double>(b.x) - a.x), b.y > a.y ? 1 : -1});
  }
  std::sort(crossings.begin(), crossings.end(),
            [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
  int winding = 0;
  double start = 0;
  for (const Crossing& c : crossings) {
    const int before = winding;
    winding += c.winding;
    if (before == 0 && winding != 0) {
      start = c.x;
    } else if (before != 0 && winding == 0) {
      AddSpan(static_cast<int64_t>(std::ceil(start - 0.5)),
              static_cast<int64_t>(std::ceil(c.x - 0.5)), spans);
    }
  }
}

// A count of 0 or less holds nothing; a larger one must fit the bytes that are left.
size_t ReadCount(BinaryReader& in, size_t element_size) {
  const int32_t count = in.I32();
  return count <= 0 ? 0 : in.CheckCount(count, element_size);
}

}  // namespace

void MapRegion::RowSpans(int32_t y, std::vector<std::pair<int32_t, int32_t>>& spans) const {
  spans.clear();
  if (IsPolygon()) {
    PolygonSpans(points, y, spans);
  } else if (kind == kEllipse) {
    EllipseSpans(bounds, y, spans);
  } else {
    const Rect b = Normalised(bounds);
    if (y >= b.top && y <= b.bottom) AddSpan(b.left, int64_t{b.right} + 1, spans);
  }
}

bool MapRegion::Contains(Point p) const {
  std::vector<std::pair<int32_t, int32_t>> spans;
  RowSpans(p.y, spans);
  return std::any_of(spans.begin(), spans.end(),
                     [&p](const auto& s) { return p.x >= s.first && p.x < s.second; });
}

Rect MapRegion::Box() const {
  if (!IsPolygon()) {
    const Rect b = Normalised(bounds);
    return {b.left, b.top, b.right + 1, b.bottom + 1};
  }
  if (points.empty()) return {};
  Rect box{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const Point& p : points) {
    box.left = std::min(box.left, p.x);
    box.top = std::min(box.top, p.y);
    box.right = std::max(box.right, p.x);
    box.bottom = std::max(box.bottom, p.y);
  }
  return {box.left, box.top, box.right + 1, box.bottom + 1};
}

RegionMap RegionMap::Read(std::span<const uint8_t> data) {
  BinaryReader in(data);
  RegionMap map;
  const size_t count = ReadCount(in, kMinRegionSize);
  map.regions_.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    MapRegion region;
    region.name = in.String();
    region.kind = in.U8();
    if (region.IsPolygon()) {
      const size_t points = ReadCount(in, kPointSize);
      region.points.reserve(points);
      for (size_t k = 0; k < points; ++k) {
        const int32_t x = Tame(in.I32());
        region.points.push_back({x, Tame(in.I32())});
      }
    } else {
      for (int32_t* v :
           {&region.bounds.left, &region.bounds.top, &region.bounds.right, &region.bounds.bottom}) {
        *v = Tame(in.I32());
      }
    }
    map.regions_.push_back(std::move(region));
  }
  return map;
}

std::vector<uint8_t> RegionMap::Write() const {
  BinaryWriter out;
  out.I32(size());
  for (const MapRegion& region : regions_) {
    out.String(region.name);
    out.U8(region.kind);
    if (region.IsPolygon()) {
      out.I32(static_cast<int32_t>(region.points.size()));
      for (const Point& p : region.points) {
        out.I32(p.x);
        out.I32(p.y);
      }
    } else {
      for (int32_t v :
           {region.bounds.left, region.bounds.top, region.bounds.right, region.bounds.bottom}) {
        out.I32(v);
      }
    }
  }
  return out.Take();
}

int32_t RegionMap::IndexAt(Point p) const {
  for (size_t i = 0; i < regions_.size(); ++i) {
    if (regions_[i].Contains(p)) return static_cast<int32_t>(i);
  }
  return -1;
}

void RegionMap::Paint(render::TCustomDIBX& mask, int32_t index, int32_t dx, int32_t dy,
                      uint8_t value) const {
  if (index < 0 || index >= size() || mask.StorageBitCount() != 8 || mask.IsEmpty()) return;
  const MapRegion& region = regions_[static_cast<size_t>(index)];
  const Rect box = region.Box();
  const int64_t first_row = std::max<int64_t>(int64_t{box.top} + dy, 0);
  const int64_t last_row = std::min<int64_t>(int64_t{box.bottom} + dy, mask.Height());
  std::vector<std::pair<int32_t, int32_t>> spans;
  for (int64_t y = first_row; y < last_row; ++y) {
    region.RowSpans(static_cast<int32_t>(y - dy), spans);
    uint8_t* row = mask.ScanPointer(0, static_cast<int>(y));
    if (row == nullptr) return;
    for (const auto& [first, last] : spans) {
      const int64_t x0 = std::max<int64_t>(int64_t{first} + dx, 0);
      const int64_t x1 = std::min<int64_t>(int64_t{last} + dx, mask.Width());
      if (x1 > x0) std::memset(row + x0, value, static_cast<size_t>(x1 - x0));
    }
  }
  mask.ReleaseScan();
}

}  // namespace novu
