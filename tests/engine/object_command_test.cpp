#include <gtest/gtest.h>

#include <algorithm>

#include "core/binary_reader.h"
#include "engine/object_commands.h"
#include "fingerprint.h"
#include "objects/base_list.h"
#include "objects/novu_timer.h"
#include "objects/object_factory.h"
#include "objects/plain_objects.h"
#include "objects/prop_motion.h"
#include "render/custom_dibx.h"
#include "script_world.h"

namespace novu {
namespace {

// Timers and motions as the player makes them; the drawn types as plain controls, so that the
// creators have something to build until their classes exist.
std::unique_ptr<TNovuObject> MakeWorldObject(ObjectList& list, uint8_t type) {
  if (auto object = MakeScriptObject(list, type)) return object;
  return MakePlainObject(list, type);
}

struct ObjectWorld : test::ScriptWorld {
  explicit ObjectWorld(TNovuBaseList::Factory factory = MakeWorldObject)
      : list(std::move(factory)) {
    list.SetSize(64, 48);
    list.SetProcessState(&state);
    list.SetEventQueue(&events);
  }
  ~ObjectWorld() override { list.SetEventQueue(nullptr); }
  TNovuBaseList* Objects() override { return &list; }

  void Run(const std::string& main, int ticks) {
    Page("main.nsb", main);
    Start("main.nsb");
    Frames(ticks);
  }
  // Ticks with the object update after the scripts, as the frame loop runs them.
  void Frames(int ticks) {
    for (int i = 0; i < ticks; ++i) {
      Tick();
      list.Update();
    }
  }
  TNovuObject* Find(std::string_view name) const { return list.FindByName(name); }
  std::vector<std::string> ChildNames(const TNovuControl& parent) const {
    std::vector<std::string> names;
    for (const auto& child : parent.children()) names.push_back(child->name());
    std::sort(names.begin(), names.end());
    return names;
  }
  TNovuControl& Front() { return list.active_base(); }
  TNovuControl& Back() { return list.base(1 - list.active_index()); }

  TNovuBaseList list;
};

TEST(ObjectCommand, TimerCreatorAppliesItsPropertiesAndGetPropReadsThem) {
  ObjectWorld w;
  w.Run(R"(VarNew "delay" type=int
VarNew "label" type=string
Timer PR_NAME=`"t"` PR_ONNOTIFY=`"tick.nsb"` PR_DELAY=`250` PR_PAUSED=`TRUE`
GetProp `"t"` `26` target="delay"
GetProp `"t"` `33` target="label"
)",
        1);
  auto* timer = dynamic_cast<TNovuTimer*>(w.Find("t"));
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->paused());
  EXPECT_EQ(w.Int("delay"), 250);
  EXPECT_EQ(w.Str("label"), "tick.nsb");
}

TEST(ObjectCommand, CreatorDefaultsAndParent) {
  ObjectWorld w;
  // The colour expression gives no value (an unknown variable), the parent names nothing.
  w.Run(R"(BoxNew PR_NAME=`"b"` PR_PARENT=`"nobody"` PR_COLOR=`missing` PR_LEFT=`7`
BoxNew PR_NAME=`"c"` PR_PARENT=`"b"`
BoxNew PR_LEFT=`3`
)",
        1);
  TNovuControl* b = w.list.FindControl("b");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->color(), -1);
  EXPECT_EQ(b->left(), 7);
  EXPECT_EQ(b->GetParent(), &w.Front());
  EXPECT_EQ(w.list.FindControl("c")->GetParent(), b);
  // Without a name the automatic one stays; without a parent the control is on the screen.
  EXPECT_EQ(w.ChildNames(w.Front()).size(), 2u);
}

TEST(ObjectCommand, CreatorWithoutAClassOnlyEvaluatesItsExpressions) {
  ObjectWorld w(MakeScriptObject);  // as in the player: boxes have no class yet
  w.Run(R"(VarNew "x" type=int
BoxNew PR_NAME=`"b"` PR_LEFT=`x = 5`
)",
        1);
  EXPECT_EQ(w.Int("x"), 5);
  EXPECT_EQ(w.Find("b"), nullptr);
  EXPECT_EQ(w.list.active_base().ChildCount(), 0);
}

