// The fire control: its size follows field size and zoom, it steps every 40 ms and draws
// additively through the palette, and its saved record keeps the setters' limits.
#include <gtest/gtest.h>

#include "controls/novu_fire.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "image_fixtures.h"
#include "render/fire_field.h"

namespace novu {
namespace {

using testing::ImageScene;

struct FireScene : ImageScene {
  FireScene() { list.SetProcessState(&state); }
  TNovuFire& Fire(int32_t w, int32_t h) {
    auto& fire = Add<TNovuFire>(LT_FIRE, "fire");
    fire.SetProperty(PR_ORIGWIDTH, w);
    fire.SetProperty(PR_ORIGHEIGHT, h);
    return fire;
  }
};

TEST(FireControlTest, SizeFollowsFieldAndZoomNotWidthWrites) {
  FireScene s;
  TNovuFire& fire = s.Fire(40, 30);
  EXPECT_EQ(fire.width(), 40);
  fire.SetProperty(PR_WIDTH, 500);
  EXPECT_EQ(fire.width(), 40);
  fire.SetProperty(PR_ZOOMX, 512);
  fire.SetProperty(PR_ZOOMY, -5);  // stored as 1
  EXPECT_EQ(fire.width(), 80);
  EXPECT_EQ(PropAsInt(fire.GetProperty(PR_ZOOMY)), 1);
  EXPECT_EQ(fire.height(), 0);
  fire.SetProperty(PR_POWER, 900);
  EXPECT_EQ(PropAsInt(fire.GetProperty(PR_POWER)), 255);
}

TEST(FireControlTest, StepsEveryFortyMillisecondsAndAddsThePalette) {
  FireScene s;
  TNovuFire& fire = s.Fire(20, 10);
  fire.SetLeft(100);
  fire.SetTop(200);
  s.Tick(15);  // initialises
  s.Tick(30);
  EXPECT_EQ(fire.field().heat().ScanLine(9)[5], render::FireField::kCold);  // not yet 40 ms
  s.Tick(15);
  EXPECT_EQ(fire.field().heat().ScanLine(9)[5], render::FireField::kHot);
  s.Draw();
  // On black, a hot cell adds palette entry 254 at strength 255 (each channel c * 255 >> 8);
  // cold cells (16 and below) add nothing.
  const uint32_t hot = render::FirePalette()[254];
  uint32_t added = 0;
  for (int shift = 0; shift <= 16; shift += 8) added |= ((hot >> shift & 0xFF) * 255 >> 8) << shift;
  EXPECT_EQ(s.PixelAt(105, 209), added);
  EXPECT_EQ(s.PixelAt(105, 200), 0u);
}

TEST(FireControlTest, SavedRecordRoundTripsAndNegativeFieldsReadAsEmpty) {
  FireScene s;
  TNovuFire& fire = s.Fire(20, 10);
  fire.SetProperty(PR_POWER, 77);
  fire.SetProperty(PR_ZOOMY, 300);
  BinaryWriter out;
  fire.SaveToStream(out);
  auto& loaded = s.list.Add<TNovuFire>(s.Env());
  BinaryReader in(out.bytes());
  loaded.LoadFromStream(in, ObjectLoadContext{200});
  EXPECT_EQ(PropAsInt(loaded.GetProperty(PR_POWER)), 77);
  EXPECT_EQ(loaded.height(), 10 * 300 / 256);
  BinaryWriter again;
  loaded.SaveToStream(again);
  EXPECT_EQ(again.bytes(), out.bytes());

  // The record ends with power, field width and height, zoom X, the idle label (empty: 4
  // bytes), paused and zoom Y: 25 bytes, the field width 21 from the end.
  std::vector<uint8_t> negative = out.bytes();
  const size_t at = negative.size() - 21;
  ASSERT_EQ(negative[at], 20);
  negative[at] = negative[at + 1] = negative[at + 2] = negative[at + 3] = 0xFF;  // -1
  auto& damaged = s.list.Add<TNovuFire>(s.Env());
  BinaryReader bad(negative);
  damaged.LoadFromStream(bad, ObjectLoadContext{200});
  EXPECT_EQ(damaged.width(), 0);
  s.Tick(15);
  s.Tick(45);
  s.Draw();
}

}  // namespace
}  // namespace novu
