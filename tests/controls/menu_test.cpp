// Menus and the list box under them: sizing, keys, the scroll bar held with the mouse, choosing,
// cancelling, the opening and closing effect, and the saved record.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "menu_fixtures.h"

namespace novu {
namespace {

using testing::MenuScene;

constexpr int kVkPageUp = 0x21;
constexpr int kVkPageDown = 0x22;
constexpr int kVkUp = 0x26;
constexpr int kVkDown = 0x28;
constexpr int kVkReturn = 0x0d;
constexpr int kVkEscape = 0x1b;
// The newest save version the player writes.
constexpr int32_t kNewestSave = 139;

void PressKey(TNovuMenu& menu, int key) {
  const std::array<int32_t, 1> keys{key};
  menu.KeyDown(keys);
  menu.KeyRepeat(keys);
}

TEST(Menu, SizesItselfToItsItemsAndShowsAScrollBarWhenTheyExceedTheRows) {
  MenuScene s;
  TNovuMenu& short_menu = s.AddMenu(3, 4, "short");
  short_menu.SetProperty(PR_SCROLLSOURCE, std::string("scroll.fip"));
  TNovuMenu& long_menu = s.AddMenu(10, 4, "long");
  long_menu.SetProperty(PR_SCROLLSOURCE, std::string("scroll.fip"));
  long_menu.SetProperty(PR_MARGINX, 2);
  long_menu.SetProperty(PR_MARGINY, 3);
  long_menu.SetProperty(PR_LINESPACE, 4);
  long_menu.SetProperty(PR_BORDERWIDTH, 1);
  s.Tick();

  // "item0" is five characters of 8 pixels; rows are 16 high.
  EXPECT_FALSE(short_menu.Geometry().ShowsScrollBar());
  EXPECT_EQ(short_menu.width(), 40);
  EXPECT_EQ(short_menu.height(), 3 * 16);

  const ListBoxGeometry g = long_menu.Geometry();
  EXPECT_TRUE(g.ShowsScrollBar());
  EXPECT_EQ(long_menu.width(), 40 + 2 * 1 + 2 * 2 + 10);
  EXPECT_EQ(long_menu.height(), 4 * 16 + 3 * 4 + 2 * 1 + 2 * 3);
  // The arrows sit at the top and bottom of the column at the right, inside the border.
  EXPECT_EQ(g.UpArrow(), MakeRect(100 + long_menu.width() - 1 - 10, 50 + 1, 10, 10));
  EXPECT_EQ(g.DownArrow().bottom, 50 + long_menu.height() - 1);
}

TEST(Menu, KeysMoveTheHoveredItemAndTheTopFollows) {
  struct Case {
    int32_t from;
    int key;
    int32_t hovered;
    int32_t top;
  };
  const Case cases[] = {
      {8, kVkPageDown, 9, 6},  // a page down stops at the last item
      {0, kVkPageDown, 4, 1}, {5, kVkPageUp, 1, 1}, {2, kVkPageUp, 0, 0}, {-1, kVkDown, 0, 0},
      {-1, kVkUp, 9, 6},      {9, kVkDown, 9, 6},   {0, kVkUp, 0, 0},     {3, kVkDown, 4, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " key " + std::to_string(c.key));
    MenuScene s;
    TNovuMenu& menu = s.AddMenu(10, 4);
    menu.SetHovered(c.from, true);
    PressKey(menu, c.key);
    EXPECT_EQ(menu.hovered(), c.hovered);
    EXPECT_EQ(menu.top_item(), c.top);
  }
}

TEST(Menu, HoverChangesRaiseMapOutAndMapInWithTextAndIndex) {
  MenuScene s;
  TNovuMenu& menu = s.AddMenu(10, 4);
  menu.SetProperty(PR_ONMAPIN, std::string("in.nsb"));
  menu.SetProperty(PR_ONMAPOUT, std::string("out.nsb"));
  menu.SetHovered(2, true);
  s.list.queue().entries().clear();
  PressKey(menu, kVkDown);
  const auto& events = s.list.queue().entries();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].event_id, PR_ONMAPOUT);
  EXPECT_EQ(events[0].arguments, (std::vector<std::string>{"item2", "2"}));
  EXPECT_EQ(events[1].event_id, PR_ONMAPIN);
  EXPECT_EQ(events[1].arguments, (std::vector<std::string>{"item3", "3"}));
}

