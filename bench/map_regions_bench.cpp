// Building a selection image's region mask when the pointer enters a region: a 64-point polygon
// and an ellipse, each covering most of a 640 x 480 8-bit mask, painted row by row, against
// filling every row of the same mask with memset (the least any painting of it costs).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

#include "controls/region_map.h"
#include "ratio.h"
#include "render/dibx.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

novu::RegionMap Regions() {
  novu::RegionMap map;
  novu::MapRegion polygon;
  polygon.name = "flower";
  polygon.kind = novu::MapRegion::kPolygon;
  for (int i = 0; i < 64; ++i) {
    const double a = i * 2 * 3.14159265358979 / 64;
    const double r = 200 + 30 * std::sin(6 * a);
    polygon.points.push_back(
        {static_cast<int32_t>(320 + r * std::cos(a)), static_cast<int32_t>(240 + r * std::sin(a))});
  }
  novu::MapRegion ellipse;
  ellipse.name = "pond";
  ellipse.kind = novu::MapRegion::kEllipse;
  ellipse.bounds = {20, 10, 619, 469};
  map.regions() = {polygon, ellipse};
  return map;
}

void BM_PaintRegionMask(benchmark::State& state) {
  const novu::RegionMap map = Regions();
  novu::render::TDIBX mask;
  mask.SetSize(kWidth, kHeight, 8);
  const int32_t region = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    map.Paint(mask, region, 0, 0, 255);
    benchmark::DoNotOptimize(mask.ScanPointer(0, 0));
  }
}
BENCHMARK(BM_PaintRegionMask)->Arg(0)->Arg(1);

void BM_ClearMask(benchmark::State& state) {
  novu::render::TDIBX mask;
  mask.SetSize(kWidth, kHeight, 8);
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y) std::memset(mask.ScanPointer(0, y), 0, kWidth);
    benchmark::DoNotOptimize(mask.ScanPointer(0, 0));
  }
}
BENCHMARK(BM_ClearMask);

NOVU_RATIO("region_mask_polygon", "BM_PaintRegionMask/0", "BM_ClearMask", 10.0);
NOVU_RATIO("region_mask_ellipse", "BM_PaintRegionMask/1", "BM_ClearMask", 3.0);

}  // namespace
