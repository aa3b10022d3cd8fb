#include <gtest/gtest.h>

#include <limits>

#include "object_fixtures.h"
#include "objects/novu_control.h"
#include "render/custom_dibx.h"

namespace novu {
namespace {

using render::Rect;
using testing::CountdownMotion;
using testing::Scene;
using testing::TestPicture;

TEST(ControlGeometry, ScreenPositionFromAnchorZoomFlipAndOffsets) {
  struct Case {
    const char* what;
    int32_t left, anchor, zoom, width, plus;
    bool pos_zoomed, flip;
    int32_t expected;
  };
  const Case cases[] = {
      {"plain", 100, 10, 256, 50, 0, false, false, 90},
      {"zoomed position", 100, 10, 512, 50, 0, true, false, 180},
      {"zoomed anchor only", 100, 10, 512, 50, 0, false, false, 80},
      {"anchor scaled down, truncated", 100, 3, 384, 50, 0, false, false, 96},
      {"flipped: anchor from the right edge", 100, 10, 256, 50, 0, false, true, 61},
      {"constant offset last", 100, 10, 256, 50, 7, false, false, 97},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scene scene;
    TestPicture& p = scene.Picture(scene.base(), c.left, 0, c.width, 10);
    p.zoom_x = c.zoom;
    p.flip_h = c.flip;
    p.SetOffsetX(c.anchor);
    p.SetPlusX(c.plus);
    p.SetPosZoomed(c.pos_zoomed);
    EXPECT_EQ(p.ScreenX(), c.expected);
    EXPECT_EQ(p.GetBoundsRect(), (Rect{c.expected, 0, c.expected + c.width, 10}));
  }
}

TEST(ControlGeometry, ChildrenArePlacedFromTheirParentMinusItsScroll) {
  Scene scene;
  TestPicture& parent = scene.Picture(scene.base(), 50, 20, 200, 100);
  TestPicture& child = scene.Picture(parent, 10, 5, 20, 20);
  EXPECT_EQ(child.ScreenX(), 60);
  EXPECT_EQ(child.ScreenY(), 25);
  parent.scroll_x = 4;
  EXPECT_EQ(child.ScreenX(), 56);
  EXPECT_EQ(child.ClientToScreen({1, 2}), (Point{57, 27}));
  EXPECT_EQ(child.ScreenToClient({57, 27}), (Point{1, 2}));
}

TEST(ControlGeometry, AMotionPlacesTheControlUntilThePositionIsSetAgain) {
  Scene scene;
  TestPicture& p = scene.Picture(scene.base(), 100, 100, 10, 10);
  p.SetMotion(std::make_unique<CountdownMotion>(100));
  p.SetMotionDisplacement(30, 40);
  EXPECT_EQ(p.ScreenX(), 30);
  EXPECT_EQ(p.ScreenY(), 40);
  p.SetLeft(5);
  EXPECT_EQ(p.ScreenX(), 0);  // displacement cleared, the motion still drives the position
  p.SetMotion(nullptr);
  EXPECT_EQ(p.ScreenX(), 5);
  EXPECT_EQ(p.ScreenY(), 100);
}

TEST(ControlGeometry, ZoomedPositionsOnAZoomedPictureCountItsPicturePixels) {
  Scene scene;
  TestPicture& parent = scene.Picture(scene.base(), 0, 0, 200, 100);
  parent.picture = Point{100, 50};  // shown at twice its size
  parent.zoom_x = parent.zoom_y = 512;
  TestPicture& child = scene.Picture(parent, 30, 0, 10, 10);
  child.zoom_x = child.zoom_y = 512;
  child.SetPosZoomed(true);
  EXPECT_EQ(child.ScreenX(), 60);

  // Without a picture size to measure against, the plain zoom rule applies (no division by 0).
  parent.picture = Point{0, 0};
  EXPECT_EQ(child.ScreenX(), 60);
  parent.picture = Point{100, 50};
  parent.SetWidth(0);
  EXPECT_EQ(child.ScreenX(), 60);
  // A different zoom also falls back to the plain rule.
  parent.SetWidth(200);
  parent.zoom_x = 256;
  EXPECT_EQ(child.ScreenX(), 60);
}

TEST(ControlGeometry, ExtremeCoordinatesSaturateInsteadOfWrapping) {
  Scene scene;
  TestPicture& p = scene.Picture(scene.base(), std::numeric_limits<int32_t>::max(), 0,
                                 std::numeric_limits<int32_t>::max(), 10);
  p.SetPlusX(std::numeric_limits<int32_t>::max());
  EXPECT_EQ(p.ScreenX(), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(p.GetBoundsRect().right, std::numeric_limits<int32_t>::max());
  p.SetOffsetX(std::numeric_limits<int32_t>::min());
  p.zoom_x = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(p.ScreenX(), std::numeric_limits<int32_t>::max());
}

TEST(ControlHitTest, TheDeepestTopmostAcceptedControlWins) {
  Scene scene;
  const MouseModeSet all{IM_NONE, IM_CLICK, IM_LCLICK, IM_RCLICK};
  const MouseModeSet left_click{IM_NONE, IM_RCLICK};
  TestPicture& parent = scene.Picture(scene.base(), 0, 0, 100, 100);
  TestPicture& lower = scene.Picture(parent, 10, 10, 50, 50);
  TestPicture& upper = scene.Picture(parent, 30, 30, 50, 50);
  upper.SetPriority(1);
  scene.base().SetMouseMode(IM_ALL);

  EXPECT_EQ(scene.base().HitTest({40, 40}, all), &upper);
  EXPECT_EQ(scene.base().HitTest({15, 15}, all), &lower);
  EXPECT_EQ(scene.base().HitTest({90, 5}, all), &parent);
  EXPECT_EQ(scene.base().HitTest({300, 300}, all), nullptr);
  EXPECT_EQ(scene.base().HitTest({-1, 5}, all), nullptr);

  // A child that ignores the mouse leaves the point to its parent.
  upper.SetMouseMode(IM_ALL);
  EXPECT_EQ(scene.base().HitTest({40, 40}, all), &lower);
  EXPECT_EQ(scene.base().HitTest({70, 70}, all), &parent);
  // A left press skips a control that ignores left clicks.
  upper.SetMouseMode(IM_LCLICK);
  EXPECT_EQ(scene.base().HitTest({40, 40}, left_click), &lower);
  // A child is hit through a parent whose own mode is not accepted.
  parent.SetMouseMode(IM_ALL);
  EXPECT_EQ(scene.base().HitTest({15, 15}, all), &lower);
  EXPECT_EQ(scene.base().HitTest({90, 5}, all), nullptr);
  // Hidden controls and everything in them are skipped.
  parent.SetVisible(false);
  EXPECT_EQ(scene.base().HitTest({15, 15}, all), nullptr);
}

TEST(ControlInvalidation, ReportsTheVisiblePartToTheBase) {
  Scene scene;
  TestPicture& parent = scene.Picture(scene.base(), 0, 0, 100, 100);
  TestPicture& child = scene.Picture(parent, 90, 90, 20, 20);
  auto& dirty = scene.invalidated;

  dirty.clear();
  child.Invalidate();
  EXPECT_EQ(dirty, std::vector<Rect>{(Rect{90, 90, 110, 110})});

  dirty.clear();
  child.SetClip(0, 0, 5, 5);  // before and after the change
  EXPECT_EQ(dirty, (std::vector<Rect>{Rect{90, 90, 110, 110}, Rect{90, 90, 95, 95}}));

  dirty.clear();
  child.SetLeft(200);  // the second report is outside the parent and dropped
  EXPECT_EQ(dirty, std::vector<Rect>{(Rect{90, 90, 95, 95})});

  dirty.clear();
  child.SetVisible(false);
  child.Invalidate();
  EXPECT_TRUE(dirty.empty());

  // A control off every base reports nothing.
  TestPicture& loose = scene.list.Add<TestPicture>();
  loose.SetBounds(0, 0, 10, 10);
  loose.Invalidate();
  EXPECT_TRUE(dirty.empty());
}

TEST(ControlPaint, ChildrenPaintClippedToTheirAreaAndTheRepaintedRectangle) {
  Scene scene;
  TestPicture& parent = scene.Picture(scene.base(), 0, 0, 100, 100);
  TestPicture& inside = scene.Picture(parent, 10, 10, 20, 20);
  TestPicture& overhang = scene.Picture(parent, 90, 0, 50, 50);
  TestPicture& clipped = scene.Picture(parent, 40, 40, 40, 40);
  clipped.SetClip(5, 5, 10, 10);
  TestPicture& hidden = scene.Picture(parent, 0, 0, 10, 10);
  hidden.SetVisible(false);
  TestPicture& outside = scene.Picture(parent, 500, 500, 10, 10);

  render::TCustomDIBX surface;
  scene.list.SetScreenSurface(&surface);
  EXPECT_EQ(inside.GetSurface(), &surface);  // every control draws into its base's surface
  EXPECT_EQ(scene.list.Add<TestPicture>().GetSurface(), nullptr);
  surface.SetClipRect(Rect{0, 0, 95, 60});  // the rectangle being repainted
  scene.base().Paint(surface);

  using Clip = std::optional<Rect>;
  EXPECT_EQ(parent.clips_seen, std::vector<Clip>{(Rect{0, 0, 95, 60})});
  EXPECT_EQ(inside.clips_seen, std::vector<Clip>{(Rect{10, 10, 30, 30})});
  EXPECT_EQ(overhang.clips_seen, std::vector<Clip>{(Rect{90, 0, 95, 50})});
  EXPECT_EQ(clipped.clips_seen, std::vector<Clip>{(Rect{45, 45, 55, 55})});
  EXPECT_TRUE(hidden.clips_seen.empty());
  EXPECT_TRUE(outside.clips_seen.empty());
  // The caller's clip is back in place afterwards.
  EXPECT_TRUE(surface.HasClip());
  EXPECT_EQ(surface.ClipRect(), (Rect{0, 0, 95, 60}));

  // Without a clip of the caller, the surface is left without one.
  render::TCustomDIBX unclipped;
  scene.base().Paint(unclipped);
  EXPECT_FALSE(unclipped.HasClip());
  EXPECT_EQ(parent.clips_seen.back(), (Rect{0, 0, 100, 100}));
}

}  // namespace
}  // namespace novu
