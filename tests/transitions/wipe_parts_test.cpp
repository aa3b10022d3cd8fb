// The parts the effects are built from: rule pictures, pie and disc fills, the draw order.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "imagefmt/fipo_frame_list.h"
#include "render/image_codecs.h"
#include "transitions/colour_wipes.h"
#include "transitions/remaining_picker.h"
#include "transitions/rule_picture.h"
#include "transitions/shape_fill.h"
#include "wipe_fixtures.h"

namespace novu::transitions {
namespace {

using testing::FillPicture;
using testing::MemoryFiles;

// A 2 × 1 rule: white, then the colour (R 10, G 20, B 40).
render::TDIBSurface RulePicture(int depth) {
  render::TDIBSurface picture(2, 1, depth);
  picture.SetPixel(0, 0, picture.NearestPixel(255, 255, 255));
  picture.SetPixel(1, 0, picture.NearestPixel(10, 20, 40));
  return picture;
}

TEST(RulePictureTest, LoadsLayeredPngAndBitmapRulesTiledAndInvertedWhenReversed) {
  constexpr int32_t kCode = 77;
  MemoryFiles files;
  files.files["rule.png"] = render::EncodePng(RulePicture(32));
  files.files["rule.bmp"] = render::EncodeBmp24(RulePicture(24));
  imagefmt::TFipoFrameList list(kCode);
  list.AddFrame().picture = RulePicture(32);
  files.files["Layered.fip"] = list.SaveToStream({});
  files.files["broken.png"] = {0x89, 'P', 'N', 'G', 1, 2, 3};
  WipeContext context;
  context.load_file = files.Loader();
  context.image_code = kCode;

  struct Case {
    const char* name;
    bool reverse;
    std::vector<uint8_t> row;  // the grey levels of a 5-pixel row
  };
  const std::vector<uint8_t> white(5, 255);
  const Case cases[] = {
      {"rule.png", false, {255, 23, 255, 23, 255}},
      {"rule.bmp", false, {255, 23, 255, 23, 255}},
      {"Layered", false, {255, 23, 255, 23, 255}},  // no extension: ".fip" is tried
      {"rule.png", true, {0, 232, 0, 232, 0}},      // (245 + 235 + 215 + 1) / 3
      {"missing.png", false, white},
      {"broken.png", false, white},
      {"", false, white},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> greys = RuleGreys(context, c.name, c.reverse, 5, 2);
    ASSERT_EQ(greys.size(), 10u);
    EXPECT_EQ(std::vector<uint8_t>(greys.begin(), greys.begin() + 5), c.row);
    EXPECT_EQ(std::vector<uint8_t>(greys.begin() + 5, greys.end()), c.row);
  }
  // Without a way to read files there is no rule either.
  EXPECT_EQ(RuleGreys(WipeContext{}, "rule.png", false, 5, 1), white);
}

TEST(RulePictureTest, NearestGreyIsTheRoundedMeanOfTheChannels) {
  EXPECT_EQ(NearestGrey(0, 0, 0), 0);
  EXPECT_EQ(NearestGrey(255, 255, 255), 255);
  EXPECT_EQ(NearestGrey(1, 0, 0), 0);  // mean 1/3
  EXPECT_EQ(NearestGrey(1, 1, 0), 1);  // mean 2/3
  EXPECT_EQ(NearestGrey(255, 0, 0), 85);
}

std::vector<uint8_t> Painted(int w, int h, const std::function<void(const SpanSink&)>& fill) {
  std::vector<uint8_t> grid(static_cast<size_t>(w) * h, 0);
  fill([&](int y, int x0, int x1) {
    ASSERT_GE(y, 0);
    ASSERT_LT(y, h);
    ASSERT_GE(x0, 0);
    ASSERT_LE(x1, w);
    for (int x = x0; x < x1; ++x) grid[static_cast<size_t>(y) * w + x] = 1;
  });
  return grid;
}

TEST(ShapeFillTest, PieSpansCoverExactlyThePixelsOfThePredicate) {
  constexpr double kDegree = std::numbers::pi / 180;
  for (const auto& [w, h] :
       {std::pair{64, 48}, std::pair{61, 37}, std::pair{7, 5}, std::pair{1, 1}}) {
    for (const double start : {-90.0, 0.0, 33.3, 200.0, -450.0}) {
      for (const double sweep :
           {0.0, 1.0, 45.0, 90.0, 179.9, 180.0, 181.0, 270.0, 359.0, 360.0, 400.0}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " start " +
                     std::to_string(start) + " sweep " + std::to_string(sweep));
        const PieShape pie(w / 2, h / 2, start * kDegree, sweep * kDegree);
        const auto spans =
            Painted(w, h, [&](const SpanSink& sink) { pie.ForEachSpan(w, h, sink); });
        for (int y = 0; y < h; ++y) {
          for (int x = 0; x < w; ++x) {
            ASSERT_EQ(spans[static_cast<size_t>(y) * w + x] != 0, pie.Contains(x, y))
                << x << "," << y;
          }
        }
      }
    }
  }
}

TEST(ShapeFillTest, PiesTurnClockwiseFromTheirStart) {
  // A quarter from "up" covers the top-right of the screen.
  const PieShape quarter(32, 24, -std::numbers::pi / 2, std::numbers::pi / 2);
  EXPECT_TRUE(quarter.Contains(63, 0));
  EXPECT_TRUE(quarter.Contains(40, 10));
  EXPECT_FALSE(quarter.Contains(10, 10));
  EXPECT_FALSE(quarter.Contains(40, 40));
  EXPECT_TRUE(quarter.Contains(32, 24));  // the centre
  EXPECT_FALSE(PieShape(32, 24, 0, 0).Contains(32, 24));
}

TEST(ShapeFillTest, DiscSpansMatchThePredicateAndTheRoundedCornerDistanceCoversTheScreen) {
  for (const auto& [w, h] :
       {std::pair{64, 48}, std::pair{61, 37}, std::pair{9, 4}, std::pair{1, 1}}) {
    const int cx = w / 2, cy = h / 2;
    const int64_t reach = std::llround(std::hypot(cx, cy));
    for (const int64_t radius :
         {int64_t{0}, int64_t{1}, int64_t{2}, int64_t{5}, reach - 1, reach}) {
      const auto spans =
          Painted(w, h, [&](const SpanSink& sink) { ForEachDiscSpan(w, h, cx, cy, radius, sink); });
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          ASSERT_EQ(spans[static_cast<size_t>(y) * w + x] != 0, DiscContains(cx, cy, radius, x, y))
              << radius << " at " << x << "," << y;
        }
      }
    }
    const int64_t rounded = static_cast<int64_t>(std::nearbyint(std::hypot(cx, cy)));
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{w - 1, h - 1}, std::pair{0, h - 1}}) {
      EXPECT_TRUE(DiscContains(cx, cy, rounded, x, y)) << w << "x" << h;
    }
  }
  // Radius 1: the 3 × 3 square (distances up to 1.42 < 1.5), nothing two pixels away.
  EXPECT_TRUE(DiscContains(5, 5, 1, 6, 5));
  EXPECT_TRUE(DiscContains(5, 5, 1, 6, 6));
  EXPECT_FALSE(DiscContains(5, 5, 1, 7, 5));
  EXPECT_FALSE(DiscContains(5, 5, -1, 5, 5));
}

