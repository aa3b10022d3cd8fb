// The factory, the parameter clamps, the time base and the worked values of the effects.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "render/pixel_rules.h"
#include "transitions/mask_wipes.h"
#include "transitions/move_wipes.h"
#include "transitions/pixel_wipes.h"
#include "transitions/wipe_factory.h"
#include "wipe_fixtures.h"

namespace novu::transitions {
namespace {

using render::TDIBX;
using testing::CopyPicture;
using testing::FillColour;
using testing::FillPicture;

constexpr int32_t kOld = 0x204060;  // 0x00BBGGRR
constexpr int32_t kNew = 0xC08010;
constexpr int32_t kMarker = 0x0000FF;

// A 64 × 48 scene of two flat pictures; the target starts as a marker colour.
struct FlatScene {
  TDIBX from, to, target;
  explicit FlatScene(int width = 64, int height = 48) {
    FillColour(from, width, height, 32, kOld);
    FillColour(to, width, height, 32, kNew);
    FillColour(target, width, height, 32, kMarker);
  }
  uint32_t Raw(int32_t colour) const { return static_cast<uint32_t>(target.ColorToPixel(colour)); }
  uint32_t Blend(uint32_t m) const {
    return render::rules::Blend(target.Format(), Raw(kOld), Raw(kNew), m);
  }
};

std::unique_ptr<TCustomWipe> Start(int32_t kind, FlatScene& s, int32_t duration,
                                   WipeContext context = {}) {
  auto wipe = CreateWipe(kind, s.target, s.from, s.to, std::move(context));
  wipe->SetDuration(duration);
  return wipe;
}

TEST(WipeFactoryTest, KindsOutsideTheRangeCreateNothing) {
  FlatScene s;
  for (const int32_t kind : {0, 39, -1, -38, 1000}) {
    EXPECT_EQ(CreateWipe(kind, s.target, s.from, s.to), nullptr) << kind;
  }
}

TEST(WipeFactoryTest, DefaultsPassThroughTheClampsOfEachKind) {
  struct Expected {
    int32_t kind, p0, p1;
  };
  const Expected table[] = {
      {WP_FADE, 0, 0},       {WP_BLINDH, 20, 1},      {WP_BLINDV, 20, 1},   {WP_CURTAINH, 30, 1},
      {WP_CURTAINV, 30, 1},  {WP_SCROLLH, 0, 0},      {WP_SCROLLV, 0, 0},   {WP_GRID, 80, 30},
      {WP_GRIDH, 80, 30},    {WP_GRIDV, 80, 30},      {WP_DITHER, 2, 1},    {WP_WHITE, 0, 0},
      {WP_BLACK, 0, 0},      {WP_FLASH, 0, 0},        {WP_MOSAIC, 0, 0},    {WP_SUDAREH, 0, 0},
      {WP_SUDAREV, 0, 0},    {WP_SPOT, 0, 0},         {WP_MASKFADE, 2, 1},  {WP_MASKWHITE, 0, 0},
      {WP_MASKBLACK, 0, 0},  {WP_SMALL, 0, 0},        {WP_BIG, 0, 0},       {WP_RIPPLE, 5, 0},
      {WP_BLURWHITE, 0, 0},  {WP_BLURBLACK, 0, 0},    {WP_TWISTH, 0, 0},    {WP_TWISTV, 0, 0},
      {WP_CRACK, 64, 3},     {WP_ZOOMIN, 0, 0},       {WP_CLOCKHAND, 0, 0}, {WP_RUBBERH, 0, 0},
      {WP_RUBBERV, 0, 0},    {WP_FAN, 0, 0},          {WP_WFAN, 0, 0},      {WP_CIRCLE, 2, 1},
      {WP_BLOCKCOIL, 60, 0}, {WP_BLOCKRANDOM, 60, 0},
  };
  ASSERT_EQ(std::size(table), static_cast<size_t>(kLastWipeKind));
  FlatScene s;
  for (const Expected& e : table) {
    const auto wipe = CreateWipe(e.kind, s.target, s.from, s.to);
    ASSERT_NE(wipe, nullptr) << e.kind;
    EXPECT_EQ(wipe->GetParam(0), e.p0) << e.kind;
    EXPECT_EQ(wipe->GetParam(1), e.p1) << e.kind;
  }
}

TEST(WipeFactoryTest, SetParamClampsPerKind) {
  struct Case {
    int32_t kind;
    int index;
    int32_t value, stored;
  };
  const Case table[] = {
      {WP_CURTAINH, 1, 0, 1}, {WP_CURTAINV, 0, -3, 1},     {WP_BLINDH, 1, 0, 1},
      {WP_BLINDV, 0, 1, 2},   {WP_GRID, 0, -9, 2},         {WP_CRACK, 0, 8, 16},
      {WP_CRACK, 1, -5, 0},   {WP_CLOCKHAND, 0, -30, -30}, {WP_FAN, 1, -4, -4},
      {WP_RIPPLE, 0, -2, -2}, {WP_BLOCKCOIL, 0, 1, 1},     {WP_FADE, 0, -50, -50},
  };
  FlatScene s;
  for (const Case& c : table) {
    auto wipe = CreateWipe(c.kind, s.target, s.from, s.to);
    wipe->SetParam(c.index, c.value);
    EXPECT_EQ(wipe->GetParam(c.index), c.stored) << c.kind << " param " << c.index;
  }
}

TEST(WipeTimeTest, AStepAtOrAfterTheEndIsDoneAndDrawsNothing) {
  for (int32_t kind = kFirstWipeKind; kind <= kLastWipeKind; ++kind) {
    FlatScene s;
    auto wipe = Start(kind, s, 100);
    wipe->Prepare();
    for (const int32_t e : {100, 250}) {
      wipe->SetElapsed(e);
      EXPECT_TRUE(wipe->Step()) << kind;
      EXPECT_EQ(wipe->DirtyRect(), (Rect{0, 0, 64, 48}));
      EXPECT_EQ(s.target.GetPixel(5, 5), s.Raw(kMarker)) << kind;
    }
  }
}

TEST(WipeTimeTest, DurationsOfZeroOrLessActAsOneAndNegativeElapsedAsZero) {
  for (const int32_t duration : {0, -20}) {
    FlatScene s;
    auto wipe = Start(WP_FLASH, s, duration);
    EXPECT_EQ(wipe->duration(), 1);
    wipe->SetElapsed(-5);
    EXPECT_FALSE(wipe->Step());
    // Flash at E = 0: the new picture plus grey 255 is white.
    EXPECT_EQ(s.target.GetPixel(0, 0), s.Raw(0xFFFFFF));
    wipe->SetElapsed(1);
    EXPECT_TRUE(wipe->Step());
  }
}

TEST(WipeTimeTest, LongDurationsKeepTheirProgressInSixtyFourBits) {
  // E × 511 overflows 32 bits here; the white at v = 383 is the new picture plus grey 128.
  FlatScene s;
  auto wipe = Start(WP_WHITE, s, 2'000'000'000);
  wipe->SetElapsed(1'500'000'000);
  wipe->Step();
  const uint32_t expected =
      render::rules::AddSaturate(s.target.Format(), s.Raw(kNew), s.Raw(0x808080));
  EXPECT_EQ(s.target.GetPixel(10, 10), expected);

  // Crack tiles whose start times pass 2^31.
  FlatScene c;
  auto crack = CreateWipe(WP_CRACK, c.target, c.from, c.to);
  crack->SetParam(0, 16);
  crack->SetParam(1, 1'000'000'000);
  auto& tiles = static_cast<TWipeCrack&>(*crack).tiles();
  ASSERT_EQ(tiles.size(), 12u);
  EXPECT_EQ(static_cast<TWipeCrack&>(*crack).span(), int64_t{11} * 1'000'000'000);
  EXPECT_EQ(tiles.back().start, int64_t{11} * 1'000'000'000);
  crack->SetDuration(2'000'000'000);
  crack->SetElapsed(1'999'999'999);
  EXPECT_FALSE(crack->Step());
}

// ---- worked values ----

TEST(WipeWorkedValuesTest, FadeAtHalfTimeBlendsAt128) {
  FlatScene s;
  auto wipe = Start(WP_FADE, s, 1000);
  wipe->SetElapsed(500);
  wipe->Step();
  EXPECT_EQ(s.target.GetPixel(0, 0), s.Blend(128));
  EXPECT_EQ(s.target.GetPixel(63, 47), s.Blend(128));
}

TEST(WipeWorkedValuesTest, BlindsAtHalfTimeOpenTheColumnsUpToProgress19) {
  FlatScene s;
  auto wipe = Start(WP_BLINDH, s, 1000);
  wipe->SetElapsed(500);
  wipe->Step();
  for (int x = 0; x < 64; ++x) {
    const bool open = 2 * (x % 20) <= 19;
    EXPECT_EQ(s.target.GetPixel(x, 30), s.Raw(open ? kNew : kOld)) << x;
  }
}

TEST(WipeWorkedValuesTest, WhiteAt300ShowsTheNewPicturePlusGrey211) {
  FlatScene s;
  auto wipe = Start(WP_WHITE, s, 511);
  wipe->SetElapsed(300);
  wipe->Step();
  const uint32_t expected =
      render::rules::AddSaturate(s.target.Format(), s.Raw(kNew), s.Raw(211 * 0x010101));
  EXPECT_EQ(s.target.GetPixel(7, 3), expected);
}

TEST(WipeWorkedValuesTest, ReversedCircleAtTheStartShowsOnlyTheOldPicture) {
  for (const auto& [w, h] : {std::pair{64, 48}, std::pair{61, 37}, std::pair{9, 4}}) {
    FlatScene s(w, h);
    auto wipe = Start(WP_CIRCLE, s, 1000);
    wipe->SetReverse(true);
    wipe->Prepare();
    wipe->SetElapsed(0);
    wipe->Step();
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{w - 1, 0}, std::pair{0, h - 1},
                               std::pair{w - 1, h - 1}, std::pair{w / 2, h / 2}}) {
      EXPECT_EQ(s.target.GetPixel(x, y), s.Raw(kOld)) << w << "x" << h << " at " << x << "," << y;
    }
  }
}

TEST(WipeWorkedValuesTest, DitherCellsFollowThePermutationWithIncrement12341) {
  FlatScene s(130, 70);
  auto wipe = Start(WP_DITHER, s, 4096);
  wipe->Prepare();
  const auto& dither = static_cast<TWipeDither&>(*wipe);
  ASSERT_EQ(dither.order().size(), 4096u);
  EXPECT_EQ(dither.order()[0], 0 * 64 + 53);
  EXPECT_EQ(dither.order()[1], 5 * 64 + 17);
  // n = 2: exactly those two cells of every 64 × 64 tile show the new picture.
  wipe->SetElapsed(2);
  wipe->Step();
  for (int y = 0; y < 70; ++y) {
    for (int x = 0; x < 130; ++x) {
      const bool lit = (y % 64 == 0 && x % 64 == 53) || (y % 64 == 5 && x % 64 == 17);
      ASSERT_EQ(s.target.GetPixel(x, y), s.Raw(lit ? kNew : kOld)) << x << "," << y;
    }
  }
  // n = 4095: every cell but the last of the order.
  wipe->SetElapsed(4095);
  wipe->Step();
  const int32_t last = dither.order().back();
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      ASSERT_EQ(s.target.GetPixel(x, y), s.Raw(y * 64 + x == last ? kOld : kNew));
    }
  }
}

TEST(WipeWorkedValuesTest, MaskFadeWithoutARuleIsACrossFadeOverHalfTheDuration) {
  struct Case {
    int32_t elapsed;
    uint32_t mask;
  };
  // mask = clamp(E × 512 / D - 1, 0, 255)
  for (const Case& c :
       {Case{0, 0}, Case{250, 127}, Case{100, 50}, Case{500, 255}, Case{900, 255}}) {
    FlatScene s;
    auto wipe = Start(WP_MASKFADE, s, 1000);
    wipe->SetRuleName("nowhere.fip");
    wipe->Prepare();
    wipe->SetElapsed(c.elapsed);
    wipe->Step();
    const uint32_t expected = c.mask == 0     ? s.Raw(kOld)
                              : c.mask == 255 ? s.Raw(kNew)
                                              : s.Blend(c.mask);
    EXPECT_EQ(s.target.GetPixel(31, 17), expected) << c.elapsed;
  }
}

TEST(WipeWorkedValuesTest, TwistAtTheStartRedrawsOnlyTheFirstRow) {
  FlatScene s;
  FillPicture(s.from, 64, 48, 32, 5);
  auto wipe = Start(WP_TWISTH, s, 1000);
  wipe->SetElapsed(0);
  wipe->Step();
  for (int x = 0; x < 64; ++x) {
    EXPECT_EQ(s.target.GetPixel(x, 0), s.from.GetPixel(x, 0)) << x;
    EXPECT_EQ(s.target.GetPixel(x, 1), s.Raw(kMarker)) << x;
    EXPECT_EQ(s.target.GetPixel(x, 47), s.Raw(kMarker)) << x;
  }
}

TEST(WipeWorkedValuesTest, BlockCoilKeepsBlocksOfTenAndWalksAClockwiseSpiral) {
  EXPECT_EQ(SpiralOrder(3, 2), (std::vector<int32_t>{0, 1, 2, 5, 4, 3}));
  EXPECT_EQ(SpiralOrder(3, 3), (std::vector<int32_t>{0, 1, 2, 5, 8, 7, 6, 3, 4}));
  EXPECT_EQ(SpiralOrder(1, 3), (std::vector<int32_t>{0, 1, 2}));
  FlatScene s;
  auto wipe = Start(WP_BLOCKCOIL, s, 1000);
  wipe->SetParam(0, 1);
  wipe->Prepare();
  EXPECT_EQ(wipe->GetParam(0), 10);
  EXPECT_EQ(static_cast<TWipeBlockCoil&>(*wipe).blocks().size(), 7u * 5u);
  // Larger than the screen: the screen's shorter side.
  auto big = Start(WP_BLOCKCOIL, s, 1000);
  big->SetParam(0, 500);
  big->Prepare();
  EXPECT_EQ(big->GetParam(0), 48);
}

TEST(WipeWorkedValuesTest, CrackWithNegativeIntervalStartsEveryTileAtOnce) {
  FlatScene s;
  auto wipe = CreateWipe(WP_CRACK, s.target, s.from, s.to);
  wipe->SetParam(0, 8);
  wipe->SetParam(1, -5);
  const auto& crack = static_cast<TWipeCrack&>(*wipe);
  ASSERT_EQ(crack.tiles().size(), 4u * 3u);  // 16-pixel tiles
  for (const auto& tile : crack.tiles()) EXPECT_EQ(tile.start, 0);
  EXPECT_EQ(crack.span(), 0);
  EXPECT_EQ(crack.fall_time(), CrackFallTime(48));
  EXPECT_GE(CrackFall(crack.fall_time()), 48);
  EXPECT_LT(CrackFall(crack.fall_time() - 1), 48);
}

TEST(WipeWorkedValuesTest, TheRandomEffectsFollowTheSeededGenerator) {
  for (const int32_t kind : {WP_CRACK, WP_BLOCKRANDOM}) {
    std::vector<uint64_t> hashes;
    for (const uint32_t seed : {7u, 7u, 8u}) {
      FlatScene s;
      FillPicture(s.from, 64, 48, 32, 3);
      ProcessRandom random(seed);
      WipeContext context;
      context.random = &random;
      auto wipe = CreateWipe(kind, s.target, s.from, s.to, context);
      wipe->SetParam(0, 16);
      wipe->SetDuration(100);
      wipe->Prepare();
      wipe->SetElapsed(5);  // the first tiles are rising and drifting
      wipe->Step();
      hashes.push_back(render::testing::PixelHash(s.target));
    }
    EXPECT_EQ(hashes[0], hashes[1]) << kind;
    EXPECT_NE(hashes[0], hashes[2]) << kind;
  }
}

// ---- mask composition ----

TEST(WipeMaskTest, AnUnchangedProgressLeavesTheTargetAlone) {
  FlatScene s;
  auto wipe = Start(WP_BLINDH, s, 1000);
  wipe->SetElapsed(500);
  wipe->Step();
  s.target.Clear(s.Raw(kMarker));
  wipe->SetElapsed(501);  // p = 39 × 501 / 1000 = 19 again
  EXPECT_FALSE(wipe->Step());
  EXPECT_EQ(s.target.GetPixel(0, 0), s.Raw(kMarker));
  wipe->SetElapsed(530);  // p = 20
  wipe->Step();
  EXPECT_EQ(s.target.GetPixel(0, 0), s.Raw(kNew));
}

TEST(WipeMaskTest, MaskHeightsPerKind) {
  struct Case {
    int32_t kind;
    int32_t p0;
    int height;
  };
  const Case table[] = {{WP_BLINDH, 20, 1},  {WP_CURTAINH, 30, 1},
                        {WP_BLINDV, 20, 20}, {WP_BLINDV, 1, 2},
                        {WP_GRIDH, 10, 10},  {WP_GRIDH, 80, 48},
                        {WP_DITHER, 0, 64},  {WP_CURTAINV, 30, 48},
                        {WP_CIRCLE, 0, 48},  {WP_BLINDV, 2'000'000'000, 48}};
  FlatScene s;
  for (const Case& c : table) {
    auto wipe = CreateWipe(c.kind, s.target, s.from, s.to);
    wipe->SetParam(0, c.p0);
    wipe->Prepare();
    const auto& mask = static_cast<TWipeMask&>(*wipe);
    EXPECT_EQ(mask.mask_height(), c.height) << c.kind;
    EXPECT_EQ(mask.mask_width(), 64) << c.kind;
  }
}

TEST(WipeMaskTest, SoftBlindsBlendAndHardOnesSwitch) {
  // BlindV, slats of 4 rows, softness 3, D = 9: p = E; row 0 reaches 255 at p = 3.
  FlatScene s;
  auto wipe = Start(WP_BLINDV, s, 9);
  wipe->SetParam(0, 4);
  wipe->SetParam(1, 3);
  wipe->Prepare();
  wipe->SetElapsed(1);
  wipe->Step();
  EXPECT_EQ(s.target.GetPixel(0, 0), s.Blend(85));
  EXPECT_EQ(s.target.GetPixel(0, 4), s.Blend(85));  // the slat repeats
  EXPECT_EQ(s.target.GetPixel(0, 1), s.Raw(kOld));
  EXPECT_FALSE(static_cast<TWipeMask&>(*wipe).hard_edge());
  wipe->SetElapsed(8);
  wipe->Step();
  EXPECT_EQ(s.target.GetPixel(0, 3), s.Blend(170));
  EXPECT_EQ(s.target.GetPixel(0, 0), s.Raw(kNew));
}

// ---- mended faults ----

TEST(WipeMendTest, TheSpotTableIsBuiltWhenFirstNeeded) {
  FlatScene s;
  auto wipe = Start(WP_SPOT, s, 1000);  // SetReverse never runs
  wipe->SetElapsed(999);
  EXPECT_FALSE(wipe->Step());
  EXPECT_EQ(static_cast<TWipeSpot&>(*wipe).distances().size(), 64u * 48u);
  EXPECT_EQ(s.target.GetPixel(32, 24), s.Raw(kNew));
}

TEST(WipeMendTest, TheRippleProfileIsFlatOnTinyScreens) {
  EXPECT_EQ(RippleProfile(8, 8, 5), (std::vector<int32_t>{0, 0}));
  EXPECT_TRUE(RippleProfile(2, 2, 5).empty());
  EXPECT_EQ(RippleProfile(24, 24, 8), (std::vector<int32_t>{0, 4, 0, 4, 0, 4, 0, 4}));
  for (const auto& [w, h] : {std::pair{8, 8}, std::pair{1, 1}, std::pair{3, 40}}) {
    FlatScene s(w, h);
    auto wipe = Start(WP_RIPPLE, s, 10);
    for (int32_t e = 0; e < 10; ++e) {
      wipe->SetElapsed(e);
      EXPECT_FALSE(wipe->Step());
    }
  }
}

TEST(WipeMendTest, HugeScriptParametersNeitherOverflowNorAllocateWithoutBound) {
  // Progress ranges built from parameters near 2^31 times elapsed times near 2^31.
  struct Case {
    int32_t kind, p0, p1;
  };
  const Case table[] = {
      {WP_BLINDH, 2'000'000'000, 2'000'000'000},   {WP_BLINDV, 2'000'000'000, 1},
      {WP_CURTAINH, 2'000'000'000, 2'000'000'000}, {WP_CURTAINV, 7, 2'000'000'000},
      {WP_GRID, 2'000'000'000, 2'000'000'000},     {WP_CRACK, 16, 2'000'000'000}};
  for (const Case& c : table) {
    FlatScene s;
    auto wipe = Start(c.kind, s, 2'000'000'000);
    wipe->SetParam(0, c.p0);
    wipe->SetParam(1, c.p1);
    wipe->Prepare();
    for (const int32_t e : {1, 1'000'000'000, 1'999'999'999}) {
      wipe->SetElapsed(e);
      EXPECT_FALSE(wipe->Step()) << c.kind;
    }
  }
  // A curtain with a huge softness is still all old at the start and has begun at the end.
  FlatScene s;
  auto curtain = Start(WP_CURTAINH, s, 2'000'000'000);
  curtain->SetParam(1, 2'000'000'000);
  curtain->SetElapsed(1);
  curtain->Step();
  EXPECT_EQ(s.target.GetPixel(0, 0), s.Raw(kOld));
  curtain->SetElapsed(1'999'999'999);
  curtain->Step();
  EXPECT_NE(s.target.GetPixel(0, 0), s.Raw(kOld));
}

TEST(WipeMendTest, BlocksOnAOnePixelScreenNeverDivideByZero) {
  for (const int32_t kind : {WP_BLOCKCOIL, WP_BLOCKRANDOM, WP_CRACK, WP_GRID}) {
    FlatScene s(1, 1);
    auto wipe = Start(kind, s, 4);
    wipe->Prepare();
    wipe->SetElapsed(3);
    EXPECT_FALSE(wipe->Step()) << kind;
  }
}

}  // namespace
}  // namespace novu::transitions