// Holding the mouse on the down arrow steps once at the press, again 300 ms later and then
// every 50 ms, while the pointer stays on the arrow.
TEST(Menu, AHeldArrowRepeatsAfterTheFirstDelayThenAtEveryInterval) {
  MenuScene s;
  TNovuMenu& menu = s.AddMenu(20, 4);
  menu.SetProperty(PR_SCROLLSOURCE, std::string("scroll.fip"));
  s.Tick();
  const Rect down = menu.Geometry().DownArrow();
  s.list.input().MouseMove(down.left + 2, down.top + 2);
  s.list.input().MouseDown(true);
  struct Step {
    int32_t at_ms;  // since the press
    int32_t top;
  };
  const Step steps[] = {{0, 1}, {290, 1}, {300, 2}, {340, 2}, {350, 3}, {400, 4}, {450, 5}};
  int32_t now = -10;
  for (const Step& step : steps) {
    while (now < step.at_ms) {
      s.Tick(10);
      now += 10;
    }
    EXPECT_EQ(menu.top_item(), step.top) << step.at_ms << " ms";
  }
  EXPECT_EQ(menu.press(), ListPress::kDownArrow);

  // Off the arrow the clock runs on but nothing steps; released, the press ends.
  s.list.input().MouseMove(down.left + 2, down.top - 30);
  for (int i = 0; i < 10; ++i) s.Tick(10);
  EXPECT_EQ(menu.top_item(), 5);
  s.list.input().MouseUp();
  s.Tick(10);
  EXPECT_EQ(menu.press(), ListPress::kNone);
}

TEST(Menu, DraggingTheThumbMovesTheTopItem) {
  MenuScene s;
  TNovuMenu& menu = s.AddMenu(10, 4);
  menu.SetProperty(PR_SCROLLSOURCE, std::string("scroll.fip"));
  s.Tick();
  const ListBoxGeometry g = menu.Geometry();
  const Rect thumb = g.Thumb();
  s.list.input().MouseMove(thumb.left + 1, thumb.top + 5);
  s.list.input().MouseDown(true);
  s.Tick();
  EXPECT_EQ(menu.press(), ListPress::kThumb);
  // The thumb's centre at the end of the track shows the last page.
  s.list.input().MouseMove(thumb.left + 1, g.TrackTop() + g.TrackLength() + 5);
  s.Tick();
  EXPECT_EQ(menu.top_item(), 6);
  s.list.input().MouseMove(thumb.left + 1, g.TrackTop() + g.TrackLength() / 2 + 5);
  s.Tick();
  EXPECT_EQ(menu.top_item(), 3);
}

TEST(Menu, AClickOnAnItemChoosesItAndAnAutoScrapMenuGoesAway) {
  MenuScene s;
  TNovuMenu& menu = s.AddMenu(5, 5);
  menu.SetProperty(PR_ONSELECT, std::string("sel.nsb"));
  menu.SetProperty(PR_ONCLOSED, std::string("closed.nsb"));
  menu.SetProperty(PR_AUTOSCRAP, true);
  s.Tick();
  // Row 2 of 16-pixel rows.
  s.list.input().MouseMove(110, 50 + 2 * 16 + 4);
  s.Tick();
  EXPECT_EQ(menu.hovered(), 2);
  s.list.input().MouseDown(true);
  s.Tick();
  s.list.input().MouseUp();
  s.Tick();
  EXPECT_EQ(s.vars.sel_str(), "item2");
  EXPECT_EQ(s.vars.sel_index(), 2);
  EXPECT_EQ(PropAsInt(menu.GetProperty(PR_INDEX)), 2);
  ASSERT_EQ(s.Queued(menu, PR_ONSELECT), 1);
  EXPECT_EQ(s.list.queue().entries()[0].arguments, (std::vector<std::string>{"item2", "2"}));
  EXPECT_TRUE(menu.finished());

  // It waits for its closing events to be taken, then deletes itself.
  s.Tick();
  EXPECT_EQ(s.Queued(menu, PR_ONCLOSED), 1);
  ASSERT_TRUE(s.list.IsRegistered(&menu));
  s.list.queue().entries().clear();
  s.Tick();
  EXPECT_FALSE(s.list.IsRegistered(&menu));
}

