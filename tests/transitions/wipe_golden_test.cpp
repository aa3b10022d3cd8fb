// Every kind, frame by frame, gives the same pixels as the plain reference of its formulas: on
// seeded random pictures, at several sizes and depths, forwards and reversed, with the factory's
// defaults and with parameters of its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/process_random.h"
#include "render/image_codecs.h"
#include "transitions/reference_wipes.h"
#include "transitions/wipe_factory.h"
#include "wipe_fixtures.h"

namespace novu::transitions {
namespace {

using render::TDIBX;
using render::testing::PixelHash;
using testing::CopyPicture;
using testing::FillPicture;
using testing::FirstDifference;
using testing::MemoryFiles;

// Parameters of each kind's own run, chosen to matter on small screens.
struct OwnParams {
  int32_t p0, p1;
};

OwnParams OwnParamsOf(int32_t kind) {
  switch (kind) {
    case WP_FADE:
      return {13, -7};
    case WP_BLINDH:
    case WP_BLINDV:
      return {5, 3};
    case WP_CURTAINH:
    case WP_CURTAINV:
      return {4, 9};
    case WP_GRID:
      return {7, 3};
    case WP_GRIDH:
      return {9, 5};
    case WP_GRIDV:
      return {6, 1};
    case WP_SMALL:
      return {64, 0};
    case WP_BIG:
      return {-40, 0};
    case WP_RIPPLE:
      return {9, 0};
    case WP_CRACK:
      return {16, 2};
    case WP_ZOOMIN:
      return {10, 40};
    case WP_CLOCKHAND:
      return {45, 0};
    case WP_FAN:
      return {100, 0};
    case WP_WFAN:
      return {30, 0};
    case WP_BLOCKCOIL:
      return {10, 0};
    case WP_BLOCKRANDOM:
      return {12, 0};
    default:
      return {1, 1};
  }
}

bool UsesRule(int32_t kind) {
  return kind == WP_MASKFADE || kind == WP_MASKWHITE || kind == WP_MASKBLACK;
}

struct Screen {
  int width, height, depth;
};

struct WipeRun {
  Screen screen;
  bool reverse;
  bool own_params;
  int32_t duration;
};

constexpr uint32_t kSeed = 20240611;

class WipeGoldenTest : public ::testing::TestWithParam<int32_t> {
 protected:
  void SetUp() override {
    // A rule image of its own size, so that it tiles over the screen.
    render::TDIBSurface rule(13, 11, 32);
    render::TDIBX picture;
    FillPicture(picture, 13, 11, 32, 77);
    for (int y = 0; y < 11; ++y) {
      for (int x = 0; x < 13; ++x) rule.SetPixel(x, y, picture.GetPixel(x, y));
    }
    files_.files["rule.png"] = render::EncodePng(rule);
    rule_ = render::DecodePng(files_.files["rule.png"]);
  }

  void Check(int32_t kind, const WipeRun& run) {
    const Screen& s = run.screen;
    SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height) + "x" +
                 std::to_string(s.depth) + (run.reverse ? " reversed" : "") +
                 (run.own_params ? " own params" : " defaults") +
                 " D=" + std::to_string(run.duration));
    TDIBX from, to, fast, reference;
    FillPicture(from, s.width, s.height, s.depth, 1);
    FillPicture(to, s.width, s.height, s.depth, 2);
    CopyPicture(from, fast);
    CopyPicture(from, reference);

    ProcessRandom random(99);
    WipeContext context;
    context.random = &random;
    context.load_file = files_.Loader();
    auto wipe = CreateWipe(kind, fast, from, to, context);
    ASSERT_NE(wipe, nullptr);
    ReferenceScene scene;
    scene.kind = kind;
    scene.reverse = run.reverse;
    scene.duration = run.duration;
    scene.random_seed = kSeed;
    const WipeDefaults defaults = DefaultParams(kind);
    scene.param0 = defaults.param0;
    scene.param1 = defaults.param1;

    // The order of the flip: duration, direction, parameters, rule name, preparation. The
    // spot light's table is left to be built when first needed on forward runs.
    random.Seed(kSeed);
    wipe->SetDuration(run.duration);
    if (run.reverse) wipe->SetReverse(true);
    if (run.own_params) {
      const OwnParams own = OwnParamsOf(kind);
      wipe->SetParam(0, own.p0);
      wipe->SetParam(1, own.p1);
      scene.param0 = own.p0;
      scene.param1 = own.p1;
      if (UsesRule(kind)) {
        wipe->SetRuleName("rule.png");
        scene.rule = &rule_;
      }
    }
    wipe->Prepare();

    const int32_t d = run.duration;
    for (const int32_t e : {0, d / 4, d / 2, 3 * d / 4, d}) {
      SCOPED_TRACE("E=" + std::to_string(e));
      wipe->SetElapsed(e);
      EXPECT_EQ(wipe->Step(), e >= d);
      ReferenceFrame(scene, e, from, to, reference);
      EXPECT_EQ(PixelHash(fast), PixelHash(reference)) << FirstDifference(fast, reference);
      EXPECT_EQ(wipe->DirtyRect(), (Rect{0, 0, s.width, s.height}));
    }
  }

  MemoryFiles files_;
  render::TDIBSurface rule_;
};

TEST_P(WipeGoldenTest, FramesMatchTheReference) {
  const int32_t kind = GetParam();
  const std::vector<Screen> screens = {{64, 48, 32}, {61, 37, 32}, {64, 48, 16}, {7, 5, 32}};
  for (const Screen& screen : screens) {
    for (const bool reverse : {false, true}) {
      for (const bool own : {false, true}) {
        for (const int32_t duration : {1000, 7}) Check(kind, {screen, reverse, own, duration});
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, WipeGoldenTest,
                         ::testing::Range(kFirstWipeKind, kLastWipeKind + 1),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return "Kind" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace novu::transitions
