#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/cont_sel_list.h"
#include "controls/novu_prev_menu.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "image_fixtures.h"
#include "platform/error.h"

namespace novu {
namespace {

using testing::ImageScene;
using testing::MakeFip;
using testing::Raw32;
using testing::Solid;

constexpr int32_t kYellow = 0x00ffff;

// Three 10 x 10 items side by side at (0, 0), (20, 0), (40, 0) of a menu at (100, 50): normal
// red, hover green, checked blue, disabled yellow; the pictures sit beside the menu file.
struct MenuScene {
  explicit MenuScene(std::vector<int32_t> groups = {0, 0, 0}, std::string click_overlay = {}) {
    s.list.SetProcessState(&s.state);
    s.store.files["menu\\n.fip"] = MakeFip({Solid(testing::kRed, 10, 10)});
    s.store.files["menu\\h.fip"] = MakeFip({Solid(testing::kGreen, 10, 10)});
    s.store.files["menu\\c.fip"] = MakeFip({Solid(testing::kBlue, 10, 10)});
    s.store.files["menu\\d.fip"] = MakeFip({Solid(kYellow, 10, 10)});
    s.store.files["menu\\ov.fip"] =
        MakeFip({Solid(testing::kWhite, 4, 4, 30), Solid(testing::kWhite, 4, 4, 30)});
    TContSelList file;
    file.width = 50;
    file.height = 30;  // the overlays too are inside
    for (int i = 0; i < 3; ++i) {
      TContSelButton b;
      b.x = 20 * i;
      b.name = std::string("Item") + static_cast<char>('A' + i);
      b.normal = "n.fip";
      b.hover_in = "h.fip";
      b.checked = "c.fip";
      b.disabled = "d.fip";
      b.click_overlay = click_overlay;
      b.checked_click_overlay = click_overlay;
      b.overlay_x = 20 * i;
      b.overlay_y = 20;
      b.group = groups[i];
      file.items.push_back(b);
    }
    BinaryWriter out;
    file.Write(out);
    s.store.files["menu\\m.npm"] = out.bytes();
    menu = &s.Add<TNovuPrevMenu>(LT_PREVMENU, "menu");
    menu->SetLeft(100);
    menu->SetTop(50);
    menu->SetProperty(PR_ONSELECT, std::string("sel.nsb"));
    menu->SetProperty(PR_ONPLAYEND, std::string("end.nsb"));
    menu->SetProperty(PR_ONMAPIN, std::string("in.nsb"));
    menu->SetProperty(PR_ONMAPOUT, std::string("out.nsb"));
    menu->SetProperty(PR_SOURCE, std::string("menu\\m.npm"));
  }

  void Input(int32_t x, int32_t y, bool press = false, bool release = false) {
    s.list.input().MouseMove(x, y);
    if (press) s.list.input().MouseDown(true);
    if (release) s.list.input().MouseUp();
    s.list.input().ProcessInput(15);
  }
  void ClickAt(int32_t x, int32_t y) {
    Input(x, y);
    Input(x, y, true);
    Input(x, y, false, true);
  }
  // The item pictures' colours, left to right ('r', 'g', 'b', 'y', '-' for nothing).
  std::string Looks() {
    s.Draw();
    std::string out;
    for (int i = 0; i < 3; ++i) {
      const uint32_t p = s.PixelAt(105 + 20 * i, 55);
      out += p == Raw32(testing::kRed)     ? 'r'
             : p == Raw32(testing::kGreen) ? 'g'
             : p == Raw32(testing::kBlue)  ? 'b'
             : p == Raw32(kYellow)         ? 'y'
                                           : '-';
    }
    return out;
  }
  // The events posted so far, "handler:arguments" each.
  std::vector<std::string> Events() {
    std::vector<std::string> out;
    for (const auto& e : s.list.queue().entries()) {
      std::string line = e.handler + ":";
      for (const std::string& a : e.arguments) line += a + ",";
      out.push_back(line);
    }
    return out;
  }

