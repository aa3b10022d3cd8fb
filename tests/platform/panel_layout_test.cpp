#include <gtest/gtest.h>

#include "platform/panel_layout.h"

namespace novu::platform {
namespace {

::testing::AssertionResult SameRect(const PixelRect& actual, const PixelRect& expected) {
  if (actual.left == expected.left && actual.top == expected.top &&
      actual.right == expected.right && actual.bottom == expected.bottom) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "got {" << actual.left << "," << actual.top << "," << actual.right << ","
         << actual.bottom << "} expected {" << expected.left << "," << expected.top << ","
         << expected.right << "," << expected.bottom << "}";
}

struct LayoutCase {
  const char* name;
  ViewGeometry geometry;
  PixelRect dock;
  PixelRect frame;
};

TEST(PanelLayout, PlacesDockAndFrame) {
  const LayoutCase cases[] = {
      {"window sized to the panel",
       {640, 502, 1, true, true, 640, 480},
       {0, 0, 640, 22},
       {0, 22, 640, 502}},
      {"room for exactly twice the panel",
       {1280, 982, 1, true, true, 640, 480},
       {0, 0, 1280, 22},
       {0, 22, 1280, 982}},
      {"wider than twice: factor 2, centred sideways",
       {1400, 982, 1, true, true, 640, 480},
       {0, 0, 1400, 22},
       {60, 22, 1340, 982}},
      {"between factors: filled to the width, aspect kept",
       {900, 700, 1, true, true, 640, 480},
       {0, 0, 900, 22},
       {0, 23, 900, 698}},
      {"between factors, integer scaling: factor 1, letterboxed",
       {900, 700, 1, true, true, 640, 480, true},
       {0, 0, 900, 22},
       {130, 121, 770, 601}},
      {"1200x700: filled to the height",
       {1200, 722, 1, true, true, 640, 480},
       {0, 0, 1200, 22},
       {133, 22, 1066, 722}},
      {"1280x800: filled to the height",
       {1280, 822, 1, true, true, 640, 480},
       {0, 0, 1280, 22},
       {107, 22, 1173, 822}},
      {"1280x800, integer scaling: factor 1",
       {1280, 822, 1, true, true, 640, 480, true},
       {0, 0, 1280, 22},
       {320, 182, 960, 662}},
      {"narrower than the panel: shrunk to the width",
       {320, 262, 1, true, true, 640, 480},
       {0, 0, 320, 22},
       {0, 22, 320, 262}},
      {"lower than the panel: shrunk to the height",
       {640, 262, 1, true, true, 640, 480},
       {0, 0, 640, 22},
       {160, 22, 480, 262}},
      {"HiDPI: the dock doubles, the frame takes factor 2",
       {1280, 1004, 2, true, true, 640, 480},
       {0, 0, 1280, 44},
       {0, 44, 1280, 1004}},
      {"full screen: no strip, the hidden toolbar draws nothing",
       {1920, 1080, 1, false, false, 640, 480},
       {},
       {240, 0, 1680, 1080}},
      {"full screen with the toolbar shown over the frame",
       {1920, 1080, 1, false, true, 640, 480},
       {0, 0, 1920, 22},
       {240, 0, 1680, 1080}},
      {"full screen, integer scaling: factor 2",
       {1920, 1080, 1, false, false, 640, 480, true},
       {},
       {320, 60, 1600, 1020}},
      {"windowed with the toolbar hidden keeps its strip",
       {640, 502, 1, true, false, 640, 480},
       {},
       {0, 22, 640, 502}},
      {"window no higher than the dock: no frame",
       {640, 22, 1, true, true, 640, 480},
       {0, 0, 640, 22},
       {}},
      {"no panel yet", {640, 502, 1, true, true, 0, 0}, {0, 0, 640, 22}, {}},
      {"a sliver keeps at least one pixel",
       {1000, 23, 1, true, true, 10, 1000},
       {0, 0, 1000, 22},
       {499, 22, 500, 23}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    ViewLayout layout = ComputeViewLayout(c.geometry);
    EXPECT_TRUE(SameRect(layout.dock, c.dock));
    EXPECT_TRUE(SameRect(layout.frame, c.frame));
  }
}

struct MapCase {
  int x, y;
  int panel_x, panel_y;
  bool on_frame;
};

TEST(PanelLayout, MapsPointerIntoPanelUnderScaling) {
  // Panel 320x240 shown at factor 2 (640x480) from (60, 22) in a 760x502 drawable.
  ViewLayout layout = ComputeViewLayout({760, 502, 1, true, true, 320, 240});
  ASSERT_TRUE(SameRect(layout.frame, {60, 22, 700, 502}));
  const MapCase cases[] = {
      {60, 22, 0, 0, true},  // top-left pixel
      {61, 23, 0, 0, true},  // same panel pixel, second device pixel
      {62, 24, 1, 1, true},          {699, 501, 319, 239, true},  // bottom-right pixel
      {700, 501, 319, 239, false},  // just right of the frame: clamped
      {10, 100, 0, 39, false},      // left letterbox bar
      {300, 5, 120, 0, false},      // over the dock: row 0
      {-50, -50, 0, 0, false},      // outside the window (a drag)
      {5000, 5000, 319, 239, false},
  };
  for (const MapCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    PanelPoint p = MapToPanel(layout, 320, 240, c.x, c.y);
    EXPECT_EQ(p.x, c.panel_x);
    EXPECT_EQ(p.y, c.panel_y);
    EXPECT_EQ(p.on_frame, c.on_frame);
  }
}

TEST(PanelLayout, MapsPointerIntoShrunkPanel) {
  // Panel 640x480 shrunk to 320x240: every device pixel covers two panel pixels.
  ViewLayout layout = ComputeViewLayout({320, 262, 1, true, true, 640, 480});
  EXPECT_EQ(MapToPanel(layout, 640, 480, 0, 22).x, 0);
  EXPECT_EQ(MapToPanel(layout, 640, 480, 1, 23).x, 2);
  EXPECT_EQ(MapToPanel(layout, 640, 480, 1, 23).y, 2);
  EXPECT_EQ(MapToPanel(layout, 640, 480, 319, 261).x, 638);
  EXPECT_EQ(MapToPanel(layout, 640, 480, 319, 261).y, 478);
}

TEST(PanelLayout, WithoutFrameMapsNothing) {
  ViewLayout layout = ComputeViewLayout({640, 22, 1, true, true, 640, 480});
  PanelPoint p = MapToPanel(layout, 640, 480, 10, 10);
  EXPECT_FALSE(p.on_frame);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
}

TEST(PanelLayout, WindowPointsToDrawablePixels) {
  EXPECT_EQ(WindowToDrawable(100, 640, 640), 100);
  EXPECT_EQ(WindowToDrawable(100, 1280, 640), 200);
  EXPECT_EQ(WindowToDrawable(-3, 1280, 640), -6);
  EXPECT_EQ(WindowToDrawable(7, 960, 640), 10);  // 1.5x rounds down
  EXPECT_EQ(WindowToDrawable(7, 960, 0), 7);     // a window of no size leaves it
}

TEST(PanelLayout, CentresInWorkAreaRoundingTowardZero) {
  struct Case {
    PixelRect work;
    int width, height;
    PixelPoint corner;
  };
  const Case cases[] = {
      {{0, 0, 1920, 1040}, 800, 622, {560, 209}},
      {{0, 0, 1921, 1041}, 800, 622, {560, 209}},     // odd remainder dropped
      {{100, 30, 1380, 1024}, 640, 502, {420, 276}},  // work area not at the origin
      {{0, 0, 800, 600}, 1025, 603, {-112, -1}},      // larger than the screen: toward zero
  };
  for (const Case& c : cases) {
    PixelPoint corner = CentreInWorkArea(c.work, c.width, c.height);
    EXPECT_EQ(corner.x, c.corner.x);
    EXPECT_EQ(corner.y, c.corner.y);
  }
}

}  // namespace
}  // namespace novu::platform
