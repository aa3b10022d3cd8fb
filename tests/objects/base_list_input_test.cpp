#include <gtest/gtest.h>

#include "base_list_fixtures.h"

namespace novu::testing {
namespace {

using Handlers = std::vector<std::string>;

TEST(BaseListKeys, HeldKeyRepeatsAfter300MsThenEvery50Ms) {
  BaseScene s;
  Panel& field = s.Add("field", {0, 0, 100, 100});
  field.SetHandleKey(true);
  field.SetEventLabel(PR_ONKEYDOWN, "down");
  field.SetEventLabel(PR_ONKEYREPEAT, "repeat");
  field.SetEventLabel(PR_ONKEYUP, "up");
  s.Frame(10);  // the focus is chosen
  ASSERT_EQ(s.list.FocusedControl(), &field);
  s.events().clear();

  s.list.input().KeyDown(65);
  std::vector<int> repeat_frames;
  for (int frame = 1; frame <= 45; ++frame) {
    if (frame == 45) s.list.input().KeyUp(65);
    s.Frame(10);
    for (const auto& e : s.events()) {
      if (frame == 1) {
        EXPECT_EQ(e.arguments, std::vector<std::string>{"65"}) << e.handler;
      }
      if (e.handler == "repeat") repeat_frames.push_back(frame);
      if (e.handler == "down") {
        EXPECT_EQ(frame, 1);
      }
      if (e.handler == "up") {
        EXPECT_EQ(frame, 45);
      }
    }
    s.events().clear();
  }
  // Frames are 10 ms apart: the press frame, 300 ms later, then every 50 ms.
  EXPECT_EQ(repeat_frames, (std::vector<int>{1, 31, 36, 41}));
  EXPECT_FALSE(s.list.input().keys().IsHeld(65));
}

TEST(BaseListKeys, KeyClickLastsExactlyOneFrame) {
  BaseScene s;
  s.list.input().KeyDown(13);
  EXPECT_FALSE(s.list.input().keys().KeyClick(13));  // not before the frame that reads it
  s.Frame();
  EXPECT_TRUE(s.list.input().keys().KeyClick(13));
  EXPECT_TRUE(s.list.input().keys().KeyRepeat(13));
  s.Frame();
  EXPECT_FALSE(s.list.input().keys().KeyClick(13));
  EXPECT_FALSE(s.list.input().keys().KeyRepeat(13));
  EXPECT_TRUE(s.list.input().keys().IsHeld(13));
}

TEST(BaseListKeys, KeysOutsideTheTableAndReleasedInputAreIgnored) {
  BaseScene s;
  s.list.input().KeyDown(-1);
  s.list.input().KeyDown(256);
  s.list.input().KeyDown(32);
  s.list.input().ReleaseHeldInput();
  s.Frame();
  EXPECT_FALSE(s.list.input().keys().IsHeld(32));
  EXPECT_FALSE(s.list.input().keys().KeyClick(32));
  EXPECT_FALSE(s.list.input().keys().KeyClick(256));
}

struct ClickCase {
  const char* name;
  bool left;
  uint8_t upper_mode;
  const char* expected;  // the handler posted
};

class BaseListClicks : public ::testing::TestWithParam<ClickCase> {};

TEST_P(BaseListClicks, PressGoesToTopmostControlTakingThatButton) {
  const ClickCase& c = GetParam();
  BaseScene s;
  Panel& lower = s.Add("lower", {0, 0, 200, 200});
  Panel& upper = s.Add("upper", {50, 50, 150, 150});
  upper.SetPriority(1);
  upper.SetMouseMode(c.upper_mode);
  for (Panel* p : {&lower, &upper}) {
    p->SetEventLabel(PR_ONLBTNDOWN, p->name() + ".ldown");
    p->SetEventLabel(PR_ONRBTNDOWN, p->name() + ".rdown");
  }
  s.list.input().MouseMove(60, 70);
  s.list.input().MouseDown(c.left);
  s.Frame();
  std::vector<std::string> downs;
  for (const auto& e : s.events()) {
    if (e.event_id == PR_ONLBTNDOWN || e.event_id == PR_ONRBTNDOWN) {
      downs.push_back(e.handler);
      const int32_t x = e.sender == &upper ? 10 : 60;
      const int32_t y = e.sender == &upper ? 20 : 70;
      EXPECT_EQ(e.arguments, (std::vector<std::string>{std::to_string(x), std::to_string(y)}));
    }
  }
  EXPECT_EQ(downs, Handlers{c.expected});
}

INSTANTIATE_TEST_SUITE_P(
    Modes, BaseListClicks,
    ::testing::Values(ClickCase{"left_on_any", true, IM_NONE, "upper.ldown"},
                      ClickCase{"left_passes_lclick", true, IM_LCLICK, "lower.ldown"},
                      ClickCase{"left_on_rclick", true, IM_RCLICK, "upper.ldown"},
                      ClickCase{"left_passes_all", true, IM_ALL, "lower.ldown"},
                      ClickCase{"right_passes_rclick", false, IM_RCLICK, "lower.rdown"},
                      ClickCase{"right_on_lclick", false, IM_LCLICK, "upper.rdown"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BaseListClicks, ReleaseOfACapturedPressGoesToThePressedControl) {
  BaseScene s;
  Panel& button = s.Add("button", {0, 0, 100, 100});
  button.SetEventLabel(PR_ONLBTNDOWN, "down");
  button.SetEventLabel(PR_ONLBTNUP, "up");
  s.list.input().MouseMove(10, 10);
  s.list.input().MouseDown(true);
  s.Frame();
  EXPECT_EQ(s.TakeHandlers(), Handlers{"down"});
  s.list.input().MouseMove(300, 300);  // dragged off while held
  s.Frame();
  EXPECT_EQ(s.TakeHandlers(), Handlers{});
  s.list.input().MouseUp();
  s.Frame();
  EXPECT_EQ(s.TakeHandlers(), Handlers{"up"});
  EXPECT_EQ(s.list.base(0).input().press_taken, 0);
}

TEST(BaseListRightClickClose, OpenMenuClosesAndNoRightButtonEventIsPosted) {
  for (const bool accepts : {true, false}) {
    BaseScene s;
    Panel& below = s.Add("below", {0, 0, 400, 400});
    Panel& menu = s.Add("menu", {0, 0, 100, 100});
    menu.SetPriority(1);
    menu.right_click_scrap = true;
    menu.closes = accepts;
    for (Panel* p : {&below, &menu}) p->SetEventLabel(PR_ONRBTNDOWN, p->name() + ".rdown");
    s.list.input().AddRightClickClose(menu, menu);
    s.list.input().MouseMove(10, 10);
    s.list.input().MouseDown(false);
    s.Frame();
    std::vector<std::string> downs;
    for (const auto& e : s.events()) {
      if (e.event_id == PR_ONRBTNDOWN) downs.push_back(e.handler);
    }
    if (accepts) {
      EXPECT_FALSE(menu.IsVisible());
      EXPECT_EQ(downs, Handlers{});
    } else {
      EXPECT_TRUE(menu.IsVisible());
      EXPECT_EQ(downs, Handlers{"menu.rdown"});
    }
  }
}

TEST(BaseListRightClickClose, AFreedMenuLeavesTheList) {
  BaseScene s;
  Panel& menu = s.Add("menu", {0, 0, 100, 100});
  menu.right_click_scrap = true;
  s.list.input().AddRightClickClose(menu, menu);
  s.list.ScheduleDeletion(menu);
  s.list.Update();
  s.list.input().MouseDown(false);
  s.Frame();  // must not reach the freed menu
  EXPECT_TRUE(s.list.base(0).input().right_click);
}

TEST(BaseListMouse, HoverPostsInMoveAndOutOnce) {
  BaseScene s;
  Panel& a = s.Add("a", {0, 0, 100, 100});
  a.SetEventLabel(PR_ONMOUSEIN, "in");
  a.SetEventLabel(PR_ONMOUSEMOVE, "move");
  a.SetEventLabel(PR_ONMOUSEOUT, "out");
  s.list.input().MouseMove(10, 10);
  s.Frame();
  EXPECT_EQ(s.TakeHandlers(), (Handlers{"in", "move"}));
  s.Frame();  // still, nothing new
  EXPECT_EQ(s.TakeHandlers(), Handlers{});
  s.list.input().MouseMove(500, 10);
  s.Frame();
  EXPECT_EQ(s.TakeHandlers(), Handlers{"out"});
}

TEST(BaseListMouse, ControlFreedUnderTheMouseIsForgotten) {
  BaseScene s;
  Panel& a = s.Add("a", {0, 0, 100, 100});
  a.SetEventLabel(PR_ONLBTNDOWN, "down");
  s.list.input().MouseMove(10, 10);
  s.list.input().MouseDown(true);
  s.Frame();  // `a` holds the press
  s.list.ScheduleDeletion(a);
  s.list.Update();
  EXPECT_EQ(s.list.base(0).mouse().previous, nullptr);
  s.list.input().MouseUp();
  s.Frame();  // must not call into the freed control
  s.events().clear();
  Panel& b = s.Add("b", {0, 0, 100, 100});
  b.SetEventLabel(PR_ONMOUSEIN, "b.in");
  s.Frame();
  EXPECT_EQ(s.TakeHandlers(), Handlers{"b.in"});
}

TEST(BaseListMouse, ControlFreeingItselfOnAPressIsNotTouchedAgain) {
  BaseScene s;
  Panel& doomed = s.Add("doomed", {0, 0, 100, 100});
  doomed.SetHandleKey(true);
  doomed.SetEventLabel(PR_ONMOUSEIN, "in");
  doomed.on_left_down = [&] {
    TNovuObject& self = doomed;
    std::unique_ptr<TNovuObject> gone = self.holder()->RemoveChild(self);
  };
  s.Frame();  // the focus goes to `doomed` first
  s.events().clear();
  s.list.input().MouseMove(10, 10);
  s.list.input().MouseDown(true);
  s.Frame();
  EXPECT_EQ(s.list.FindControl("doomed"), nullptr);
  EXPECT_EQ(s.list.FocusedControl(), nullptr);
  EXPECT_EQ(s.list.base(0).mouse().previous, nullptr);
  EXPECT_EQ(s.TakeHandlers(), Handlers{});  // no mouse-in after it went
}

TEST(BaseListFocus, FocusMovesToTheNewBasesTopmostKeyControl) {
  BaseScene s;
  Panel& first = s.Add("first", {0, 0, 10, 10});
  first.SetHandleKey(true);
  first.SetEventLabel(PR_ONFOCUSOUT, "first.out");
  Panel& second = s.Add("second", {0, 0, 10, 10}, &s.list.base(1));
  second.SetHandleKey(true);
  second.SetEventLabel(PR_ONFOCUSIN, "second.in");
  s.Frame();
  EXPECT_EQ(s.list.FocusedControl(), &first);
  s.events().clear();
  s.list.SetActiveBase(1);
  s.Frame();
  EXPECT_EQ(s.list.FocusedControl(), &second);
  // The old focus was dropped by the flip itself, so only the new one hears about it.
  EXPECT_EQ(s.TakeHandlers(), Handlers{"second.in"});
}

}  // namespace
}  // namespace novu::testing
