#include <gtest/gtest.h>

#include "controls/novu_box.h"
#include "controls/novu_images.h"
#include "controls/novu_tile.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/param_collection.h"
#include "image_fixtures.h"

namespace novu {
namespace {

using testing::ImageScene;
using testing::MakeFip;
using testing::Solid;

TEST(ControlFactory, CreatesThePictureClassesByType) {
  ImageScene s;
  const struct {
    ComponentType type;
    bool (*is)(TNovuObject&);
  } cases[] = {
      {LT_IMAGES, [](TNovuObject& o) { return dynamic_cast<TNovuImages*>(&o) != nullptr; }},
      {LT_TILE, [](TNovuObject& o) { return dynamic_cast<TNovuTile*>(&o) != nullptr; }},
      {LT_BOX, [](TNovuObject& o) { return dynamic_cast<TNovuBox*>(&o) != nullptr; }},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TNovuObject> object = s.list.CreateByType(c.type);
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(c.is(*object));
    EXPECT_EQ(object->GetType(), c.type);
    EXPECT_EQ(PropAsInt(object->GetProperty(PR_COMPOTYPE)), c.type);
  }
  // The object model's own classes still come through; codes without a class give none.
  EXPECT_NE(s.list.CreateByType(LT_TIMER), nullptr);
  EXPECT_EQ(s.list.CreateByType(LT_AUDIO), nullptr);
}

// The film's still picture keeps a darkened copy of the first frame and lets the cache go.
TEST(StillImage, CopiesItsFirstFrameDarkenedAndReleasesTheCache) {
  ImageScene s;
  s.store.files["s.fip"] = MakeFip({Solid(0x80a0c0, 6, 4), Solid(testing::kBlue, 6, 4)});
  auto image = MakeObject<TNovuImage>(&s.list, s.Env());
  image->SetProperty(PR_ZOOMX, 512);
  image->SetProperty(PR_BRIGHTNESS, 300);  // clamped to 255: unchanged
  image->SetProperty(PR_SOURCE, std::string("s.fip"));
  EXPECT_EQ(s.cache.size(), 0u);
  EXPECT_EQ(PropAsInt(image->GetProperty(PR_BRIGHTNESS)), 255);
  EXPECT_EQ(image->width(), 12);
  EXPECT_EQ(image->height(), 4);
  ASSERT_NE(image->Picture(), nullptr);
  EXPECT_EQ(image->Picture()->GetPixel(0, 0), testing::Raw32(0x80a0c0));

  image->SetProperty(PR_BRIGHTNESS, 0x90);  // subtracts grey 255 - 0x90 = 0x6f
  EXPECT_EQ(image->Picture()->GetPixel(0, 0), testing::Raw32(0x113151));
  EXPECT_EQ(s.cache.size(), 0u);
  EXPECT_EQ(image->GetType(), LT_NONE);  // never saved
}

TEST(ImageControls, ZoomOfZeroOrLessReadsBackAsOne) {
  ImageScene s;
  auto& image = s.Add<TNovuImages>(LT_IMAGES, "img");
  for (int32_t zoom : {0, -1, -256, INT32_MIN}) {
    image.SetProperty(PR_ZOOMX, zoom);
    image.SetProperty(PR_ZOOMY, zoom);
    EXPECT_EQ(PropAsInt(image.GetProperty(PR_ZOOMX)), 1) << zoom;
    EXPECT_EQ(PropAsInt(image.GetProperty(PR_ZOOMY)), 1) << zoom;
  }
}

TEST(ImageControls, SizeFollowsThePictureAndZoom) {
  ImageScene s;
  s.store.files["p.fip"] = MakeFip({Solid(testing::kRed, 10, 6)});
  auto& image = s.Add<TNovuImages>(LT_IMAGES, "img");
  image.SetProperty(PR_SOURCE, std::string("p.fip"));
  EXPECT_EQ(image.width(), 10);
  EXPECT_EQ(image.height(), 6);
  EXPECT_EQ(PropAsInt(image.GetProperty(PR_ORIGWIDTH)), 10);

  image.SetProperty(PR_ZOOMX, 384);
  s.Tick(15);
  EXPECT_EQ(image.width(), 15);
  EXPECT_EQ(image.height(), 6);

  image.SetProperty(PR_SOURCE, std::string("not-a-picture.txt"));
  EXPECT_EQ(image.width(), 0);
  EXPECT_EQ(image.height(), 0);
  EXPECT_EQ(PropAsInt(image.GetProperty(PR_COUNT)), 0);
}

// With an explicit width the zoom is stored as 0; mapping a click into the mask must use the
// real scale instead of dividing by it.
TEST(ImageControls, MaskHitTestingUsesTheRealScaleOfAnExplicitSize) {
  ImageScene s;
  testing::FrameSpec half = Solid(testing::kRed, 4, 4);
  half.mask = [](int x, int) { return static_cast<uint8_t>(x < 2 ? 255 : 0); };
  s.store.files["m.fip"] = MakeFip({half});
  auto& image = s.Add<TNovuImages>(LT_IMAGES, "img");
  image.SetProperty(PR_SOURCE, std::string("m.fip"));
  image.SetProperty(PR_CAPTUREMASK, true);
  image.SetLeft(100);
  image.SetTop(100);
  image.SetProperty(PR_WIDTH, 16);  // 4 pixels become 16: scale 1024
  image.SetProperty(PR_HEIGHT, 8);
  s.Tick(15);
  ASSERT_EQ(image.width(), 16);
  EXPECT_EQ(PropAsInt(image.GetProperty(PR_ZOOMX)), 1024);
  EXPECT_EQ(PropAsInt(image.GetProperty(PR_ZOOMY)), 512);

  const MouseModeSet all{IM_NONE};
  const struct {
    int x, y;
    bool hit;
  } cases[] = {
      {100, 100, true},   // mask column 0
      {107, 107, true},   // column 1
      {108, 100, false},  // column 2: transparent
      {115, 107, false},  // last pixel, column 3
      {116, 100, false},  // outside the control
  };
  for (const auto& c : cases) {
    EXPECT_EQ(image.HitTest({c.x, c.y}, all) == &image, c.hit) << c.x << "," << c.y;
  }
  // Mirrored, the opaque columns are on the right of the control (wherever the anchor puts it).
  image.SetProperty(PR_FLIPH, true);
  const Rect mirrored = image.GetBoundsRect();
  EXPECT_EQ(image.HitTest({mirrored.left, 100}, all), nullptr);
  EXPECT_EQ(image.HitTest({mirrored.right - 1, 100}, all), &image);
}

// A child placed in its parent's picture pixels takes its edges from the parent's real scale:
// 10 picture pixels shown 25 wide put the child's 4 pixels at 3..7 on screen pixels 7..18.
TEST(ImageControls, PosZoomedChildFollowsTheParentsRealScale) {
  ImageScene s;
  s.store.files["p.fip"] = MakeFip({Solid(testing::kRed, 10, 4)});
  s.store.files["c.fip"] = MakeFip({Solid(testing::kBlue, 4, 4)});
  auto& parent = s.Add<TNovuImages>(LT_IMAGES, "parent");
  parent.SetProperty(PR_SOURCE, std::string("p.fip"));
  auto& child = s.Add<TNovuImages>(LT_IMAGES, "child", &parent);
  child.SetProperty(PR_SOURCE, std::string("c.fip"));
  child.SetLeft(3);
  struct Case {
    int32_t parent_width;
    bool pos_zoomed;
    int32_t child_width;
  };
  const Case cases[] = {
      {25, false, 10},  // 4 * 640 / 256
      {25, true, 11},   // 18 - 7
      {0, true, 0},     // a parent without width gives no scale: the zoom rule
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.parent_width << " " << c.pos_zoomed);
    parent.SetProperty(PR_WIDTH, c.parent_width);
    child.SetProperty(PR_ZOOMX, PropAsInt(parent.GetProperty(PR_ZOOMX)));
    child.SetProperty(PR_POSZOOMED, c.pos_zoomed);
    s.Tick(15);
    EXPECT_EQ(child.width(), c.child_width);
  }
}

struct Animation {
  explicit Animation(std::vector<int32_t> delays) {
    std::vector<testing::FrameSpec> frames;
    for (int32_t d : delays) frames.push_back(Solid(testing::kRed, 2, 2, d));
    s.store.files["a.fip"] = MakeFip(frames);
    image = &s.Add<TNovuImages>(LT_IMAGES, "anim");
    image->SetProperty(PR_SOURCE, std::string("a.fip"));
  }
  ImageScene s;
  TNovuImages* image;
};

// A late frame's overshoot is dropped with two frames and carried with three.
TEST(ImageControls, OvershootIsCarriedOnlyBeyondTwoFrames) {
  struct Case {
    std::vector<int32_t> delays;
    int32_t remaining_after;
  };
  const Case cases[] = {
      {{100, 100}, 100},      // 100 - 130 < 1: frame 1 starts with its own 100
      {{100, 100, 100}, 70},  // -30 + 100
  };
  for (const Case& c : cases) {
    Animation a(c.delays);
    a.s.Tick(130);
    EXPECT_EQ(a.image->index(), 1);
    EXPECT_EQ(a.image->remaining(), c.remaining_after) << c.delays.size();
  }
}

TEST(ImageControls, EndedAnimationPostsPlayEndInEveryUpdateUntilHidden) {
  Animation a({20, 20});
  a.image->SetProperty(PR_ONPLAYEND, std::string("@ended"));
  a.s.Tick(25);
  EXPECT_EQ(a.image->index(), 1);
  EXPECT_TRUE(PropAsBool(a.image->GetProperty(PR_PLAYING)));
  a.s.Tick(25);
  a.s.Tick(15);
  ASSERT_EQ(a.s.list.queue().entries().size(), 2u);
  EXPECT_EQ(a.s.list.queue().entries()[0].handler, "@ended");
  EXPECT_EQ(a.s.list.queue().entries()[0].event_id, PR_ONPLAYEND);
  EXPECT_FALSE(PropAsBool(a.image->GetProperty(PR_PLAYING)));

  a.image->SetProperty(PR_VISIBLE, false);
  a.s.Tick(15);
  EXPECT_EQ(a.s.list.queue().entries().size(), 2u);
}

TEST(ImageControls, RepeatWrapsAndAutoScrapDeletes) {
  Animation repeat({20, 20});
  repeat.image->SetProperty(PR_REPEAT, true);
  repeat.s.Tick(25);
  repeat.s.Tick(25);
  EXPECT_EQ(repeat.image->index(), 0);
  EXPECT_TRUE(PropAsBool(repeat.image->GetProperty(PR_PLAYING)));

  Animation scrap({20, 20});
  scrap.image->SetProperty(PR_AUTOSCRAP, true);
  scrap.s.Tick(25);
  scrap.s.Tick(25);
  EXPECT_EQ(scrap.s.list.FindByName("anim"), nullptr);
}

TEST(ImageControls, EndOfCycleDelayLengthensTheLastFrame) {
  Animation a({20, 20, 20});
  TNovuParser delay;
  delay.LoadFromText("40");
  a.image->SetDelayExpression(delay);
  a.s.Tick(25);  // frame 1 with 20 - 25 + 20 = 15
  a.s.Tick(20);  // frame 2: -5 + 20 + 40
  EXPECT_EQ(a.image->index(), 2);
  EXPECT_EQ(a.image->remaining(), 55);
}

TEST(ImageControls, SavedSceneComesBackWithItsFrameAndClock) {
  Animation a({20, 30, 40});
  a.image->SetBounds(5, 6, 0, 0);
  a.image->SetProperty(PR_ALPHA, 300);
  a.image->SetProperty(PR_ONPLAYEND, std::string("@end"));
  a.s.Tick(25);
  auto& box = a.s.Add<TNovuBox>(LT_BOX, "box");
  box.SetProperty(PR_BORDERWIDTH, 3);
  box.SetProperty(PR_ALPHA, 77);
  auto& tile = a.s.Add<TNovuTile>(LT_TILE, "tile");
  tile.SetProperty(PR_SOURCE, std::string("a.fip"));
  tile.SetProperty(PR_DISTANCEX, 9);
  tile.SetProperty(PR_SCROLLY, -4);
  BinaryWriter out;
  a.s.list.SaveToStream(out);
  const std::vector<uint8_t> bytes = out.Take();

  ImageScene again;
  again.store = a.s.store;
  BinaryReader in(bytes);
  again.list.LoadFromStream(in, kObjectLayoutVersion);

  auto* image = dynamic_cast<TNovuImages*>(again.list.FindControl("anim"));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->index(), 1);
  EXPECT_EQ(image->remaining(), a.image->remaining());
  EXPECT_EQ(PropAsStr(image->GetProperty(PR_SOURCE)), "a.fip");
  EXPECT_EQ(PropAsInt(image->GetProperty(PR_ALPHA)), 300);
  EXPECT_EQ(PropAsStr(image->GetProperty(PR_ONPLAYEND)), "@end");
  EXPECT_EQ(image->left(), 5);
  EXPECT_EQ(image->width(), 2);
  auto* box_again = dynamic_cast<TNovuBox*>(again.list.FindControl("box"));
  ASSERT_NE(box_again, nullptr);
  EXPECT_EQ(PropAsInt(box_again->GetProperty(PR_BORDERWIDTH)), 3);
  EXPECT_EQ(box_again->alpha(), 77);
  auto* tile_again = dynamic_cast<TNovuTile*>(again.list.FindControl("tile"));
  ASSERT_NE(tile_again, nullptr);
  EXPECT_EQ(PropAsInt(tile_again->GetProperty(PR_DISTANCEX)), 9);
  EXPECT_EQ(PropAsInt(tile_again->GetProperty(PR_SCROLLY)), -4);
  EXPECT_EQ(PropAsInt(tile_again->GetProperty(PR_COUNT)), 3);
  // The picture and the tile share the one cached file.
  EXPECT_EQ(again.cache.size(), 1u);
}

