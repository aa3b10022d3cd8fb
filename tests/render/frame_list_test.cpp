// Film tracks: their windows of activity, parent chains, cell choice and how their values move
// from start to end.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "render/frame_interpolation.h"
#include "render/frame_list.h"

namespace novu::render {
namespace {

// A track of `length` frames from `start`, read as a file of the newest version would hold it.
template <typename T>
T Track(int32_t start, int32_t length, int32_t period = 0) {
  struct Setter final : FrameListFields {
    int32_t start, length, period;
    int version() const override { return 108; }
    void I32(std::string_view name, int32_t& v) override {
      if (name == "start") v = start;
      if (name == "length") v = length;
      if (name == "period") v = period;
    }
    void U8(std::string_view, uint8_t&) override {}
    void F64(std::string_view, double&) override {}
    void Str(std::string_view, std::string&) override {}
    void Pt(std::string_view, Point&) override {}
  } setter;
  setter.start = start;
  setter.length = length;
  setter.period = period;
  T track;
  track.VisitRecord(setter);
  track.ComputeAbsoluteStart();
  return track;
}

std::vector<int32_t> ActiveFrames(const TCustomFrameList& track) {
  std::vector<int32_t> frames;
  for (int32_t t = 0; t < 60; ++t) {
    if (track.IsActive(t)) frames.push_back(t);
  }
  return frames;
}

TEST(FrameListWindowTest, OwnStartWithoutParentAndParentsEndWithOne) {
  auto alone = Track<TImageFrameList>(10, 20);
  std::vector<int32_t> frames = ActiveFrames(alone);
  ASSERT_EQ(frames.size(), 20u);
  EXPECT_EQ(frames.front(), 10);
  EXPECT_EQ(frames.back(), 29);

  auto parent = Track<TImageFrameList>(5, 10);
  auto child = Track<TImageFrameList>(99, 20);  // its own start is not used
  child.SetParent(&parent);
  child.ComputeAbsoluteStart();
  frames = ActiveFrames(child);
  ASSERT_EQ(frames.size(), 20u);
  EXPECT_EQ(frames.front(), 15);
  EXPECT_EQ(frames.back(), 34);
  EXPECT_EQ(&child.FirstAncestor(), &parent);
}

TEST(FrameListWindowTest, LongChainIsWalkedWithoutRecursion) {
  std::vector<TImageFrameList> chain(100000);
  for (size_t i = 0; i < chain.size(); ++i) {
    chain[i] = Track<TImageFrameList>(3, 2);
    if (i > 0) chain[i].SetParent(&chain[i - 1]);
  }
  chain.back().ComputeAbsoluteStart();
  EXPECT_EQ(chain.back().AbsoluteStart(), 3 + 2 * 99999);
}

TEST(FrameInterpolationTest, IntegerModesAndEnds) {
  struct Case {
    uint8_t mode;
    int32_t s, e;
    int64_t k, n;
    int32_t want;
  };
  const Case cases[] = {
      {kLinear, 0, 100, 0, 11, 0},
      {kLinear, 0, 100, 3, 11, 30},
      {kLinear, 0, 100, 10, 11, 100},
      {kLinear, 0, 10, 1, 4, 3},         // 10 / 3 truncated
      {kLinear, 0, -10, 1, 4, -3},       // truncated toward zero
      {kAccelerate, 0, 100, 5, 10, 41},  // 100 - round(100 sin(0.2 pi))
      {kDecelerate, 0, 100, 5, 10, 71},  // round(sin(0.25 pi) 100)
      {kAccelerate, 0, 100, 9, 10, 100},
      {kDecelerate, 7, 100, 0, 10, 7},
      {kLinear, 5, 9, 0, 1, 5},  // a one-frame window shows the start
      // k (e - s) does not fit 32 bits: formed in 64.
      {kLinear, INT32_MIN, INT32_MAX, 1, 3, -1},
      {kLinear, 0, INT32_MAX, 1000000, 2000001, INT32_MAX / 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InterpolateInt(c.mode, c.s, c.e, c.k, c.n), c.want)
        << "mode " << int{c.mode} << " k " << c.k << " n " << c.n;
  }
}

TEST(FrameInterpolationTest, LinearIntegerRunFromZeroToHundredOverElevenFrames) {
  auto track = Track<TImageFrameList>(0, 11);
  track.pos_end = {100, 0};
  for (int32_t t = 0; t < 11; ++t) {
    EXPECT_EQ(track.PlacementAt(t)->position.x, 10 * t) << "frame " << t;
  }
}

TEST(FrameInterpolationTest, RealLinearDividesByCountIntegerByCountLessOne) {
  EXPECT_DOUBLE_EQ(InterpolateReal(kLinear, 0.0, 10.0, 2, 5), 4.0);
  EXPECT_EQ(InterpolateInt(kLinear, 0, 10, 2, 5), 5);
  EXPECT_DOUBLE_EQ(InterpolateReal(kLinear, 0.0, 10.0, 4, 5), 10.0);
  EXPECT_DOUBLE_EQ(InterpolateReal(kDecelerate, 0.0, 10.0, 0, 5), 0.0);
}

TEST(FrameInterpolationTest, ParentSpansOneMoreStepAndChildStartsAtItsEnd) {
  auto parent = Track<TImageFrameList>(0, 10);
  parent.pos_end = {100, 0};
  auto child = Track<TImageFrameList>(0, 10);
  child.pos_start = {-500, 0};  // replaced by the parent's end
  child.pos_end = {200, 0};
  child.SetParent(&parent);
  child.ComputeAbsoluteStart();
  EXPECT_EQ(parent.Steps(), 11);
  EXPECT_EQ(parent.PlacementAt(9)->position.x, 90);  // (e - s)(length - 1) / length
  EXPECT_EQ(child.PlacementAt(10)->position.x, 100);
  EXPECT_EQ(child.PlacementAt(19)->position.x, 200);
}

TEST(FrameInterpolationTest, AnglesAlphasAndScales) {
  EXPECT_EQ(DegreesToTurns(-1.0), 255);
  EXPECT_EQ(DegreesToTurns(360.0), 0);
  EXPECT_EQ(DegreesToTurns(90.0), 64);
  EXPECT_EQ(DegreesToTurns(-720.0 - 90.0), 192);

  auto track = Track<TImageFrameList>(0, 5);
  track.angle_start = track.angle_end = -1;
  EXPECT_EQ(track.PlacementAt(2)->angle, 255);
  for (int32_t t = 0; t < 5; ++t) EXPECT_EQ(track.PlacementAt(t)->alpha, 255);
  track.alpha_start = 0;  // read as 255
  track.alpha_end = 55;
  EXPECT_EQ(track.PlacementAt(0)->alpha, 255);
  EXPECT_EQ(track.PlacementAt(2)->alpha, 155);
  EXPECT_EQ(track.PlacementAt(4)->alpha, 55);
  EXPECT_EQ(AlphaCodeAt(-40, -40, 1, 3), 296);  // an additive code

  track.scale_x_start = 0.5;
  track.scale_x_end = 1.999;
  EXPECT_EQ(track.PlacementAt(0)->scale_x, 128);
  EXPECT_EQ(track.PlacementAt(4)->scale_x, 511);                     // truncated
  EXPECT_EQ(InterpolateColour(0x0000FF, 0xFF0000, 1, 3), 0x7F0080);  // 255 - 127 truncated
}

TEST(FrameInterpolationTest, ClipNeedsBothSizesAndHotSpotLessTrim) {
  auto track = Track<TImageFrameList>(0, 3);
  track.clip.pos_start = track.clip.pos_end = {4, 6};
  track.clip.size_start = track.clip.size_end = {10, 0};
  EXPECT_FALSE(track.PlacementAt(1)->clip.has_value());
  track.clip.size_start = track.clip.size_end = {10, 20};
  EXPECT_EQ(*track.PlacementAt(1)->clip, (Rect{4, 6, 14, 26}));

  track.hot_spot = {30, 40};
  track.AddCell(std::make_unique<TImageFrame>(nullptr, nullptr, -1, Point{5, 7}, 16));
  EXPECT_EQ(track.PlacementAt(1)->offset, (Point{25, 33}));
}

TEST(FrameListCellTest, CellAtWalksDurationsWithinThePeriod) {
  auto track = Track<TImageFrameList>(0, 100, 10);
  EXPECT_EQ(track.CellAt(0), -1);                                                   // no cells
  track.AddCell(std::make_unique<TImageFrame>(nullptr, nullptr, -1, Point{}, 33));  // 2 frames
  track.AddCell(std::make_unique<TImageFrame>(nullptr, nullptr, -1, Point{}, 50));  // 3 frames
  const int32_t want[] = {0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 1};
  for (int32_t offset = 0; offset < 13; ++offset) {
    EXPECT_EQ(track.CellAt(offset), want[offset]) << "offset " << offset;
  }
}

TEST(FrameListCellTest, ImageCellDurationIsRoundedFrames) {
  struct Case {
    int32_t ms, frames;
  } const cases[] = {{0, 1}, {8, 1}, {25, 2}, {50, 3}, {1000, 60}};
  for (const Case c : cases) {
    EXPECT_EQ(TImageFrame(nullptr, nullptr, -1, {}, c.ms).Duration(), c.frames) << c.ms << " ms";
  }
}

TEST(FrameListRectTest, BoxCornersColoursAndParticleDelays) {
  auto box = Track<TBoxFrameList>(0, 3);
  box.rect.pos_start = {0, 0};
  box.rect.pos_end = {20, 10};
  box.rect.width_start = 10;
  box.rect.height_start = 10;
  box.rect.width_end = 30;
  box.rect.height_end = 10;
  box.fill_start = 0x000000;
  box.fill_end = 0x0000FE;
  const auto mid = box.BoxAt(1);
  ASSERT_TRUE(mid.has_value());
  EXPECT_EQ(mid->rect, (Rect{10, 5, 30, 15}));
  EXPECT_EQ(mid->fill, 0x00007F);
  EXPECT_FALSE(box.BoxAt(3).has_value());

  auto particles = Track<TParticleFrameList>(0, 2);
  particles.centre_start = particles.centre_end = 100;
  particles.spread_start = particles.spread_end = 41;
  const auto state = particles.EmitterAt(0);
  EXPECT_EQ(state->delay_base, 80);
  EXPECT_EQ(state->delay_range, 41);
}

}  // namespace
}  // namespace novu::render
