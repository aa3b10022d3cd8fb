#include "shell/screen_manager.h"

#include <gtest/gtest.h>

#include <vector>

#include "objects/base_list.h"
#include "platform/headless_window.h"

namespace novu::platform {
bool operator==(const PixelRect& a, const PixelRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
}  // namespace novu::platform

namespace novu {
namespace {

using platform::DisplayModeInfo;
using platform::PixelRect;

// A window on a display with a given mode list that records what is presented.
class FakeDisplayWindow : public platform::HeadlessWindow {
 public:
  std::vector<DisplayModeInfo> DisplayModes() const override { return modes; }
  int DesktopBitsPerPixel() const override { return desktop_bits; }
  bool DesktopIs555() const override { return desktop_555; }
  bool UseDisplayMode(const DisplayModeInfo& mode) override {
    used.push_back(mode);
    return accepts_modes;
  }
  void Present(const platform::FrameView& frame, std::span<const PixelRect> dirty) override {
    presents.emplace_back(dirty.begin(), dirty.end());
    HeadlessWindow::Present(frame, dirty);
  }

  std::vector<DisplayModeInfo> modes;
  int desktop_bits = 32;
  bool desktop_555 = false;
  bool accepts_modes = true;
  std::vector<DisplayModeInfo> used;
  std::vector<std::vector<PixelRect>> presents;
};

TEST(ScreenManagerModes, ChoosesThePreferredSizeAtDesktopDepthWithTheLowestRefresh) {
  const std::vector<DisplayModeInfo> system = {
      {640, 480, 32, 60}, {800, 600, 16, 60}, {800, 600, 32, 75}, {800, 600, 32, 60}};
  const DisplayModeChoice choice = ChooseDisplayMode(system, 800, 600, 800, 600, 32);
  EXPECT_EQ(choice.modes, (std::vector<DisplayModeInfo>{
                              {800, 600, 16, 60}, {800, 600, 32, 75}, {800, 600, 32, 60}}));
  ASSERT_EQ(choice.index, 2);
  EXPECT_EQ(choice.modes[2], (DisplayModeInfo{800, 600, 32, 60}));
}

TEST(ScreenManagerModes, ChoiceRuleCases) {
  struct Case {
    const char* name;
    std::vector<DisplayModeInfo> system;
    int32_t index;
  };
  const Case cases[] = {
      {"nothing large enough", {{640, 480, 32, 60}, {1024, 500, 32, 60}}, -1},
      {"15 bits never qualify", {{800, 600, 15, 60}}, -1},
      {"first kept without the preferred size", {{1024, 768, 32, 60}, {1280, 960, 32, 60}}, 0},
      {"preferred size wins over an earlier other", {{1024, 768, 32, 60}, {800, 600, 16, 60}}, 1},
      {"desktop depth wins", {{800, 600, 16, 60}, {800, 600, 32, 85}}, 1},
      {"a higher refresh does not replace", {{800, 600, 32, 60}, {800, 600, 32, 75}}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseDisplayMode(c.system, 800, 600, 800, 600, 32).index, c.index) << c.name;
  }
}

TEST(ScreenManagerModes, SurfaceDepthFollowsTheDisplay) {
  EXPECT_EQ(SurfaceDepthFor(16, true), 15);
  EXPECT_EQ(SurfaceDepthFor(16, false), 16);
  EXPECT_EQ(SurfaceDepthFor(8, false), 15);
  EXPECT_EQ(SurfaceDepthFor(24, false), 32);
  EXPECT_EQ(SurfaceDepthFor(32, false), 32);
}

TEST(ScreenManagerBuild, WindowedAndFullScreenBuilds) {
  FakeDisplayWindow window;
  window.modes = {{800, 600, 16, 60}, {800, 600, 32, 60}};
  TScreenManager screens(window, 800, 600, 800, 600);
  EXPECT_EQ(screens.current_mode(), TScreenManager::kWindowed);
  EXPECT_EQ(screens.ModeCount(), 2);
  EXPECT_EQ(screens.mode_index(), 1);
  EXPECT_EQ(screens.SurfaceDepth(), 32);
  render::TDIBX* surface = &screens.Surface();
  EXPECT_EQ(surface->Width(), 800);

  window.SetFullScreen(true);
  screens.ReleaseDevice();
  screens.SetMode(0);  // the 16-bit mode
  EXPECT_TRUE(screens.full_screen());
  EXPECT_TRUE(screens.exact_mode());
  EXPECT_EQ(screens.SurfaceDepth(), 16);
  EXPECT_EQ(&screens.Surface(), surface);  // the list may keep pointing at it
  EXPECT_EQ(surface->BitCount(), 16);

  window.accepts_modes = false;  // the display refuses: desktop full screen, scaled
  EXPECT_TRUE(screens.SetModeIndex(1));
  EXPECT_EQ(screens.current_mode(), 1);
  EXPECT_TRUE(screens.full_screen());
  EXPECT_FALSE(screens.exact_mode());
  EXPECT_EQ(screens.SurfaceDepth(), 32);
  EXPECT_FALSE(screens.SetModeIndex(5));
  EXPECT_EQ(screens.mode_index(), 1);
}

TEST(ScreenManagerBuild, A555DesktopGivesFifteenBitSurfaces) {
  FakeDisplayWindow window;
  window.desktop_bits = 16;
  window.desktop_555 = true;
  TScreenManager screens(window, 640, 480, 640, 480);
  EXPECT_EQ(screens.SurfaceDepth(), 15);
  EXPECT_EQ(screens.mode_index(), -1);
}

struct PresentScene {
  PresentScene() : screens(window, 800, 600, 800, 600) {
    list.SetSize(800, 600);
    list.SetScreenSurface(&screens.Surface());
    list.ClearDirty();
  }
  FakeDisplayWindow window;
  TScreenManager screens;
  TNovuBaseList list;
};

TEST(ScreenManagerPresent, DirtyRectanglesOfTheShownBaseArePresented) {
  PresentScene s;
  s.list.base(0).InvalidateRect({10, 10, 20, 20});
  s.list.base(0).InvalidateRect({500, 500, 900, 700});  // clamped to the screen
  s.list.base(1).InvalidateRect({0, 0, 5, 5});          // not shown
  s.list.Paint();
  s.screens.Present(s.list);
  ASSERT_EQ(s.window.presents.size(), 1u);
  EXPECT_EQ(s.window.presents[0], (std::vector<PixelRect>{{10, 10, 20, 20}, {500, 500, 800, 600}}));
  EXPECT_EQ(s.list.base(0).dirty().Count(), 0);
  EXPECT_EQ(s.list.base(1).dirty().Count(), 0);
}

TEST(ScreenManagerPresent, TransitionRectangleAloneIsPresentedAndBothListsEndEmpty) {
  PresentScene s;
  s.list.base(0).InvalidateRect({10, 10, 20, 20});
  s.list.base(1).InvalidateRect({30, 30, 40, 40});
  s.list.SetTransitionRect({0, 0, 800, 600});
  s.screens.Present(s.list);
  ASSERT_EQ(s.window.presents.size(), 1u);
  EXPECT_EQ(s.window.presents[0], (std::vector<PixelRect>{{0, 0, 800, 600}}));
  EXPECT_EQ(s.list.base(0).dirty().Count(), 0);
  EXPECT_EQ(s.list.base(1).dirty().Count(), 0);
}

TEST(ScreenManagerPresent, NothingChangedPresentsNothing) {
  PresentScene s;
  s.screens.Present(s.list);
  EXPECT_TRUE(s.window.presents.empty());  // an empty list would mean the whole frame
}

TEST(ScreenManagerPresent, SixteenBitScreenReachesTheWindowInThirtyTwoBits) {
  FakeDisplayWindow window16;
  window16.desktop_bits = 16;
  TScreenManager screens(window16, 800, 600, 800, 600);
  TNovuBaseList list;
  list.SetSurfaceDepth(screens.SurfaceDepth());
  list.SetSize(800, 600);
  list.SetScreenSurface(&screens.Surface());
  list.base(0).SetColor(0x0000FF);  // red
  list.Paint();
  screens.Present(list);
  const platform::FrameView frame = window16.LastFrame();
  ASSERT_EQ(frame.width, 800);
  EXPECT_EQ(frame.pixels[0] & 0xF8F8F8u, 0xF80000u);
}

}  // namespace
}  // namespace novu