TEST(ObjectCommand, SetPropChangesAndErrorsDoNotStallTheScript) {
  ObjectWorld w;
  w.Run(R"(VarNew "v" type=int value=`-5`
VarNew "after" type=int
Timer PR_NAME=`"t"` PR_DELAY=`100`
SetProp `"t"` `26` `400`
SetProp `"t"` `missing` `1`
GetProp `"t"` `163` target="v"
GetProp `"nobody"` `26` target="v"
SetProp `"nobody"` `26` `1`
GetProp `"t"` `26` target="v"
Calc `after = 1`
)",
        1);
  EXPECT_EQ(w.Int("v"), 400);
  EXPECT_EQ(w.Int("after"), 1);
}

TEST(ObjectCommand, ObjDelDeletesAtTheEndOfTheFrameButNeverAScreen) {
  ObjectWorld w;
  w.Run(R"(BoxNew PR_NAME=`"b"`
Timer PR_NAME=`"t"`
ObjDel `"b"`
ObjDel `"t"`
ObjDel `""`
)",
        1);
  EXPECT_EQ(w.Find("b"), nullptr);
  EXPECT_EQ(w.Find("t"), nullptr);
  EXPECT_EQ(w.list.base(0).name(),
            "\x01"
            "BASE0");
  EXPECT_EQ(w.list.base(1).name(),
            "\x01"
            "BASE1");
}

// A control that fills its bounds with its colour.
class FillBox final : public TNovuControl {
 public:
  using TNovuControl::TNovuControl;
  ComponentType GetType() const override { return LT_BOX; }

 protected:
  void DrawSelf(render::TCustomDIBX& surface) override {
    surface.FillRect(GetBoundsRect(), static_cast<uint32_t>(surface.ColorToPixel(color())));
  }
};

std::unique_ptr<TNovuObject> MakeFillingObject(ObjectList& list, uint8_t type) {
  if (type == LT_BOX) return MakeObject<FillBox>(&list);
  return MakeWorldObject(list, type);
}

TEST(ObjectCommand, DeletedControlsLeaveNoPixelsBehind) {
  for (const char* deleted : {"p", "c"}) {
    ObjectWorld w(MakeFillingObject);
    w.list.base(0).SetColor(0x000000);
    w.Run(R"(BoxNew PR_NAME=`"p"` PR_LEFT=`4` PR_TOP=`4` PR_WIDTH=`30` PR_HEIGHT=`30` PR_COLOR=`255`
BoxNew PR_NAME=`"c"` PR_PARENT=`"p"` PR_LEFT=`2` PR_TOP=`2` PR_WIDTH=`10` PR_HEIGHT=`10` PR_COLOR=`65280`
)",
          1);
    render::TCustomDIBX& screen = w.list.ScreenSurface();
    auto paint = [&w] {
      w.list.Paint();
      w.list.ClearDirty();
    };
    paint();
    const uint32_t background = screen.GetPixel(60, 40);
    ASSERT_NE(screen.GetPixel(20, 20), background);             // the parent's red
    ASSERT_NE(screen.GetPixel(8, 8), screen.GetPixel(20, 20));  // the child's green
    w.Page("del.nsb", std::string("ObjDel `\"") + deleted + "\"`\n");
    w.Start("del.nsb");
    w.Frames(1);
    paint();
    if (std::string(deleted) == "p") {
      // The parent takes its child with it: both areas show the screen again.
      EXPECT_EQ(screen.GetPixel(20, 20), background);
      EXPECT_EQ(screen.GetPixel(8, 8), background);
    } else {
      EXPECT_EQ(screen.GetPixel(8, 8), screen.GetPixel(20, 20));
      EXPECT_NE(screen.GetPixel(8, 8), background);
    }
  }
}

TEST(ObjectCommand, PropMotionCommandSetsUpTheMotion) {
  ObjectWorld w;
  w.Run(R"(Timer PR_NAME=`"t"` PR_PAUSED=`TRUE`
PropMotion `"m"` `"t"` `26` `1000` `100` `2` `FALSE`
)",
        1);
  auto* motion = dynamic_cast<TNovuPropMotion*>(w.Find("m"));
  ASSERT_NE(motion, nullptr);
  EXPECT_EQ(motion->target_name(), "t");
  EXPECT_EQ(motion->property_id(), 26);
  w.Frames(10);
  EXPECT_EQ(w.Find("m"), nullptr);
  EXPECT_EQ(dynamic_cast<TNovuTimer*>(w.Find("t"))->interval(), 1000);
}

