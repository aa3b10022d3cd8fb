#include "shell/screen_variable_host.h"

#include <gtest/gtest.h>

#include "core/process_state.h"
#include "expr/param_collection.h"
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
    list.input().MouseDown(c.left_button);
    list.active_base().InputState()->press_taken = c.taken;
    EXPECT_EQ(host.GetBool(V::kLPush), c.lpush) << c.name;
    EXPECT_EQ(host.GetBool(V::kRPush), c.rpush) << c.name;
    list.input().MouseUp();
    EXPECT_FALSE(host.GetBool(V::kLPush) || host.GetBool(V::kRPush)) << c.name;
  }
}

TEST(ScreenVariables, ClicksAndMousePositionAreWritable) {
  TNovuBaseList list;
  list.SetSize(320, 240);
  ScreenVariableHost host(list, nullptr);
  list.input().MouseMove(10, 20);
  list.input().MouseDown(true);
  list.input().ProcessInput(15);
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

namespace novu {
namespace {

// Every system variable read and written through a table with the player's hosts: the ones
// kept by the table itself, the screen, the clock, the title, the fonts and the rest.
TEST(SystemVariableWalk, EveryVariableReadsAndWritesAsItsRowSays) {
  TNovuBaseList list;
  list.SetSize(320, 240);
  ProcessState state;
  state.game_clock = 45;
  state.frame_counter = 2;
  ScreenVariableHost host(list, nullptr);
  host.set_state(&state);
  host.set_title([] { return std::string("Walk"); });
  std::vector<bool> switched;
  host.set_full_screen([&](bool on) { switched.push_back(on); });
  host.set_font_lister([](bool fixed) {
    return fixed ? std::vector<std::string>{"Mono"} : std::vector<std::string>{"Mono", "Sans"};
  });
  TParamCollection table;
  table.SetHost(&host);
  table.SetDepth(2);

  struct Row {
    std::string_view name;
    std::string_view read;     // the scalar read, as text
    std::string_view written;  // text written into it
    std::string_view after;    // the scalar read afterwards
  };
  const Row rows[] = {
      {"@Result", "", "5", ""},  // no call frame: nothing to forward to
      {"@LClick", "FALSE", "1", "TRUE"},
      {"@RClick", "FALSE", "1", "TRUE"},
      {"@LPush", "FALSE", "1", "FALSE"},
      {"@RPush", "FALSE", "1", "FALSE"},
      {"@MouseX", "0", "12", "12"},
      {"@MouseY", "0", "7", "7"},
      {"@TextDelay", "50", "abc", "50"},
      {"@HistoryCount", "0", "3", "0"},
      {"@ParamCount", "0", "3", "0"},
      {"@ParamStr", "", "x", ""},
      {"@Sender", "", "x", ""},
      {"@ScrWidth", "320", "1", "320"},
      {"@ScrHeight", "240", "1", "240"},
      {"@TickCount", "45", "1", "45"},
      {"@UpdateCount", "2", "1", "2"},
      {"@Fonts", "Mono\r\nSans", "x", "Mono\r\nSans"},
      {"@FixedFonts", "Mono", "x", "Mono"},
      {"@FullScr", "FALSE", "1", "FALSE"},  // switched through the view, which shows it
      {"@Cursor", "", "arrow.cur", "arrow.cur"},
      {"@SelStr", "", "pick", "pick"},
      {"@SelIndex", "0", "-1", "-1"},
      {"@Pi", "3.14159265358979", "1", "3.14159265358979"},
      {"@CGDither", "FALSE", "1", "TRUE"},
      {"@1Hour", "0.0416666666666667", "1", "0.0416666666666667"},
      {"@1Min", "0.000694444444444444", "1", "0.000694444444444444"},
      {"@1Sec", "1.15740740740741E-5", "1", "1.15740740740741E-5"},
      {"@KeyPush", "FALSE", "1", "FALSE"},
      {"@KeyClick", "FALSE", "1", "FALSE"},
      {"@DisplayModeCount", "0", "1", "0"},
      {"@DisplayModeIndex", "-1", "1", "-1"},
      {"@Title", "Walk", "x", "Walk"},
      {"@SoundON", "TRUE", "0", "FALSE"},
      {"@ActiveCompo", "", "nobody", ""},
      {"@KeyRepeat", "FALSE", "1", "FALSE"},
      {"@HistoryMaxCount", "0", "5", "0"},
      {"@Temp", "", "5", ""},
      {"@MidiPort", "", "x", ""},
      {"@MidiPorts", "", "x", ""},
      {"@WheelDown", "FALSE", "1", "FALSE"},
      {"@WheelUp", "FALSE", "1", "FALSE"},
      {"@IsDebug", "FALSE", "TRUE", "FALSE"},
      {"@StackCount", "2", "5", "2"},
  };
  for (const Row& row : rows) {
    TCustomParam& v = table.Find(row.name)->value();
    EXPECT_EQ(v.GetAsStr(), row.read) << row.name;
    v.SetAsStr(row.written);
    EXPECT_EQ(v.GetAsStr(), row.after) << row.name;
  }
  EXPECT_EQ(switched, std::vector<bool>{true});
  // The date and time rows read the clock; they agree with one another.
  const int32_t year = table.Find("@Year")->value().GetAsInt();
  EXPECT_GE(year, 2024);
  for (std::string_view name :
       {"@Month", "@Day", "@Week", "@Hour", "@Min", "@Sec", "@PCTickCount"}) {
    EXPECT_GE(table.Find(name)->value().GetAsInt(), 0) << name;
  }
  EXPECT_LE(table.Find("@Week")->value().GetAsInt(), 7);
  EXPECT_EQ(table.Find("@KeyPush")->value().GetCount(), kKeyStateCount);
  table.SetHost(nullptr);
}

}  // namespace
}  // namespace novu
