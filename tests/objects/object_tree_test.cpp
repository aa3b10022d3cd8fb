#include <gtest/gtest.h>

#include "object_fixtures.h"
#include "objects/novu_control.h"
#include "platform/error.h"

namespace novu {
namespace {

using testing::Scene;
using testing::TestPicture;

std::vector<std::string> ChildNames(const TNovuControl& control) {
  std::vector<std::string> names;
  for (const auto& child : control.children()) names.push_back(child->name());
  return names;
}

TEST(ObjectNames, DefaultNamesCountFromZeroAndReuseFreedOnes) {
  Scene scene;
  TestPicture& first = scene.Picture(scene.base(), 0, 0, 1, 1);
  TestPicture& second = scene.Picture(scene.base(), 0, 0, 1, 1);
  EXPECT_EQ(first.name(), "object0");
  EXPECT_EQ(second.name(), "object1");
  scene.list.Free(first);
  EXPECT_EQ(scene.Picture(scene.base(), 0, 0, 1, 1).name(), "object0");
}

TEST(ObjectNames, RenamingAControlOntoATakenNameRenamesTheOtherOne) {
  struct Case {
    std::vector<std::string> existing;  // names already present, the first is renamed away
    std::string expected;
  };
  const Case cases[] = {
      {{"btn"}, "btn_2"},       {{"btn", "btn_2"}, "btn_3"},
      {{"btn_5"}, "btn_6"},    // a numbered name keeps counting from its number
      {{"btn_1"}, "btn_1_2"},  // _1 is not a counter
      {{"btn_"}, "btn__2"},     {{"btn_x"}, "btn_x_2"},
      {{"btn_-3"}, "btn_-3_2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.existing.front());
    Scene scene;
    std::vector<TestPicture*> others;
    for (const std::string& name : c.existing) {
      others.push_back(&scene.Picture(scene.base(), 0, 0, 1, 1));
      others.back()->SetName(name);
    }
    TestPicture& renamed = scene.Picture(scene.base(), 0, 0, 1, 1);
    renamed.SetName(c.existing.front());
    EXPECT_EQ(renamed.name(), c.existing.front());
    EXPECT_EQ(others.front()->name(), c.expected);
    EXPECT_FALSE(scene.list.IsPendingDeletion(*others.front()));
  }
}

TEST(ObjectNames, RenamingAComponentOntoATakenNameDeletesTheOtherOne) {
  Scene scene;
  auto& old_timer = scene.list.Add<TPlainComponent>(LT_TIMER);
  old_timer.SetName("tick");
  auto& new_timer = scene.list.Add<TPlainComponent>(LT_TIMER);
  new_timer.SetName("tick");
  EXPECT_TRUE(scene.list.IsPendingDeletion(old_timer));
  EXPECT_EQ(old_timer.name(), "");
  EXPECT_EQ(scene.list.FindByName("tick"), &new_timer);
  scene.list.FreeScheduled();
  EXPECT_EQ(scene.list.registry().size(), 3u);  // two bases and the new timer
}

TEST(ObjectNames, LookupsAreExactAndCaseSensitive) {
  Scene scene;
  TestPicture& picture = scene.Picture(scene.base(), 0, 0, 1, 1);
  picture.SetName("Title");
  EXPECT_EQ(scene.list.FindControl("Title"), &picture);
  EXPECT_EQ(scene.list.FindControl("title"), nullptr);
  EXPECT_EQ(scene.list.FindControl("Title "), nullptr);
  EXPECT_EQ(scene.list.FindControl("Titl"), nullptr);
  // A script lookup by the empty name is the active base; a saved empty name is nobody.
  EXPECT_EQ(scene.list.FindControl(""), &scene.base());
  EXPECT_EQ(ResolveSavedControlName(scene.list, ""), nullptr);
  EXPECT_EQ(ResolveSavedControlName(scene.list, "Title"), &picture);
  // Deleted objects are not found any more, even before they are freed.
  scene.list.ScheduleDeletion(picture);
  EXPECT_EQ(scene.list.FindControl("Title"), nullptr);
}

TEST(ObjectTree, ReparentingMovesOwnershipAndResortsSiblings) {
  Scene scene;
  TestPicture& a = scene.Picture(scene.base(), 0, 0, 10, 10);
  TestPicture& b = scene.Picture(scene.base(), 0, 0, 10, 10);
  TestPicture& child = scene.Picture(a, 0, 0, 5, 5);
  child.SetName("child");

  child.SetParent(&b);
  EXPECT_EQ(child.GetParent(), &b);
  EXPECT_EQ(a.ChildCount(), 0);
  EXPECT_EQ(ChildNames(b), std::vector<std::string>{"child"});

  // Through the property, by name; unknown names and the control's own child are ignored.
  b.SetProperty(PR_PARENT, std::string("object0"));
  EXPECT_EQ(b.GetParent(), &a);
  EXPECT_EQ(PropAsStr(b.GetProperty(PR_PARENT)), "object0");
  b.SetProperty(PR_PARENT, std::string("nobody"));
  EXPECT_EQ(b.GetParent(), &a);
  a.SetProperty(PR_PARENT, std::string("child"));
  EXPECT_EQ(a.GetParent(), &scene.base());
  a.SetParent(&a);
  EXPECT_EQ(a.GetParent(), &scene.base());

  // Without a parent the object list holds the control; it can come back later.
  a.SetParent(nullptr);
  EXPECT_EQ(a.GetParent(), nullptr);
  EXPECT_EQ(a.GetBase(), nullptr);
  EXPECT_EQ(child.GetBase(), nullptr);
  a.SetParent(&scene.base());
  EXPECT_EQ(child.GetBase(), &scene.base());
}

TEST(ObjectTree, TheParentOfABaseCannotBeSet) {
  Scene scene;
  TestPicture& picture = scene.Picture(scene.base(), 0, 0, 10, 10);
  picture.SetName("pic");
  scene.base().SetProperty(PR_PARENT, std::string("pic"));
  EXPECT_EQ(scene.base().GetParent(), nullptr);
}

TEST(ObjectTree, DeletingAParentFreesItsChildren) {
  Scene scene;
  TestPicture& parent = scene.Picture(scene.base(), 0, 0, 10, 10);
  TestPicture& child = scene.Picture(parent, 0, 0, 5, 5);
  scene.Picture(child, 0, 0, 2, 2);
  ASSERT_EQ(scene.list.registry().size(), 5u);
  const TNovuObject* child_address = &child;

  scene.list.ScheduleDeletion(parent);
  scene.list.ScheduleDeletion(child);  // freed with its parent before its own turn comes
  scene.list.FreeScheduled();
  EXPECT_EQ(scene.list.registry().size(), 2u);
  EXPECT_FALSE(scene.list.IsRegistered(child_address));
  EXPECT_EQ(scene.base().ChildCount(), 0);
}

TEST(ObjectTree, ReferencesToAFreedObjectAreCleared) {
  Scene scene;
  TestPicture& picture = scene.Picture(scene.base(), 0, 0, 10, 10);
  picture.SetEventLabel(PR_ONLBTNDOWN, "page.nsb:down");
  picture.SetEventLabel(PR_ONMOUSEOUT, "page.nsb:out");
  picture.LButtonDown();
  picture.MouseOut();
  ASSERT_EQ(scene.events().size(), 2u);
  scene.list.queue().entries()[0].level = 1;  // the first handler is running
  scene.list.RestoreFocus(&picture);

  scene.list.Free(picture);
  ASSERT_EQ(scene.events().size(), 1u);
  EXPECT_EQ(scene.events()[0].handler, "page.nsb:down");
  EXPECT_EQ(scene.events()[0].sender, nullptr);
  EXPECT_EQ(scene.list.FocusedControl(), nullptr);
  EXPECT_TRUE(scene.list.focus_requested());
}

TEST(ObjectTree, SiblingsSortByPriorityThenName) {
  Scene scene;
  TestPicture& high = scene.Picture(scene.base(), 0, 0, 1, 1);
  high.SetName("high");
  high.SetPriority(10);
  TestPicture& low = scene.Picture(scene.base(), 0, 0, 1, 1);
  low.SetName("low");
  low.SetPriority(5);
  TestPicture& beta = scene.Picture(scene.base(), 0, 0, 1, 1);
  beta.SetName("beta");
  TestPicture& alpha = scene.Picture(scene.base(), 0, 0, 1, 1);
  alpha.SetName("alpha");
  TestPicture& flip = scene.Picture(scene.base(), 0, 0, 1, 1);
  flip.AssignName(std::string(kTopmostName));
  flip.SetPriority(-100);
  TestPicture& internal = scene.Picture(scene.base(), 0, 0, 1, 1);
  internal.AssignName(
      "\x01"
      "cursor");
  internal.SetPriority(1000);
  scene.base().SortChildren();
  EXPECT_EQ(ChildNames(scene.base()),
            (std::vector<std::string>{"\x01"
                                      "cursor",
                                      "alpha", "beta", "low", "high", std::string(kTopmostName)}));

  // Changing a priority resorts at once; priorities near the limits do not overflow the sum.
  alpha.SetPriority(std::numeric_limits<int32_t>::max());
  alpha.set_order(std::numeric_limits<int32_t>::max());
  beta.SetPriority(std::numeric_limits<int32_t>::min());
  EXPECT_EQ(ChildNames(scene.base()),
            (std::vector<std::string>{"\x01"
                                      "cursor",
                                      "beta", "low", "high", "alpha", std::string(kTopmostName)}));
  EXPECT_EQ(alpha.order(), std::numeric_limits<int32_t>::max());
  alpha.SetPriority(3);
  EXPECT_EQ(alpha.order(), 0);
}

TEST(ObjectTree, NestingIsBounded) {
  Scene scene;
  TNovuControl* deepest = &scene.base();
  for (int depth = 1; depth <= kMaxNesting; ++depth) deepest = &scene.Picture(*deepest, 0, 0, 1, 1);
  TestPicture& extra = scene.Picture(scene.base(), 0, 0, 1, 1);
  scene.Picture(extra, 0, 0, 1, 1);
  extra.SetParent(deepest);
  EXPECT_EQ(extra.GetParent(), &scene.base());
  // A leaf still fits one level above the deepest control.
  TestPicture& leaf = scene.Picture(scene.base(), 0, 0, 1, 1);
  leaf.SetParent(deepest->GetParent());
  EXPECT_EQ(leaf.GetParent(), deepest->GetParent());
}

TEST(ObjectTree, AddingAChildBeyondTheNestingBoundIsRefused) {
  Scene scene;
  TNovuControl* deepest = &scene.base();
  for (int depth = 1; depth <= kMaxNesting; ++depth) deepest = &scene.Picture(*deepest, 0, 0, 1, 1);
  const size_t registered = scene.list.registry().size();
  EXPECT_THROW(scene.list.AddTo<TestPicture>(*deepest), NovuError);
  EXPECT_EQ(deepest->ChildCount(), 0);
  EXPECT_EQ(scene.list.registry().size(), registered);  // the refused child is freed
  // Components do not nest and are always taken; the list can still free them there.
  auto& timer = scene.list.AddTo<TPlainComponent>(*deepest, LT_TIMER);
  EXPECT_EQ(deepest->ChildCount(), 1);
  EXPECT_EQ(timer.GetParent(), nullptr);
  EXPECT_EQ(timer.holder(), deepest);
  EXPECT_TRUE(scene.base().ContainsDescendant(timer));
  scene.list.ScheduleDeletion(timer);
  scene.list.FreeScheduled();
  EXPECT_EQ(deepest->ChildCount(), 0);
}

class TestCabinet : public TNovuControl {
 public:
  using TNovuControl::TNovuControl;
  bool IsCabinet() const override { return true; }
  void CabinetEntered(TNovuControl& control) override { log.push_back("in " + control.name()); }
  void CabinetLeft(TNovuControl& control) override { log.push_back("out " + control.name()); }
  std::vector<std::string> log;
};

TEST(ObjectTree, MovingIntoOrOutOfACabinetTellsTheCabinet) {
  Scene scene;
  TestCabinet& cabinet = scene.list.AddTo<TestCabinet>(scene.base());
  TestPicture& shelf = scene.Picture(cabinet, 0, 0, 1, 1);
  TestPicture& picture = scene.Picture(scene.base(), 0, 0, 1, 1);
  picture.SetName("pic");
  TestPicture& child = scene.Picture(picture, 0, 0, 1, 1);

  picture.SetParent(&shelf);
  EXPECT_TRUE(child.InCabinet());
  picture.SetParent(&cabinet);  // still inside: no news
  picture.SetParent(&scene.base());
  EXPECT_FALSE(child.InCabinet());
  EXPECT_EQ(cabinet.log, (std::vector<std::string>{"in pic", "out pic"}));
}

TEST(ObjectTree, HidingOrDisablingKeysOfTheFocusedControlMovesTheFocus) {
  Scene scene;
  TestPicture& outer = scene.Picture(scene.base(), 0, 0, 10, 10);
  TestPicture& inner = scene.Picture(outer, 0, 0, 10, 10);
  inner.SetHandleKey(true);
  scene.list.ChooseFocus();
  ASSERT_EQ(scene.list.FocusedControl(), &inner);

  outer.SetVisible(false);
  EXPECT_EQ(scene.list.FocusedControl(), nullptr);
  EXPECT_TRUE(scene.list.focus_requested());
  scene.list.ChooseFocus();
  EXPECT_EQ(scene.list.FocusedControl(), nullptr);  // hidden controls are no candidates

  outer.SetVisible(true);
  EXPECT_TRUE(scene.list.focus_requested());
  scene.list.ChooseFocus();
  EXPECT_EQ(scene.list.FocusedControl(), &inner);
  inner.SetHandleKey(false);
  EXPECT_EQ(scene.list.FocusedControl(), nullptr);
}

TEST(ObjectTree, FocusCandidateIsTheTopmostKeyHandlingControl) {
  Scene scene;
  TestPicture& bottom = scene.Picture(scene.base(), 0, 0, 10, 10);
  TestPicture& top = scene.Picture(scene.base(), 0, 0, 10, 10);
  top.SetPriority(5);
  bottom.SetHandleKey(true);
  top.SetHandleKey(true);
  EXPECT_EQ(scene.base().FindFocusCandidate(), &top);
  top.paused = true;
  EXPECT_EQ(scene.base().FindFocusCandidate(), &bottom);
}

TEST(ObjectTree, InputIsActiveOnlyOnTheActiveBaseUnderVisibleAncestors) {
  Scene scene;
  TestPicture& outer = scene.Picture(scene.base(), 0, 0, 10, 10);
  TestPicture& inner = scene.Picture(outer, 0, 0, 10, 10);
  EXPECT_TRUE(inner.IsInputActive());
  outer.SetVisible(false);
  EXPECT_FALSE(inner.IsInputActive());
  outer.SetVisible(true);
  scene.list.SetActiveBase(1);
  EXPECT_FALSE(inner.IsInputActive());
  EXPECT_EQ(scene.list.FindControl(""), &scene.list.base(1));
  EXPECT_EQ(scene.list.FindControl("\x01"), &scene.list.base(0));
}

}  // namespace
}  // namespace novu