TEST(ObjectCommand, PropMotionWithoutPropertyNumberFailsAndGoesAway) {
  ObjectWorld w;
  w.Run(R"(VarNew "after" type=int
PropMotion `"m"` `"t"` `missing` `1000` `100` `0`
Calc `after = 1`
)",
        2);
  EXPECT_EQ(w.Int("after"), 1);
  EXPECT_EQ(w.Find("m"), nullptr);
}

TEST(ObjectCommand, CabinetsFollowTheNameListRule) {
  struct Case {
    const char* what;
    const char* invert;
    const char* names;
    std::vector<std::string> stored;
  };
  const Case cases[] = {
      {"inverted empty list stores all", "TRUE", "", {"a", "b", "c"}},
      {"plain empty list stores none", "FALSE", "", {}},
      {"plain list stores the listed", "FALSE", "`\"a\"` `\"c\"`", {"a", "c"}},
      {"inverted list stores the others", "TRUE", "`\"a\"`", {"b", "c"}},
  };
  for (const Case& c : cases) {
    ObjectWorld w;
    // Controls on the back screen: made on the front one, then the screens swap.
    w.Run(std::string(R"(BoxNew PR_NAME=`"a"`
BoxNew PR_NAME=`"b"`
BoxNew PR_NAME=`"c"`
Flip
SaveCabinet PR_NAME=`"cab"` invert=`)") +
              c.invert + "` names=[ " + c.names + " ]\n",
          3);
    TNovuObject* cabinet = w.Find("cab");
    if (c.stored.empty()) {
      EXPECT_EQ(cabinet, nullptr) << c.what;
      EXPECT_EQ(w.ChildNames(w.Back()).size(), 3u) << c.what;
      continue;
    }
    ASSERT_NE(cabinet, nullptr) << c.what;
    EXPECT_EQ(w.ChildNames(*cabinet->AsControl()), c.stored) << c.what;
    EXPECT_EQ(cabinet->AsControl()->GetParent(), &w.list.base(0)) << c.what;
  }
}

TEST(ObjectCommand, LoadCabinetBringsControlsBackAndDropsTheEmptyCabinet) {
  ObjectWorld w;
  w.Run(R"(BoxNew PR_NAME=`"a"`
BoxNew PR_NAME=`"b"`
Flip
SaveCabinet PR_NAME=`"cab"` invert=`TRUE`
LoadCabinet PR_NAME=`"cab"` invert=`FALSE` names=[ `"b"` ]
)",
        3);
  ASSERT_NE(w.Find("cab"), nullptr);
  EXPECT_EQ(w.ChildNames(w.Back()), (std::vector<std::string>{"b", "cab"}));
  w.Page("more.nsb", R"(LoadCabinet PR_NAME=`"cab"` invert=`TRUE`
)");
  w.Start("more.nsb");
  w.Frames(2);
  EXPECT_EQ(w.Find("cab"), nullptr);
  EXPECT_EQ(w.ChildNames(w.Back()), (std::vector<std::string>{"a", "b"}));
}

TEST(ObjectCommand, FlipWithoutDurationSwitchesInItsFirstExecution) {
  ObjectWorld w;
  w.Run(R"(VarNew "after" type=int
Flip mode=`0`
Calc `after = 1`
)",
        1);
  EXPECT_EQ(w.list.active_index(), 1);
  EXPECT_EQ(w.Int("after"), 1);
}

TEST(ObjectCommand, FlipWithDurationWaitsAndOddKindsSwitchPlainly) {
  for (const char* kind : {"5", "-1", "39", "100000"}) {
    ObjectWorld w;
    w.Run(std::string("Flip kind=`") + kind + "` duration=`100`\n", 1);
    const FlipProgress* flip = w.calls->Progress<FlipProgress>();
    ASSERT_NE(flip, nullptr) << kind;
    EXPECT_EQ(flip->kind, std::string(kind) == "5" ? 5 : 0) << kind;
    // The first tick is the start; the transition then runs its 100 ms.
    w.Frames(7);
    EXPECT_EQ(w.list.active_index(), 0) << kind;
    w.Frames(2);
    EXPECT_EQ(w.list.active_index(), 1) << kind;
  }
}

