// The wave proxy draws into its target with every row shifted by that row's offset.
#include <gtest/gtest.h>

#include "render/dibx.h"
#include "render/dibx_wave.h"

namespace novu::render {
namespace {

uint32_t Position(int x, int y) {
  return 0x010000u | (y << 8) | x;
}

struct WaveScene {
  TDIBX target, source;
  TDIBXWave wave{target};
  WaveScene() {
    target.SetSize(20, 10, 32);
    target.Clear(0);
    source.SetSize(20, 10, 32);
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 20; ++x) source.SetPixel(x, y, Position(x, y));
    }
    wave.SetSize(10, 4, 32);
    wave.SetOrigin(2, 3);
    const int offsets[] = {0, 1, 1, -2};
    for (int i = 0; i < 4; ++i) wave.Offsets()[i] = offsets[i];
  }
  // What a row-shifted copy of the source puts at (x, y) of the target, 0 where nothing.
  uint32_t Expected(int x, int y) const {
    if (y < 3 || y >= 7) return 0;
    const int offsets[] = {0, 1, 1, -2};
    const int sx = x - offsets[y - 3];
    return sx >= 0 && sx < 20 ? Position(sx, y) : 0;
  }
};

TEST(DibxWaveTest, CopiesAreShiftedPerRowAndLimitedToTheProxyRows) {
  WaveScene s;
  s.target.SetClipRect({0, 0, 20, 10});
  s.wave.Draw(0, 0, {}, {0, 0, 20, 10}, s.source);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 20; ++x)
      ASSERT_EQ(s.target.GetPixel(x, y), s.Expected(x, y)) << x << "," << y;
  }
  EXPECT_EQ(s.target.ClipRect(), (Rect{0, 0, 20, 10}));  // the target's clip is put back
  EXPECT_TRUE(s.target.HasClip());
}

TEST(DibxWaveTest, ScaledDrawsGoRowByRow) {
  WaveScene s;
  s.wave.StretchDraw({0, 0, 20, 10}, s.source, 255, {}, {0, 0, 20, 10});
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 20; ++x)
      ASSERT_EQ(s.target.GetPixel(x, y), s.Expected(x, y)) << x << "," << y;
  }
  EXPECT_FALSE(s.target.HasClip());
}

TEST(DibxWaveTest, IncludeClipIsClampedToTheProxy) {
  WaveScene s;
  s.wave.IncludeClip({0, 0, 100, 4});
  EXPECT_EQ(s.target.ClipRect(), (Rect{2, 3, 12, 4}));
  s.wave.IncludeClip({50, 50, 60, 60});
  EXPECT_EQ(s.target.ClipRect(), (Rect{2, 3, 12, 4}));
}

}  // namespace
}  // namespace novu::render