TEST(BoxBlurTest, RunningSumsGiveTheStoreBlurExactly) {
  for (const auto& [w, h] : {std::pair{50, 40}, std::pair{7, 3}, std::pair{1, 9}}) {
    for (const int radius : {0, 1, 3, 7, 30, 100}) {
      render::TDIBX fast, store;
      FillPicture(fast, w, h, 32, static_cast<uint32_t>(radius + w));
      // Bits outside the channels are kept by both.
      fast.SetPixel(0, 0, fast.GetPixel(0, 0) | 0x5A000000u);
      testing::CopyPicture(fast, store);
      BoxBlur32(fast, radius);
      store.Surface().Blur(radius);
      EXPECT_EQ(testing::FirstDifference(fast, store), "") << w << "x" << h << " radius " << radius;
    }
  }
}

TEST(RemainingPickerTest, DrawsAsErasingFromAnOrderedList) {
  for (const int32_t n : {0, 1, 2, 7, 64, 1000}) {
    RemainingPicker picker(n);
    std::vector<int32_t> list(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) list[static_cast<size_t>(i)] = i;
    std::mt19937 rng(static_cast<uint32_t>(n));
    while (!list.empty()) {
      ASSERT_EQ(picker.remaining(), static_cast<int32_t>(list.size()));
      const auto k = static_cast<int32_t>(rng() % list.size());
      ASSERT_EQ(picker.Take(k), list[static_cast<size_t>(k)]);
      list.erase(list.begin() + k);
    }
    EXPECT_EQ(picker.remaining(), 0);
  }
}

}  // namespace
}  // namespace novu::transitions