TEST(ObjectCommand, FlipModesCarryTheRightControls) {
  struct Case {
    const char* mode;
    std::vector<std::string> carried;
  };
  const Case cases[] = {
      {"1", {"a", "b"}},  // FL_STAY: the listed ones
      {"0", {"c"}},       // FL_OUT: all but the listed ones
      {"7", {}},          // any other mode: none
  };
  for (const Case& c : cases) {
    ObjectWorld w;
    w.Run(std::string(R"(BoxNew PR_NAME=`"a"`
BoxNew PR_NAME=`"b"`
BoxNew PR_NAME=`"c"`
Flip mode=`)") +
              c.mode +
              R"(` names=[ `"a\nb"` ]
)",
          1);
    EXPECT_EQ(w.list.active_index(), 1) << c.mode;
    EXPECT_EQ(w.ChildNames(w.Front()), c.carried) << c.mode;
  }
}

TEST(ObjectCommand, FlipHideBackDeletesWhatStaysBehindExceptCabinets) {
  ObjectWorld w;
  // Screen 0 ends up holding b and the cabinet (with a); the last Flip carries nothing away.
  w.Run(R"(BoxNew PR_NAME=`"a"`
BoxNew PR_NAME=`"b"`
Flip
SaveCabinet PR_NAME=`"cab"` names=[ `"a"` ]
Flip
Flip mode=`1` hideback=`TRUE`
)",
        10);
  EXPECT_EQ(w.list.active_index(), 1);
  EXPECT_EQ(w.Find("b"), nullptr);
  ASSERT_NE(w.Find("cab"), nullptr);
  EXPECT_NE(w.Find("a"), nullptr);
}

TEST(ObjectCommand, FlipYieldsToEventsUnlessItBlocksThem) {
  for (const bool block : {false, true}) {
    ObjectWorld w;
    w.Page("h.nsb", "Calc `seen = seen + 1`\n");
    w.Run(std::string(R"(VarNew "seen" type=int
Timer PR_ONNOTIFY=`"h.nsb"` PR_DELAY=`30`
Flip duration=`300` block=`)") +
              (block ? "TRUE" : "FALSE") + "`\nWait time=`10000`\n",
          8);
    EXPECT_EQ(w.list.active_index(), 0) << block;
    EXPECT_EQ(w.Int("seen") > 0, !block) << block;
  }
}

TEST(ObjectCommand, FlipStateSurvivesAnInterruption) {
  ObjectWorld w;
  w.Run("Flip duration=`100` block=`FALSE` hideback=`TRUE`\n", 1);
  FlipProgress* flip = w.calls->Progress<FlipProgress>();
  ASSERT_NE(flip, nullptr);
  std::optional<std::vector<uint8_t>> state = SaveProgress(*flip);
  ASSERT_TRUE(state.has_value());
  EXPECT_EQ(std::string(state->begin(), state->begin() + 7), "novu100");
  ASSERT_EQ(state->size(), 9u);
  (*state)[7] = 1;  // block-events
  BinaryReader in(*state);
  LoadProgress(*flip, in);
  EXPECT_TRUE(flip->BlocksEvents());
}

TEST(ObjectCommand, FlipStateKeepsItsSavedForm) {
  for (const auto& [page, fingerprint] :
       {std::pair{"Flip duration=`100` block=`FALSE` hideback=`TRUE`\n", "20f06ff0b9296e29"},
        std::pair{"Flip duration=`100` block=`TRUE`\n", "20f3d4f0b92c4f9f"}}) {
    ObjectWorld w;
    w.Run(page, 1);
    const FlipProgress* flip = w.calls->Progress<FlipProgress>();
    ASSERT_NE(flip, nullptr);
    std::optional<std::vector<uint8_t>> state = SaveProgress(*flip);
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(testing::Fingerprint(std::string(state->begin(), state->end())), fingerprint) << page;
  }
}

}  // namespace
}  // namespace novu