// The control part of a record, then the picture tail written field by field.
TEST(ImageControls, ZoomFromASaveGetsTheSetterClamp) {
  ImageScene s;
  auto& plain = s.Add<TNovuBox>(LT_BOX, "template");
  BinaryWriter out;
  Serializer control_part(out);
  TNovuControl::Table().Sync(plain, control_part);
  out.I32(128);  // alpha
  out.I32(-7);   // zoom x
  out.I32(0);    // angle
  out.U8(0);
  out.U8(0);
  out.U8(0);
  out.I32(-300);  // zoom y
  out.I32(0);     // remaining
  out.I32(-1);    // index
  out.I32(0);     // brightness
  out.U8(0);      // paused
  TNovuParser().SaveToStream(out);
  out.U8(0);  // repeat
  out.U8(0);  // auto-scrap
  out.String("");
  out.String("");
  out.String("");
  const std::vector<uint8_t> bytes = out.Take();

  auto& image = s.Add<TNovuImages>(LT_IMAGES, "img");
  BinaryReader in(bytes);
  image.LoadFromStream(in, ObjectLoadContext{kObjectLayoutVersion});
  EXPECT_EQ(in.remaining(), 0u);
  EXPECT_EQ(PropAsInt(image.GetProperty(PR_ZOOMX)), 1);
  EXPECT_EQ(PropAsInt(image.GetProperty(PR_ZOOMY)), 1);
  EXPECT_EQ(image.alpha(), 128);
}

}  // namespace
}  // namespace novu
