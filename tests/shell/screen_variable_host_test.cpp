#include "shell/screen_variable_host.h"

#include <gtest/gtest.h>

#include "objects/base_list.h"
#include "platform/headless_window.h"
#include "shell/screen_manager.h"

namespace novu {
namespace {

using V = SystemVariable;

TEST(ScreenVariables, PushReadsTheHeldButtonUntilAnObjectTakesThePress) {
  struct Case {
    const char* name;
    bool left_button;
    uint8_t taken;
    bool lpush;
    bool rpush;
  };
  const Case cases[] = {
      {"left held", true, 0, true, false},
      {"left taken by an object", true, kPressLeftTaken, false, false},
      {"left release wanted by the list", true, kPressLeftByList, false, false},
      {"right held", false, 0, false, true},
      {"right taken", false, kPressRightTaken, false, false},
      {"right held, left bits only", false, kPressLeftTaken, false, true},
  };
  for (const Case& c : cases) {
    TNovuBaseList list;
    ScreenVariableHost host(list, nullptr);
    list.MouseDown(c.left_button);
    list.active_base().InputState()->press_taken = c.taken;
    EXPECT_EQ(host.GetBool(V::kLPush), c.lpush) << c.name;
    EXPECT_EQ(host.GetBool(V::kRPush), c.rpush) << c.name;
    list.MouseUp();
    EXPECT_FALSE(host.GetBool(V::kLPush) || host.GetBool(V::kRPush)) << c.name;
  }
}

TEST(ScreenVariables, ClicksAndMousePositionAreWritable) {
  TNovuBaseList list;
  list.SetSize(320, 240);
  ScreenVariableHost host(list, nullptr);
  list.MouseMove(10, 20);
  list.MouseDown(true);
  list.ProcessInput(15);
  EXPECT_TRUE(host.GetBool(V::kLClick));
  host.SetBool(V::kLClick, false);  // a script consumes the click
  EXPECT_FALSE(list.active_base().input().left_click);
  host.SetInt(V::kMouseX, 99);
  EXPECT_EQ(host.GetInt(V::kMouseX), 99);
  EXPECT_EQ(host.GetInt(V::kMouseY), 20);
  EXPECT_EQ(host.GetInt(V::kScrWidth), 320);
  EXPECT_EQ(host.GetInt(V::kDisplayModeCount), 0);
  EXPECT_EQ(host.GetInt(V::kDisplayModeIndex), -1);
}

class ModeWindow : public platform::HeadlessWindow {
 public:
  std::vector<platform::DisplayModeInfo> DisplayModes() const override {
    return {{640, 480, 16, 60}, {640, 480, 32, 60}};
  }
  bool UseDisplayMode(const platform::DisplayModeInfo&) override { return true; }
};

TEST(ScreenVariables, ChoosingAnotherModeInFullScreenRebuildsTheScreen) {
  ModeWindow window;
  TScreenManager screens(window, 640, 480, 640, 480);
  TNovuBaseList list;
  list.SetSize(640, 480);
  list.SetScreenSurface(&screens.Surface());
  ScreenVariableHost host(list, &screens);
  EXPECT_EQ(host.GetInt(V::kDisplayModeCount), 2);
  EXPECT_EQ(host.GetInt(V::kDisplayModeIndex), 1);

  host.SetInt(V::kDisplayModeIndex, 0);  // windowed: only the choice changes
  EXPECT_EQ(screens.current_mode(), TScreenManager::kWindowed);
  EXPECT_EQ(host.GetInt(V::kDisplayModeIndex), 0);

  window.SetFullScreen(true);
  screens.ReleaseDevice();
  screens.SetMode(0);
  list.ClearDirty();
  host.SetInt(V::kDisplayModeIndex, 1);
  EXPECT_EQ(screens.current_mode(), 1);
  EXPECT_EQ(list.surface_depth(), 32);
  EXPECT_EQ(&list.ScreenSurface(), &screens.Surface());
  EXPECT_GT(list.active_base().dirty().Count(), 0);  // drawn again in full
  host.SetInt(V::kDisplayModeIndex, 7);              // no such mode
  EXPECT_EQ(host.GetInt(V::kDisplayModeIndex), 1);
}

}  // namespace
}  // namespace novu
