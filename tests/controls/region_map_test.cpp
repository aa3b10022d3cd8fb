#include <gtest/gtest.h>

#include "controls/region_map.h"
#include "core/binary_writer.h"
#include "platform/error.h"
#include "render/dibx.h"

namespace novu {
namespace {

MapRegion Rectangle(std::string name, Rect bounds, uint8_t kind = MapRegion::kRectangle) {
  MapRegion r;
  r.name = std::move(name);
  r.kind = kind;
  r.bounds = bounds;
  return r;
}

MapRegion Polygon(std::string name, std::vector<Point> points) {
  MapRegion r;
  r.name = std::move(name);
  r.kind = MapRegion::kPolygon;
  r.points = std::move(points);
  return r;
}

int CoveredInRow(const MapRegion& r, int32_t y) {
  int n = 0;
  for (int32_t x = -20; x < 120; ++x) n += r.Contains({x, y}) ? 1 : 0;
  return n;
}

TEST(RegionMap, RectanglesAndEllipsesCoverTheirBoundsInclusively) {
  const MapRegion rect = Rectangle("r", {10, 20, 14, 22});
  EXPECT_EQ(CoveredInRow(rect, 20), 5);
  EXPECT_EQ(CoveredInRow(rect, 22), 5);
  EXPECT_EQ(CoveredInRow(rect, 23), 0);
  EXPECT_EQ(rect.Box(), (Rect{10, 20, 15, 23}));
  // Bounds given the wrong way round cover the same pixels.
  EXPECT_EQ(CoveredInRow(Rectangle("r", {14, 22, 10, 20}), 21), 5);

  const MapRegion ellipse = Rectangle("e", {0, 0, 9, 9}, MapRegion::kEllipse);
  EXPECT_EQ(CoveredInRow(ellipse, 4), 10);
  EXPECT_EQ(CoveredInRow(ellipse, 5), 10);
  EXPECT_LT(CoveredInRow(ellipse, 0), 10);
  EXPECT_FALSE(ellipse.Contains({0, 0}));  // the corners are outside
  int tall = 0;
  for (int32_t y = -5; y < 20; ++y) tall += ellipse.Contains({4, y}) ? 1 : 0;
  EXPECT_EQ(tall, 10);
}

// A five-pointed star drawn in one stroke winds twice around its centre: the winding rule keeps
// the centre inside (the alternate rule would leave a hole).
TEST(RegionMap, PolygonsAreFilledWithTheWindingRule) {
  const MapRegion star = Polygon("star", {{50, 0}, {79, 90}, {2, 35}, {97, 35}, {21, 90}});
  EXPECT_TRUE(star.Contains({50, 50}));
  EXPECT_TRUE(star.Contains({50, 10}));  // a point of the star
  EXPECT_FALSE(star.Contains({5, 5}));
  EXPECT_FALSE(star.Contains({50, 95}));
  // Fewer than three points cover nothing.
  EXPECT_FALSE(Polygon("line", {{0, 0}, {10, 10}}).Contains({5, 5}));
}

TEST(RegionMap, TheFirstRegionHoldingAPointWins) {
  RegionMap map;
  map.regions() = {Rectangle("a", {0, 0, 49, 49}), Rectangle("b", {25, 25, 99, 99})};
  EXPECT_EQ(map.IndexAt({30, 30}), 0);
  EXPECT_EQ(map.IndexAt({60, 60}), 1);
  EXPECT_EQ(map.IndexAt({60, 10}), -1);
}

TEST(RegionMap, AFileReadsBackAsWritten) {
  RegionMap map;
  map.regions() = {Rectangle("\x94\xe0", {1, 2, 3, 4}), Rectangle("e", {5, 6, 7, 8}, 1),
                   Polygon("p", {{0, 0}, {9, 0}, {4, 7}})};
  map.regions()[2].kind = 9;  // any kind but 0 and 1 is a polygon, kept as stored
  const std::vector<uint8_t> bytes = map.Write();
  const RegionMap back = RegionMap::Read(bytes);
  ASSERT_EQ(back.size(), 3);
  EXPECT_EQ(back.regions()[0].name, "\x94\xe0");
  EXPECT_EQ(back.regions()[1].bounds, (Rect{5, 6, 7, 8}));
  EXPECT_EQ(back.regions()[2].kind, 9);
  EXPECT_EQ(back.regions()[2].points.size(), 3u);
  EXPECT_EQ(back.Write(), bytes);
}

// Counts are checked against the bytes that are left before anything is made of them.
TEST(RegionMap, CountsBeyondTheDataAreRefused) {
  const auto bytes_of = [](auto&& write) {
    BinaryWriter out;
    write(out);
    return out.Take();
  };
  const std::vector<std::vector<uint8_t>> damaged = {
      bytes_of([](BinaryWriter& o) { o.I32(0x7fffffff); }),
      bytes_of([](BinaryWriter& o) {
        o.I32(1);
        o.String("p");
        o.U8(2);
        o.I32(0x10000000);  // points
        o.I32(1);
        o.I32(2);
      }),
      bytes_of([](BinaryWriter& o) {
        o.I32(1);
        o.String("r");
        o.U8(0);
        o.I32(1);  // three of the four bounds missing
      }),
      bytes_of([](BinaryWriter& o) {
        o.I32(1);
        o.I32(1000);  // a name longer than the file
      }),
  };
  for (size_t i = 0; i < damaged.size(); ++i) {
    EXPECT_THROW(RegionMap::Read(damaged[i]), NovuError) << i;
  }
  EXPECT_EQ(RegionMap::Read(bytes_of([](BinaryWriter& o) { o.I32(-3); })).size(), 0);
}

TEST(RegionMap, PaintingStaysInsideTheMask) {
  RegionMap map;
  map.regions() = {Rectangle("big", {-1000000, -5, 1000000, 2}),
                   Polygon("far", {{-536870912, -536870912}, {536870912, 0}, {0, 536870912}})};
  render::TDIBX mask;
  mask.SetSize(8, 6, 8);
  mask.Clear(0);
  map.Paint(mask, 0, 2, 1, 255);  // the region's origin at (2, 1): rows 0 .. 3
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(mask.GetPixel(x, y), y <= 3 ? 255u : 0u) << x << "," << y;
  }
  map.Paint(mask, 1, 0, 0, 7);
  map.Paint(mask, 5, 0, 0, 7);  // no such region: nothing
  EXPECT_EQ(mask.GetPixel(7, 5), 7u);
}

}  // namespace
}  // namespace novu
