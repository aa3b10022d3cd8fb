#include "controls/image_list.h"

#include <gtest/gtest.h>

#include "image_fixtures.h"

namespace novu {
namespace {

using testing::FileStore;
using testing::MakeFip;
using testing::Raw32;
using testing::Solid;

struct ListFixture {
  explicit ListFixture(std::vector<testing::FrameSpec> frames) : cache(store.Loader()) {
    store.files["l.fip"] = MakeFip(frames);
    list.Load(this, "l.fip", false);
  }
  FileStore store;
  TFipoCollection cache;
  TNovuImageList list{&cache};
};

TEST(ImageList, LoadSelectsFrameZeroAndClampsIndexes) {
  ListFixture f({Solid(testing::kRed, 2, 2, 30), Solid(testing::kBlue, 2, 2, 50)});
  EXPECT_EQ(f.list.Count(), 2);
  EXPECT_EQ(f.list.index(), 0);
  EXPECT_EQ(f.list.remaining(), 31);
  f.list.SetIndex(7);
  EXPECT_EQ(f.list.index(), 1);
  EXPECT_EQ(f.list.remaining(), 51);
  EXPECT_EQ(f.list.Item(2), nullptr);
  EXPECT_EQ(f.list.Item(-1), nullptr);
  f.list.Clear();
  EXPECT_EQ(f.cache.size(), 0u);
}

TEST(ImageList, AdvanceStepsFramesAndRestartsAtTheWrap) {
  ListFixture f({Solid(testing::kRed, 2, 2, 10), Solid(testing::kGreen, 2, 2, 20),
                 Solid(testing::kBlue, 2, 2, 30)});
  struct Step {
    int32_t elapsed;
    bool changed;
    int index;
    int32_t remaining;
  };
  const Step steps[] = {
      {5, false, 0, 6},    // 11 - 5, still frame 0
      {10, true, 1, 16},   // 6 - 10 = -4, + 20: the overshoot is carried
      {40, true, 2, 6},    // 16 - 40 = -24, + 30
      {100, true, 0, 10},  // wrapping to frame 0 drops the overshoot
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.elapsed);
    EXPECT_EQ(f.list.Advance(step.elapsed), step.changed);
    EXPECT_EQ(f.list.index(), step.index);
    EXPECT_EQ(f.list.remaining(), step.remaining);
  }
}

TEST(ImageList, OneFrameNeverAdvances) {
  ListFixture f({Solid(testing::kRed, 2, 2, 10)});
  EXPECT_FALSE(f.list.Advance(1000));
  EXPECT_EQ(f.list.index(), 0);
}

TEST(ImageData, BrightnessSaturatesAndKeepsTheKeyedPixelsTransparent) {
  testing::FrameSpec keyed;
  keyed.width = 2;
  keyed.height = 1;
  keyed.colour = [](int x, int) { return x == 0 ? 0x000000 : 0x405060; };
  keyed.key_colour = 0x000000;
  ListFixture f({keyed});
  TNovuImageData& data = *f.list.Item(0);
  const render::TDIBX& cached = data.Picture();

  data.SetBrightness(-255);
  const render::TDIBX& dark = data.Picture();
  EXPECT_NE(&dark, &cached);
  EXPECT_EQ(dark.GetPixel(1, 0), 0u);
  // The key pixel and every darkened pixel now share the new key value.
  EXPECT_EQ(dark.KeyColor(), int64_t{dark.GetPixel(0, 0)});

  data.SetBrightness(0x30);
  EXPECT_EQ(data.Picture().GetPixel(1, 0), Raw32(0x708090));
  EXPECT_EQ(data.Picture().KeyColor(), int64_t{Raw32(0x303030)});
  data.SetBrightness(0);
  EXPECT_EQ(&data.Picture(), &cached);
}

}  // namespace
}  // namespace novu