TEST(Menu, EnterChoosesTheHoveredItemAndEscapeCancels) {
  MenuScene s;
  TNovuMenu& menu = s.AddMenu(5, 5);
  menu.SetProperty(PR_RCLICKSCRAP, true);
  menu.SetHovered(3, true);
  PressKey(menu, kVkReturn);
  EXPECT_EQ(s.vars.sel_index(), 3);
  EXPECT_FALSE(menu.finished());  // no auto-scrap: it stays open

  PressKey(menu, kVkEscape);
  EXPECT_EQ(menu.phase(), TNovuMenu::kCancel);
  s.Tick();
  EXPECT_EQ(menu.play_mode(), LP_STOPFADE);
  // A closing menu ignores the keys.
  PressKey(menu, kVkUp);
  EXPECT_EQ(menu.hovered(), 3);
}

TEST(Menu, ARightClickClosesAnOpenMenuWithoutARightButtonEvent) {
  MenuScene s;
  TNovuMenu& menu = s.AddMenu(5, 5);
  menu.SetProperty(PR_RCLICKSCRAP, true);
  menu.SetEventLabel(PR_ONRBTNDOWN, "r.nsb");
  s.Tick();
  s.list.input().MouseMove(110, 60);
  s.list.input().MouseDown(false);
  s.Tick();
  EXPECT_EQ(s.Queued(menu, PR_ONRBTNDOWN), 0);
  EXPECT_EQ(menu.play_mode(), LP_STOPFADE);
}

TEST(Menu, OpeningGrowsTheHeightOverTheDelay) {
  MenuScene s;
  std::unique_ptr<TNovuObject> object = s.list.CreateByType(LT_MENU);
  auto& menu = dynamic_cast<TNovuMenu&>(*object);
  s.list.base(0).AddChild(std::move(object));
  menu.SetProperty(PR_TEXT, std::string("a\r\nb\r\nc\r\nd"));
  menu.SetProperty(PR_ROWCOUNT, 4);
  menu.SetProperty(PR_DELAY, 400);
  menu.SetProperty(PR_ONOPENING, std::string("opening.nsb"));
  menu.SetProperty(PR_ONOPENED, std::string("opened.nsb"));
  menu.SetPlayMode(LP_PLAYFADE);
  s.Tick();  // lays out and starts
  EXPECT_EQ(s.Queued(menu, PR_ONOPENING), 1);
  EXPECT_EQ(menu.height(), 0);
  EXPECT_EQ(PropAsInt(menu.GetProperty(PR_ORIGHEIGHT)), 64);
  s.Tick();  // notes the start
  for (int i = 0; i < 20; ++i) s.Tick(10);
  EXPECT_EQ(menu.height(), 32);
  EXPECT_EQ(s.Queued(menu, PR_ONOPENED), 0);
  for (int i = 0; i < 20; ++i) s.Tick(10);
  EXPECT_EQ(menu.height(), 64);
  EXPECT_EQ(s.Queued(menu, PR_ONOPENED), 1);
  EXPECT_EQ(menu.play_mode(), LP_PLAY);
}

TEST(Menu, ClosingWithAFadePostsClosingAtOnceAndClosedWhenTheFadeEnds) {
  MenuScene s;
  TNovuMenu& menu = s.AddMenu(4, 4);
  menu.SetProperty(PR_DELAY, 500);
  menu.SetProperty(PR_ONCLOSING, std::string("closing.nsb"));
  menu.SetProperty(PR_ONCLOSED, std::string("closed.nsb"));
  s.Tick();
  menu.SetPlayMode(LP_STOPFADE);
  s.Tick(10);  // the fade starts in this frame
  EXPECT_EQ(s.Queued(menu, PR_ONCLOSING), 1);
  EXPECT_EQ(s.Queued(menu, PR_ONCLOSED), 0);
  EXPECT_TRUE(menu.IsInputDisabled());
  for (int i = 0; i < 25; ++i) s.Tick(10);
  EXPECT_EQ(menu.height(), 32);
  for (int i = 0; i < 24; ++i) s.Tick(10);
  EXPECT_EQ(s.Queued(menu, PR_ONCLOSED), 0) << "490 ms";
  s.Tick(10);
  EXPECT_EQ(s.Queued(menu, PR_ONCLOSED), 1) << "500 ms";
  EXPECT_EQ(menu.height(), 0);
  s.list.queue().entries().clear();
  s.Tick();
  EXPECT_FALSE(s.list.IsRegistered(&menu));
}

