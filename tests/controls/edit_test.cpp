// Edit and memo boxes: what keys and typed text do to them, what they report to the script,
// when they show, and their saved record.
#include <gtest/gtest.h>

#include "controls/novu_box.h"
#include "controls/novu_edit.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "label_fixtures.h"

namespace novu {
namespace {

using testing::LabelScene;

constexpr int kEnter = 13, kLeft = 37, kBack = 8, kDelete = 46, kHome = 36, kEnd = 35;
constexpr int kEscape = 27, kTab = 9, kShift = 16;

template <class T>
T& MakeBox(LabelScene& s, ComponentType type, const std::string& text = "") {
  auto& box = s.Add<T>(type, type == LT_EDIT ? "edit" : "memo");
  box.SetBounds(100, 100, 200, 60);
  box.SetProperty(PR_VISIBLE, true);
  box.SetProperty(PR_ONNOTIFY, std::string("keys.nsb"));
  box.SetProperty(PR_TEXT, text);
  s.Tick(15);  // the first update shows the box, which takes the keyboard
  return box;
}

std::vector<std::vector<std::string>> Notifications(LabelScene& s) {
  std::vector<std::vector<std::string>> out;
  for (const auto& entry : s.list.queue().entries()) {
    if (entry.event_id == 33 && entry.handler == "keys.nsb") out.push_back(entry.arguments);
  }
  return out;
}

TEST(EditBox, KeysReportTheirCodeAndTheTextBeforeTheyAct) {
  struct Case {
    ComponentType type;
    int key;
    std::string after;
  };
  const Case cases[] = {
      {LT_EDIT, kEnter, "ab"},  // Enter, Esc and Tab never reach the single-line text
      {LT_EDIT, kEscape, "ab"},    {LT_EDIT, kTab, "ab"},
      {LT_MEMO, kEnter, "ab\r\n"},  // the memo keeps them
      {LT_MEMO, kTab, "ab\t"},     {LT_EDIT, kBack, "a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + " key " + std::to_string(c.key));
    LabelScene s;
    TNovuCustomEdit& box = c.type == LT_EDIT
                               ? static_cast<TNovuCustomEdit&>(MakeBox<TNovuEdit>(s, c.type))
                               : MakeBox<TNovuMemo>(s, c.type);
    s.focus.TypeText("ab");
    EXPECT_TRUE(s.focus.KeyDown(c.key));
    EXPECT_EQ(PropAsStr(box.GetProperty(PR_TEXT)), c.after);
    EXPECT_EQ(Notifications(s),
              (std::vector<std::vector<std::string>>{{std::to_string(c.key), "ab"}}));
  }
}

TEST(EditBox, SettingTheTextSelectsItInTheEditOnly) {
  LabelScene s;
  auto& edit = MakeBox<TNovuEdit>(s, LT_EDIT, "old");
  s.focus.TypeText("new");
  EXPECT_EQ(PropAsStr(edit.GetProperty(PR_TEXT)), "new");

  LabelScene t;
  auto& memo = MakeBox<TNovuMemo>(t, LT_MEMO, "old");
  t.focus.TypeText("new");
  EXPECT_EQ(PropAsStr(memo.GetProperty(PR_TEXT)), "oldnew");
}

TEST(EditBox, CaretKeysMoveThroughTwoByteCharactersWhole) {
  LabelScene s;
  auto& edit = MakeBox<TNovuEdit>(s, LT_EDIT);
  const std::string yama = "\x8e\x52", da = "\x93\x63";  // 山, 田
  struct Step {
    std::vector<int> keys;
    std::string typed;
    std::string text;
  };
  const Step steps[] = {
      {{}, yama + da, yama + da},
      {{kLeft}, "x", yama + "x" + da},
      {{kBack, kBack}, "", da},
      {{kEnd}, "1", da + "1"},
      {{kHome, kDelete}, "", "1"},
      {{kEnd, kShift, kHome},
       "z",
       "z"},  // Shift+Home selects back to the start; typing replaces it
  };
  for (const Step& step : steps) {
    for (int key : step.keys) s.focus.KeyDown(key);
    s.focus.KeyUp(kShift);
    s.focus.TypeText(step.typed);
    EXPECT_EQ(PropAsStr(edit.GetProperty(PR_TEXT)), step.text);
  }
}

TEST(EditBox, ReadOnlyAndPausedBoxesKeepTheirText) {
  LabelScene s;
  auto& edit = MakeBox<TNovuEdit>(s, LT_EDIT, "keep");
  edit.SetProperty(PR_READONLY, true);
  s.focus.KeyDown(kBack);
  s.focus.TypeText("x");
  EXPECT_EQ(PropAsStr(edit.GetProperty(PR_TEXT)), "keep");

  edit.SetProperty(PR_READONLY, false);
  edit.SetProperty(PR_PAUSED, true);
  EXPECT_FALSE(s.focus.KeyDown(kBack));  // a paused box lets go of the keyboard
  s.focus.TypeText("x");
  EXPECT_EQ(PropAsStr(edit.GetProperty(PR_TEXT)), "keep");
  EXPECT_TRUE(PropAsBool(edit.GetProperty(PR_PAUSED)));
}

TEST(EditBox, ACoveredBoxHidesUntilItIsOnTopAgain) {
  LabelScene s;
  auto& edit = MakeBox<TNovuEdit>(s, LT_EDIT);
  EXPECT_TRUE(edit.widget().shown());
  EXPECT_TRUE(s.focus.Holds(edit.widget()));
  EXPECT_EQ(s.list.FocusedControl(), &edit);

  auto& cover = s.Add<TNovuBox>(LT_BOX, "cover");
  cover.SetBounds(190, 120, 20, 20);  // over the centre (200, 130)
  cover.SetPriority(5);
  s.Tick(15);
  EXPECT_FALSE(edit.widget().shown());
  EXPECT_FALSE(s.focus.KeyDown(kBack));

  cover.SetLeft(0);
  s.Tick(15);
  EXPECT_TRUE(edit.widget().shown());
  EXPECT_TRUE(s.focus.Holds(edit.widget()));
}

TEST(EditBox, TheEditStartsHiddenAndTheMemoShown) {
  LabelScene s;
  auto& edit = s.Add<TNovuEdit>(LT_EDIT, "edit");
  auto& memo = s.Add<TNovuMemo>(LT_MEMO, "memo");
  EXPECT_FALSE(PropAsBool(edit.GetProperty(PR_VISIBLE)));
  EXPECT_TRUE(PropAsBool(memo.GetProperty(PR_VISIBLE)));
  EXPECT_EQ(PropAsInt(edit.GetProperty(PR_HANDLEKEY)), 1);
  edit.SetProperty(PR_FONTHEIGHT, -20);
  EXPECT_EQ(PropAsInt(edit.GetProperty(PR_FONTHEIGHT)), 20);
}

// The ink of the memo's one line, as the first and last inked column inside the box.
std::pair<int, int> InkedColumns(LabelScene& s, const TNovuCustomEdit& box) {
  s.Draw();
  int first = -1, last = -1;
  const uint32_t back = s.PixelAt(box.ScreenX() + 1, box.ScreenY() + box.height() - 1);
  for (int x = box.ScreenX(); x < box.ScreenX() + box.width(); ++x) {
    for (int y = box.ScreenY(); y < box.ScreenY() + 14; ++y) {
      if (s.PixelAt(x, y) != back) {
        if (first < 0) first = x - box.ScreenX();
        last = x - box.ScreenX();
      }
    }
  }
  return {first, last};
}

TEST(EditBox, MemoAlignmentIsLeftRightCentreInThatOrder) {
  // "AAAA" at height 16: four advances of 8, each box 6 wide from one pixel right of the pen.
  struct Case {
    int32_t alignment;
    int first, last;
  };
  const Case cases[] = {{0, 1, 30}, {1, 168, 197}, {2, 85, 114}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alignment);
    LabelScene s;
    auto& memo = MakeBox<TNovuMemo>(s, LT_MEMO, "AAAA");
    memo.SetProperty(PR_HALIGN, c.alignment);
    s.focus.Drop(memo.widget());  // no caret
    EXPECT_EQ(InkedColumns(s, memo), (std::pair<int, int>{c.first, c.last}));
  }
}

TEST(EditBox, SavedRecordsReadBackIntoTheSameBoxes) {
  for (ComponentType type : {LT_EDIT, LT_MEMO}) {
    SCOPED_TRACE(int{type});
    LabelScene s;
    TNovuCustomEdit& box = type == LT_EDIT
                               ? static_cast<TNovuCustomEdit&>(MakeBox<TNovuEdit>(s, type))
                               : MakeBox<TNovuMemo>(s, type);
    box.SetProperty(PR_TEXT, std::string("line\r\nnext"));
    box.SetProperty(PR_FONTNAME, std::string("face"));
    box.SetProperty(PR_FONTHEIGHT, 20);
    box.SetProperty(PR_FONTSTYLE, 5);
    box.SetProperty(PR_FONTCOLOR, 0x123456);
    box.SetProperty(PR_COLOR, 0x654321);
    box.SetProperty(PR_READONLY, true);
    box.SetProperty(PR_HALIGN, 2);
    box.SetProperty(PR_PAUSED, true);
    BinaryWriter out;
    box.SaveToStream(out);
    const std::string bytes = out.TakeString();

    LabelScene again;
    std::unique_ptr<TNovuObject> object = again.list.CreateByType(type);
    auto& copy = dynamic_cast<TNovuCustomEdit&>(*object);
    again.list.base(0).AddChild(std::move(object));
    BinaryReader in(bytes);
    copy.LoadFromStream(in, ObjectLoadContext{kObjectLayoutVersion});
    EXPECT_TRUE(in.AtEnd());
    BinaryWriter out_again;
    copy.SaveToStream(out_again);
    EXPECT_EQ(out_again.TakeString(), bytes);
    EXPECT_EQ(copy.widget().text(), box.widget().text());
    EXPECT_EQ(copy.widget().alignment(), type == LT_MEMO ? 2 : 0);
    EXPECT_EQ(PropAsInt(copy.GetProperty(PR_COLOR)), 0x654321);
    EXPECT_TRUE(PropAsBool(copy.GetProperty(PR_PAUSED)));
  }
}

}  // namespace
}  // namespace novu
