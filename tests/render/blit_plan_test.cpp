// Sampling positions of scaled and rotated draws, and the row spans the fast loops rely on.
#include <gtest/gtest.h>

#include "render/blit_plan.h"
#include "render/dibx.h"

namespace novu::render {
namespace {

TEST(BlitPlanTest, LinearSpanMatchesAStepByStepSearch) {
  const int64_t bases[] = {-300000, -65536, -1, 0, 65535, 123456, 900000};
  const int64_t steps[] = {-70000, -65536, -1, 0, 1, 30000, 65536, 99999};
  for (const int64_t base : bases) {
    for (const int64_t step : steps) {
      const int64_t lo = 65536, hi = 10 * 65536 - 1;
      const auto [first, last] = LinearSpan(base, step, lo, hi, 40);
      for (int32_t k = 0; k < 40; ++k) {
        const int64_t v = base + k * step;
        const bool inside = v >= lo && v <= hi;
        ASSERT_EQ(inside, k >= first && k < last) << base << " " << step << " k " << k;
      }
    }
  }
}

TEST(BlitPlanTest, ScaledColumnsTruncateAndRespectClipping) {
  // 4 source columns onto 8: each column twice; clipping 3 columns advances by 1.5 columns.
  const auto full = PlanScaled({0, 0, 100, 100}, {0, 0, 8, 1}, {0, 0, 4, 1}, false, false);
  ASSERT_TRUE(full);
  EXPECT_EQ(full->cols, (std::vector<int32_t>{0, 0, 1, 1, 2, 2, 3, 3}));
  const auto clipped = PlanScaled({3, 0, 100, 100}, {0, 0, 8, 1}, {0, 0, 4, 1}, false, false);
  ASSERT_TRUE(clipped);
  EXPECT_EQ(clipped->dest.left, 3);
  EXPECT_EQ(clipped->cols, (std::vector<int32_t>{1, 2, 2, 3, 3}));
  const auto mirrored = PlanScaled({0, 0, 100, 100}, {0, 0, 8, 1}, {0, 0, 4, 1}, false, true);
  ASSERT_TRUE(mirrored);
  EXPECT_EQ(mirrored->cols, (std::vector<int32_t>{3, 3, 2, 2, 1, 1, 0, 0}));
}

TEST(BlitPlanTest, RotatedBoundsOfQuarterTurnsAndZoom) {
  struct Case {
    int angle, zoom;
    Rect expected;
  };
  // A 10 × 4 source pivoting at its top-left corner placed at (50, 50).
  for (const Case& c : {Case{0, 256, {50, 50, 61, 55}}, Case{64, 256, {46, 50, 51, 61}},
                        Case{0, 512, {50, 50, 71, 59}}, Case{0, 0, {}}}) {
    RotateGeometry g;
    g.x = 50;
    g.y = 50;
    g.angle = c.angle;
    g.zoom_x = g.zoom_y = c.zoom;
    g.src_rect = {0, 0, 10, 4};
    EXPECT_EQ(RotatedBounds(g), c.expected) << c.angle << " " << c.zoom;
  }
}

TEST(BlitPlanTest, UnrotatedUnzoomedDrawRotateIsAPlainCopy) {
  TDIBX src, by_rotate, by_draw;
  src.SetSize(9, 7, 32);
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 9; ++x) src.SetPixel(x, y, 0x100 * y + x + 1);
  }
  by_rotate.SetSize(20, 20, 32);
  by_draw.SetSize(20, 20, 32);
  by_rotate.DrawRotate(10, 8, 255, {}, 0, 3, 4, {0, 0, 9, 7}, src, 256, 256);
  by_draw.Draw(6, 5, {}, {0, 0, 9, 7}, src);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) ASSERT_EQ(by_rotate.GetPixel(x, y), by_draw.GetPixel(x, y));
  }
}

TEST(BlitPlanTest, ZoomTileAtFullSizeEqualsTileRect) {
  TDIBX src, zoomed, tiled;
  src.SetSize(5, 3, 16);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) src.SetPixel(x, y, 0x400 * y + x + 1);
  }
  for (const bool flip : {false, true}) {
    zoomed.SetSize(17, 11, 16);
    tiled.SetSize(17, 11, 16);
    zoomed.ZoomTile({1, 2, 16, 10}, 256, 255, {.flip_v = flip, .flip_h = flip}, 7, 3, src, 256);
    tiled.TileRect({1, 2, 16, 10}, src, {.flip_v = flip, .flip_h = flip}, 7, 3);
    for (int y = 0; y < 11; ++y) {
      for (int x = 0; x < 17; ++x) {
        ASSERT_EQ(zoomed.GetPixel(x, y), tiled.GetPixel(x, y)) << flip << " " << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace novu::render