// A check picture of two 6 x 6 cells, a frame and every setting away from its initial value:
// written, read into a fresh menu and written again, the record is the same.
TEST(Menu, TheSavedRecordReadsBackAsItWasWritten) {
  MenuScene s;
  s.store.files["check.fip"] = testing::MakeFip({testing::Solid(testing::kGreen, 12, 6)});
  s.store.files["tl.fip"] = testing::MakeFip({testing::Solid(testing::kBlue, 3, 3)});
  TNovuMenu& menu = s.AddMenu(10, 4);
  menu.SetProperty(PR_SCROLLSOURCE, std::string("scroll.fip"));
  menu.SetProperty(PR_CHECKSOURCE, std::string("check.fip"));
  menu.SetProperty(PR_BORDERSOURCETL, std::string("tl.fip"));
  menu.SetProperty(PR_BORDERHALIGNC, 1);
  menu.SetProperty(PR_BORDERVALIGNR, 2);
  menu.SetProperty(PR_FONTNAME, std::string("font"));
  menu.SetProperty(PR_FONTHEIGHT, 20);
  menu.SetProperty(PR_FONTSTYLE, 1);
  menu.SetProperty(PR_FONTCOLOR, 0x123456);
  menu.SetProperty(PR_FONTHOVERCOLOR, 0x654321);
  menu.SetProperty(PR_FONTBORDER, 1);
  menu.SetProperty(PR_FONTHOVERSHADOW, 2);
  menu.SetProperty(PR_LINESPACE, 3);
  menu.SetProperty(PR_MARGINX, 4);
  menu.SetProperty(PR_ALPHA, 200);
  menu.SetProperty(PR_HALIGN, 2);
  menu.SetProperty(PR_TOPINDEX, 5);
  menu.SetProperty(PR_INDEX, 7);
  menu.SetProperty(PR_DELAY, 250);
  menu.SetProperty(PR_HOVERCOLOR, 0x00ff00);
  menu.SetProperty(PR_AUTOSCRAP, true);
  menu.SetProperty(PR_RCLICKSCRAP, true);
  for (PropId id : {PR_ONSELECT, PR_ONIDLE, PR_ONMAPIN, PR_ONMAPOUT, PR_ONOPENING, PR_ONOPENED,
                    PR_ONCLOSING, PR_ONCLOSED}) {
    menu.SetProperty(id, "l" + std::to_string(id) + ".nsb");
  }
  menu.SetChecked(1, true);
  menu.SetChecked(8, true);
  s.Tick();  // the size follows the settings
  BinaryWriter out;
  menu.SaveToStream(out);
  const std::string bytes = out.TakeString();

  MenuScene again;
  again.store = s.store;
  auto& loaded = again.AddMenu(0, 1, "other");
  BinaryReader in(bytes);
  loaded.LoadFromStream(in, ObjectLoadContext{kNewestSave});
  EXPECT_TRUE(in.AtEnd());
  BinaryWriter out_again;
  loaded.SaveToStream(out_again);
  EXPECT_EQ(out_again.TakeString(), bytes);
  EXPECT_TRUE(loaded.Checked(8));
  EXPECT_FALSE(loaded.Checked(7));
  EXPECT_EQ(loaded.top_item(), 5);
  EXPECT_EQ(PropAsStr(loaded.GetProperty(PR_BORDERSOURCETL)), "tl.fip");
  EXPECT_EQ(PropAsInt(loaded.GetProperty(PR_FONTHOVERCOLOR)), 0x654321);
  EXPECT_EQ(loaded.play_mode(), LP_PLAY);
  EXPECT_GT(loaded.width(), 0);  // laid out again after loading
}