  ImageScene s;
  TNovuPrevMenu* menu = nullptr;
};

TEST(PrevMenu, BuildsItsItemsFromTheFile) {
  MenuScene t;
  TNovuPrevMenu& m = *t.menu;
  EXPECT_EQ(m.width(), 50);
  EXPECT_EQ(m.height(), 30);
  EXPECT_EQ(PropAsInt(m.GetProperty(PR_COUNT)), 3);
  EXPECT_EQ(PropAsStr(m.GetProperty(PR_TEXT)), "ItemA\r\nItemB\r\nItemC");
  EXPECT_EQ(m.ItemIndexOf("ItemC"), 2);
  EXPECT_EQ(m.ItemIndexOf("none"), -1);
  EXPECT_EQ(m.Item(1).normal, "menu\\n.fip");  // joined to the menu file's folder
  EXPECT_EQ(t.Looks(), "rrr");

  m.SetEnabled(1, false);
  m.SetVisible(2, false);
  EXPECT_EQ(t.Looks(), "ry-");

  m.SetProperty(PR_SOURCE, std::string("missing.npm"));
  EXPECT_EQ(PropAsInt(m.GetProperty(PR_COUNT)), 0);
  EXPECT_EQ(m.width(), 0);
  EXPECT_EQ(t.Looks(), "---");
}

TEST(PrevMenu, HoverShowsTheEnteringAndLeavingPicturesAndReportsThem) {
  MenuScene t;
  t.Input(105, 55);
  EXPECT_EQ(t.menu->hovered(), 0);
  EXPECT_EQ(t.Looks(), "grr");
  t.Input(125, 55);
  EXPECT_EQ(t.Looks(), "rgr");  // no hover-out picture: back to normal
  t.Input(300, 300);
  EXPECT_EQ(t.menu->hovered(), -1);
  EXPECT_EQ(t.Looks(), "rrr");
  EXPECT_EQ(t.Events(), (std::vector<std::string>{"in.nsb:ItemA,0,", "out.nsb:ItemA,0,",
                                                  "in.nsb:ItemB,1,", "out.nsb:ItemB,1,"}));
}

TEST(PrevMenu, AClickReportsTheChoiceAndEndsAtOnceWithoutAnimation) {
  MenuScene t;
  t.ClickAt(145, 55);
  EXPECT_EQ(t.s.vars.sel_str(), "ItemC");
  EXPECT_EQ(t.s.vars.sel_index(), 2);
  const std::vector<std::string> events = t.Events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[1], "sel.nsb:ItemC,2,");
  EXPECT_EQ(events[2], "end.nsb:ItemC,2,");
}

TEST(PrevMenu, ReleasingOverAnotherItemDoesNotChoose) {
  MenuScene t;
  t.Input(105, 55);
  t.Input(105, 55, true);
  t.Input(125, 55);
  t.Input(125, 55, false, true);
  EXPECT_EQ(t.s.vars.sel_index(), 0);  // untouched
  for (const std::string& e : t.Events()) EXPECT_EQ(e.find("sel.nsb"), std::string::npos) << e;
}

TEST(PrevMenu, TheClickAnimationIsWaitedForThenTheMenuEndsOrGoes) {
  for (const bool auto_scrap : {false, true}) {
    SCOPED_TRACE(auto_scrap);
    MenuScene t({0, 0, 0}, "ov.fip");
    t.menu->SetProperty(PR_AUTOSCRAP, auto_scrap);
    t.ClickAt(125, 55);
    EXPECT_EQ(t.menu->running_animations(), 1);
    EXPECT_EQ(t.s.PixelAt(121, 71), 0u);  // drawn at the next paint
    t.s.Draw();
    EXPECT_EQ(t.s.PixelAt(121, 71), Raw32(testing::kWhite));
    t.Input(125, 56);  // the hover holds still while the animation runs
    EXPECT_EQ(t.menu->hovered(), 1);
    const size_t before = t.Events().size();
    t.s.Tick(40);
    EXPECT_EQ(t.Events().size(), before);
    t.s.Tick(30);  // 70 ms: the overlay's two frames have played
    if (auto_scrap) {
      EXPECT_EQ(t.s.list.FindControl("menu"), nullptr);
    } else {
      EXPECT_EQ(t.Events().back(), "end.nsb:ItemB,1,");
      EXPECT_EQ(t.menu->running_animations(), 0);
      t.s.Tick(15);
      t.s.Draw();
      EXPECT_EQ(t.s.PixelAt(121, 71), 0u);  // the overlay went
    }
  }
}

TEST(PrevMenu, APressDuringTheClickAnimationEndsTheWait) {
  MenuScene t({0, 0, 0}, "ov.fip");
  t.ClickAt(125, 55);
  ASSERT_EQ(t.menu->running_animations(), 1);
  t.Input(145, 55, /*press=*/true);  // on another item: the wait ends and it is hovered
  EXPECT_EQ(t.menu->running_animations(), 0);
  const std::vector<std::string> events = t.Events();
  EXPECT_EQ(events.back(), "in.nsb:ItemC,2,");
  EXPECT_NE(std::find(events.begin(), events.end(), "end.nsb:ItemB,1,"), events.end());
  EXPECT_EQ(t.menu->hovered(), 2);
}

TEST(PrevMenuGroup, ClickingTheCheckedMemberKeepsItInARadioGroupAndUnchecksAToggle) {
  const struct {
    int32_t group;
    const char* initially;       // looks
    const char* after_first;     // after a click on item 1
    const char* after_again;     // after a second click on item 1
    bool second_click_reported;  // the second click is a choice
  } cases[] = {
      {2, "brr", "rbr", "rbr", false},
      {-2, "rrr", "rbr", "rrr", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.group);
    MenuScene t({c.group, c.group, c.group});
    EXPECT_EQ(t.Looks(), c.initially);
    t.ClickAt(125, 55);
    t.Input(300, 300);  // off the menu: resting pictures
    EXPECT_EQ(t.Looks(), c.after_first);
    EXPECT_TRUE(t.menu->Checked(1));
    const size_t before = t.Events().size();
    t.ClickAt(125, 55);
    t.Input(300, 300);
    EXPECT_EQ(t.Looks(), c.after_again);
    EXPECT_EQ(t.Events().size() > before + 2, c.second_click_reported);
  }
}

TEST(PrevMenuGroup, OnlyVisibleMembersCountAsChecked) {
  MenuScene t({1, 1, 0});
  EXPECT_TRUE(t.menu->CountsAsChecked(0));
  t.menu->SetVisible(0, false);
  EXPECT_FALSE(t.menu->CountsAsChecked(0));
  EXPECT_TRUE(t.menu->CountsAsChecked(1));
  EXPECT_FALSE(t.menu->CountsAsChecked(2));  // ungrouped items never are
  EXPECT_EQ(t.Looks(), "-br");
}

TEST(PrevMenu, ArrowKeysMoveOverTheVisibleItemsAndEnterChooses) {
  MenuScene t;
  t.menu->SetVisible(1, false);
  const struct {
    int32_t key;
    int32_t hovered;
  } steps[] = {{0x28, 0}, {0x28, 2}, {0x27, 0}, {0x25, 2}, {0x26, 0}, {0x26, 2}};
  for (const auto& step : steps) {
    t.menu->KeyRepeat(std::vector<int32_t>{step.key});
    EXPECT_EQ(t.menu->hovered(), step.hovered) << step.key;
  }
  t.menu->KeyRepeat(std::vector<int32_t>{0x0D});
  EXPECT_EQ(t.s.vars.sel_index(), 2);
}

TEST(PrevMenu, ARightClickClosesItWithNoChoice) {
  MenuScene t;
  t.menu->SetProperty(PR_RCLICKSCRAP, true);
  t.s.vars.SetSelIndex(5);
  t.s.list.input().MouseMove(400, 400);  // anywhere
  t.s.list.input().MouseDown(false);
  t.s.list.input().ProcessInput(15);
  EXPECT_EQ(t.s.vars.sel_index(), -1);
  EXPECT_EQ(t.s.vars.sel_str(), "");
  t.s.Tick(15);
  EXPECT_EQ(t.s.list.FindControl("menu"), nullptr);
}

std::string SavedBytes(const TNovuObject& object) {
  BinaryWriter out;
  object.SaveToStream(out);
  return out.TakeString();
}

TEST(PrevMenuSaving, ItemStateSurvivesTheObjectStream) {
  MenuScene t({-1, -1, 0});
  t.menu->SetEnabled(0, false);
  t.menu->SetVisible(2, false);
  t.menu->SetChecked(1, true);
  t.menu->SetProperty(PR_PAUSED, true);
  t.menu->SetProperty(PR_ONIDLE, std::string("idle.nsb"));
  const std::string bytes = SavedBytes(*t.menu);

  MenuScene other({-1, -1, 0});
  BinaryReader in(bytes);
  other.menu->LoadFromStream(in, {kObjectLayoutVersion});
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(SavedBytes(*other.menu), bytes);
  EXPECT_FALSE(other.menu->Enabled(0));
  EXPECT_TRUE(other.menu->Checked(1));
  EXPECT_FALSE(other.menu->Visible(2));
  EXPECT_EQ(other.Looks(), "yb-");

  // A flag count beyond the record is refused, not read past its end.
  std::string damaged = bytes;
  damaged[damaged.size() - 4 - 3] = '\x7f';  // the checked array's count
  BinaryReader bad(damaged);
  MenuScene third;
  EXPECT_THROW(third.menu->LoadFromStream(bad, {kObjectLayoutVersion}), NovuError);
}

TEST(PrevMenuSaving, OlderRecordsLackTheFlagArrays) {
  MenuScene t;
  t.menu->SetChecked(1, true);
  const std::string bytes = SavedBytes(*t.menu);
  // Without the checked array (three bytes and its count) the record is a version-135 one.
  const std::string v135 = bytes.substr(0, bytes.size() - 4 - 3);
  MenuScene other;
  BinaryReader in(v135);
  other.menu->LoadFromStream(in, {135});
  EXPECT_TRUE(in.AtEnd());
  EXPECT_FALSE(other.menu->Checked(1));
  EXPECT_EQ(other.menu->ItemCount(), 3);
}

}  // namespace
}  // namespace novu