// Through the whole object list, as a game save keeps it: the menu comes back as a menu on its
// base, open, and still closes on a right click.
TEST(Menu, AMenuInASavedSceneComesBackOpenAndClosesOnARightClick) {
  MenuScene s;
  TNovuMenu& menu = s.AddMenu(3, 3);
  menu.SetProperty(PR_RCLICKSCRAP, true);
  s.Tick();
  BinaryWriter out;
  s.list.SaveToStream(out);
  const std::string bytes = out.TakeString();

  MenuScene again;
  BinaryReader in(bytes);
  again.list.LoadFromStream(in, kNewestSave);
  auto* loaded = dynamic_cast<TNovuMenu*>(again.list.FindByName("menu"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->play_mode(), LP_PLAY);
  EXPECT_EQ(loaded->height(), 3 * 16);
  again.list.input().MouseMove(400, 400);
  again.list.input().MouseDown(false);
  again.Tick();
  EXPECT_EQ(loaded->phase(), TNovuMenu::kCloseStart);
}

// Records of older saves lack the labels that came later: PR_ONIDLE after version 130, the
// map-in and map-out labels after 133. The rest of the record still lines up.
TEST(Menu, OlderRecordsReadWithoutTheLabelsTheyDoNotHave) {
  MenuScene s;
  TNovuMenu& menu = s.AddMenu(3, 3);
  menu.SetProperty(PR_ONIDLE, std::string("idle.nsb"));
  menu.SetProperty(PR_ONMAPIN, std::string("in.nsb"));
  menu.SetProperty(PR_ONMAPOUT, std::string("out.nsb"));
  menu.SetProperty(PR_DELAY, 250);
  menu.SetProperty(PR_ONCLOSED, std::string("closed.nsb"));
  s.Tick();
  BinaryWriter out;
  menu.SaveToStream(out);
  const std::string newest = out.TakeString();
  auto counted = [](const std::string& text) {
    BinaryWriter w;
    w.String(text);
    return w.TakeString();
  };
  struct Case {
    int32_t version;
    bool idle;
    bool map;
  };
  for (const Case c : {Case{134, true, true}, Case{131, true, false}, Case{130, false, false}}) {
    SCOPED_TRACE(c.version);
    std::string bytes = newest;
    for (const auto& [label, kept] :
         {std::pair{std::string("idle.nsb"), c.idle}, std::pair{std::string("in.nsb"), c.map},
          std::pair{std::string("out.nsb"), c.map}}) {
      if (kept) continue;
      const size_t at = bytes.find(counted(label));
      ASSERT_NE(at, std::string::npos);
      bytes.erase(at, counted(label).size());
    }
    MenuScene again;
    auto& loaded = again.AddMenu(0, 1, "other");
    BinaryReader in(bytes);
    loaded.LoadFromStream(in, ObjectLoadContext{c.version});
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(PropAsStr(loaded.GetProperty(PR_ONIDLE)), c.idle ? "idle.nsb" : "");
    EXPECT_EQ(PropAsStr(loaded.GetProperty(PR_ONMAPOUT)), c.map ? "out.nsb" : "");
    EXPECT_EQ(PropAsInt(loaded.GetProperty(PR_DELAY)), 250);
    EXPECT_EQ(PropAsStr(loaded.GetProperty(PR_ONCLOSED)), "closed.nsb");
  }
}

// A record whose top item lies beyond its items (a damaged or edited save) loads clamped to
// the last page.
TEST(Menu, ASavedTopItemBeyondTheItemsIsClamped) {
  MenuScene s;
  s.store.files["MARK.fip"] = testing::MakeFip({testing::Solid(testing::kGreen, 4, 2)});
  TNovuMenu& menu = s.AddMenu(10, 4);
  menu.SetProperty(PR_CHECKSOURCE, std::string("MARK.fip"));
  menu.SetProperty(PR_TOPINDEX, 2);
  BinaryWriter out;
  menu.SaveToStream(out);
  std::string bytes = out.TakeString();
  // The top item is saved right after the check picture's name.
  const size_t at = bytes.find("MARK.fip");
  ASSERT_NE(at, std::string::npos);
  for (int32_t top : {50, -7}) {
    SCOPED_TRACE(top);
    BinaryWriter patch;
    patch.I32(top);
    bytes.replace(at + 8, 4, patch.TakeString());
    MenuScene again;
    again.store = s.store;
    auto& loaded = again.AddMenu(0, 1, "other");
    BinaryReader in(bytes);
    loaded.LoadFromStream(in, ObjectLoadContext{kNewestSave});
    EXPECT_EQ(loaded.top_item(), top > 0 ? 6 : 0);
  }
}

}  // namespace
}  // namespace novu
