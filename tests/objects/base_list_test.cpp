#include <gtest/gtest.h>

#include "base_list_fixtures.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"

namespace novu::testing {
namespace {

TEST(BaseListUpdate, DeletionDuringThePassHidesTheNameAtOnceAndFreesAtTheEnd) {
  BaseScene s;
  Panel& doomed = s.Add("doomed", {0, 0, 10, 10});
  Panel& killer = s.Add("killer", {0, 0, 10, 10});
  Panel& later = s.Add("later", {0, 0, 10, 10});
  bool found_after_delete = true;
  bool registered_during_pass = false;
  killer.on_update = [&] {
    s.list.ScheduleDeletion(doomed);
    found_after_delete =
        s.list.FindControl("doomed") != nullptr || s.list.FindComponent("doomed") != nullptr;
    registered_during_pass = s.list.IsRegistered(&doomed);
  };
  later.on_update = [&] { registered_during_pass &= s.list.IsRegistered(&doomed); };
  s.list.Update();
  EXPECT_FALSE(found_after_delete);
  EXPECT_TRUE(registered_during_pass);
  EXPECT_EQ(s.list.IndexOf(&doomed), -1);
  EXPECT_EQ(later.updates, 1);
}

TEST(BaseListUpdate, ObjectEndingItselfIsFreedAndTheWalkVisitsEveryOtherOnce) {
  BaseScene s;
  // The child is registered before its parent, so freeing the parent removes an object the
  // walk has already passed.
  Panel& child = s.Add("child", {0, 0, 10, 10});
  Panel& parent = s.Add("parent", {0, 0, 50, 50});
  Panel& last = s.Add("last", {0, 0, 10, 10});
  child.SetParent(&parent);
  parent.update_result = 1;
  s.list.Update();
  EXPECT_EQ(s.list.FindControl("parent"), nullptr);
  EXPECT_EQ(s.list.FindControl("child"), nullptr);
  EXPECT_EQ(last.updates, 1);
  s.list.Update();
  EXPECT_EQ(last.updates, 2);
}

TEST(BaseListUpdate, IdleLabelIsPostedOnceWhileQueued) {
  BaseScene s;
  Panel& p = s.Add("p", {0, 0, 10, 10});
  p.on_idle = "idle";
  s.list.Update();
  s.list.Update();
  EXPECT_EQ(s.events().size(), 1u);
  s.events().clear();  // the interpreter took it
  s.list.Update();
  EXPECT_EQ(s.events().size(), 1u);
}

TEST(BaseListUpdate, ObjectsInACabinetAreNotUpdated) {
  BaseScene s;
  auto cabinet_object = s.list.CreateByType(LT_CABINET);
  ASSERT_NE(cabinet_object, nullptr);
  auto& cabinet = static_cast<TNovuControl&>(*cabinet_object);
  s.list.base(0).AddChild(std::move(cabinet_object));
  Panel& stored = s.Add("stored", {0, 0, 10, 10}, &cabinet);
  s.list.Update();
  EXPECT_EQ(stored.updates, 0);
  EXPECT_FALSE(cabinet.IsVisible());
}

TEST(BaseListNames, BasesAnswerToTheirSpecialNames) {
  BaseScene s;
  s.list.SetActiveBase(1);
  EXPECT_EQ(s.list.FindControl(""), &s.list.base(1));
  EXPECT_EQ(s.list.FindControl("\x01"), &s.list.base(0));
  EXPECT_EQ(s.list.FindControl("\x01"
                               "BASE0"),
            &s.list.base(0));
  EXPECT_EQ(s.list.FindComponent("\x01"
                                 "BASE0"),
            &s.list.base(1));
  EXPECT_EQ(s.list.FindComponent("\x01"
                                 "BASE1"),
            &s.list.base(0));
  EXPECT_EQ(s.list.CreateByType(200), nullptr);
}

// Fills the screen with a marker so that a repaint shows where it happened.
void Smudge(render::TCustomDIBX& surface, uint32_t marker) {
  surface.ResetClip();
  surface.FillRect({0, 0, surface.Width(), surface.Height()}, marker);
}

TEST(BaseListPaint, OnlyDirtyRegionsAreRepaintedInPriorityOrder) {
  BaseScene s;
  render::TCustomDIBX& screen = s.list.ScreenSurface();
  s.list.base(0).SetColor(-1);
  Panel& back = s.Add("back", {100, 100, 300, 300});
  Panel& front = s.Add("front", {200, 200, 400, 400});
  back.fill = 0x111111;
  front.fill = 0x222222;
  front.SetPriority(5);
  back.SetPriority(1);
  s.list.Paint();
  s.list.ClearDirty();
  Smudge(screen, 0xABCDEF);

  s.list.base(0).InvalidateRect({150, 150, 250, 250});
  s.list.Paint();
  EXPECT_EQ(screen.GetPixel(160, 160), 0x111111u);  // back only
  EXPECT_EQ(screen.GetPixel(240, 240), 0x222222u);  // front over back
  EXPECT_EQ(screen.GetPixel(260, 260), 0xABCDEFu);  // outside the dirty region
  EXPECT_EQ(screen.GetPixel(120, 120), 0xABCDEFu);
}

TEST(BaseListPaint, FlipShowsTheOtherBaseAtOnce) {
  BaseScene s;
  Panel& second = s.Add("second", {0, 0, 50, 50}, &s.list.base(1));
  second.fill = 0x444444;
  s.list.Paint();
  s.list.ClearDirty();
  s.list.SetActiveBase(1);
  s.list.Paint();
  EXPECT_EQ(s.list.ScreenSurface().GetPixel(10, 10), 0x444444u);
  EXPECT_EQ(&s.list.active_base(), &s.list.base(1));
}

TEST(BaseListPaint, InactiveBaseDrawsIntoItsOwnSurface) {
  BaseScene s;
  Panel& hidden = s.Add("hidden", {0, 0, 50, 50}, &s.list.base(1));
  hidden.fill = 0x333333;
  Smudge(s.list.ScreenSurface(), 0xABCDEF);
  s.list.base(0).ClearDirty();
  s.list.Paint();
  EXPECT_EQ(s.list.ScreenSurface().GetPixel(10, 10), 0xABCDEFu);
  EXPECT_EQ(s.list.base(1).own_surface().GetPixel(10, 10), 0x333333u);
}

std::vector<uint8_t> SaveScene(const TNovuBaseList& list) {
  BinaryWriter out;
  list.SaveToStream(out);
  return out.bytes();
}

TEST(BaseListNames, BasesKeepTheirNamesWhateverRenamesThem) {
  const std::string names[2] = {
      "\x01"
      "BASE0",
      "\x01"
      "BASE1"};
  // Renamed by a script command, by a property write (motions set properties) and to an empty
  // name: each base keeps its name, and a save round trip gives the same bytes.
  for (int index : {0, 1}) {
    BaseScene s;
    TNovuBase& base = s.list.base(index);
    base.SetName("0");
    base.SetProperty(PR_NAME, std::string("renamed"));
    base.SetName("");
    EXPECT_EQ(base.name(), names[index]);
    EXPECT_EQ(std::get<std::string>(base.GetProperty(PR_NAME)), names[index]);
    const std::vector<uint8_t> saved = SaveScene(s.list);
    BaseScene t;
    BinaryReader in(saved);
    t.list.LoadFromStream(in, kObjectLayoutVersion);
    EXPECT_EQ(SaveScene(t.list), saved);
  }
}

TEST(BaseListSave, RoundTripKeepsObjectsComponentsEventsAndFocus) {
  BaseScene s;
  Panel& field = s.Add("field", {10, 20, 30, 40}, &s.list.base(1));
  field.SetHandleKey(true);
  s.list.SetActiveBase(1);
  s.Add("inner", {1, 2, 3, 4}, &field);
  auto timer = s.list.CreateByType(LT_TIMER);
  timer->SetName("clock");
  s.list.AdoptRoot(std::move(timer));
  auto sound = s.list.CreateByType(LT_SOUND);
  sound->SetName("voice");
  field.AddChild(std::move(sound));  // saved once, with the field
  s.Frame();                         // focus on `field`
  const std::string args[] = {"1", "2"};
  field.PostEvent("page.nsb:label", args, PR_ONLBTNDOWN);
  const std::vector<uint8_t> saved = SaveScene(s.list);

  BaseScene t;
  BinaryReader in(saved);
  t.list.LoadFromStream(in, kObjectLayoutVersion);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(t.list.active_index(), 1);
  TNovuControl* loaded = t.list.FindControl("field");
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetBase(), &t.list.base(1));
  EXPECT_NE(t.list.FindControl("inner"), nullptr);
  EXPECT_NE(t.list.FindComponent("clock"), nullptr);
  std::vector<std::string> sounds;
  EXPECT_EQ(t.list.ListNames(sounds, LT_SOUND, nullptr), 1);
  EXPECT_EQ(t.list.FindComponent("voice")->holder(), loaded);
  EXPECT_EQ(t.list.FocusedControl(), loaded);
  ASSERT_EQ(t.events().size(), 1u);
  EXPECT_EQ(t.events()[0].sender, loaded);
  EXPECT_EQ(t.events()[0].arguments, (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(SaveScene(t.list), saved);
}

TEST(BaseListSave, AControlAmongTheComponentsIsRefused) {
  // The saver writes controls with their parents only; a control in the component section would
  // load as a loose object that no later save writes again.
  BaseScene s;
  std::vector<uint8_t> bytes = SaveScene(s.list);
  bytes.resize(bytes.size() - 12);  // no components, no events, no focus
  BinaryWriter tail;
  tail.I32(1);
  std::unique_ptr<TNovuObject> cabinet = s.list.CreateByType(LT_CABINET);
  ASSERT_NE(cabinet->AsControl(), nullptr);
  tail.U8(LT_CABINET);
  cabinet->SaveToStream(tail);
  tail.I32(0);
  tail.I32(0);
  bytes.insert(bytes.end(), tail.bytes().begin(), tail.bytes().end());

  BaseScene t;
  BinaryReader in(bytes);
  EXPECT_THROW(t.list.LoadFromStream(in, kObjectLayoutVersion), NovuError);
  EXPECT_EQ(t.list.registry().size(), 2u);  // the two fresh bases
}

TEST(BaseListSave, RefusedSavesLeaveAnEmptyScene) {
  BaseScene s;
  s.Add("a", {0, 0, 5, 5});
  const std::vector<uint8_t> saved = SaveScene(s.list);

  struct Case {
    const char* name;
    std::function<void(std::vector<uint8_t>&, TNovuBaseList&)> spoil;
  };
  const Case cases[] = {
      {"other screen size", [](auto&, TNovuBaseList& l) { l.SetSize(640, 480); }},
      {"truncated", [](std::vector<uint8_t>& b, auto&) { b.resize(b.size() - 3); }},
      {"bad base index", [](std::vector<uint8_t>& b, auto&) { b[8] = 7; }},
  };
  for (const Case& c : cases) {
    BaseScene t;
    t.Add("kept?", {0, 0, 5, 5});
    std::vector<uint8_t> bytes = saved;
    c.spoil(bytes, t.list);
    BinaryReader in(bytes);
    EXPECT_THROW(t.list.LoadFromStream(in, kObjectLayoutVersion), NovuError) << c.name;
    EXPECT_EQ(t.list.FindControl("a"), nullptr) << c.name;
    EXPECT_EQ(t.list.FindControl("kept?"), nullptr) << c.name;
    EXPECT_EQ(t.list.registry().size(), 2u) << c.name;  // the two fresh bases
  }
}

}  // namespace
}  // namespace novu::testing

namespace novu::testing {
namespace {

TEST(BaseListEvents, OutsideQueueTakesPostsAndIsSavedByItsOwner) {
  MemoryEventQueue outside;  // outlives the scene: its objects remove their events as they go
  struct CountingStreamer final : TNovuBaseList::EventQueueStreamer {
    mutable int saves = 0;
    int loads = 0;
    void SaveQueue(BinaryWriter& out) const override {
      ++saves;
      out.I32(0);
    }
    void LoadQueue(BinaryReader& in, int32_t) override {
      ++loads;
      in.I32();
    }
  } streamer;
  BaseScene s;
  s.list.SetEventQueue(&outside, &streamer);
  Panel& p = s.Add("p", {0, 0, 10, 10});
  p.SetEventLabel(PR_ONMOUSEIN, "in");
  s.list.input().MouseMove(5, 5);
  s.Frame();
  EXPECT_TRUE(s.events().empty());
  ASSERT_EQ(outside.entries().size(), 1u);
  EXPECT_EQ(outside.entries()[0].sender, &p);

  BinaryWriter out;
  s.list.SaveToStream(out);
  BinaryReader in(out.bytes());
  s.list.LoadFromStream(in, kObjectLayoutVersion);
  EXPECT_EQ(streamer.saves, 1);
  EXPECT_EQ(streamer.loads, 1);
  EXPECT_NE(s.list.FindControl("p"), nullptr);
  // The freed `p` took its pending events with it.
  EXPECT_TRUE(outside.entries().empty());
}

}  // namespace
}  // namespace novu::testing

namespace novu::testing {
namespace {

TEST(BaseListScreens, RefusedSizesChangeNothing) {
  BaseScene s;
  EXPECT_THROW(s.list.SetSize(100000, 600), NovuError);
  EXPECT_EQ(s.list.width(), 800);
  EXPECT_EQ(s.list.ScreenSurface().Width(), 800);
  EXPECT_EQ(s.list.base(1).own_surface().Width(), 800);
  EXPECT_EQ(s.list.base(0).width(), 800);
  s.list.SetSize(0, -5);  // the smallest screen is one pixel
  EXPECT_EQ(s.list.width(), 1);
  EXPECT_EQ(s.list.ScreenSurface().Height(), 1);
}

}  // namespace
}  // namespace novu::testing

namespace novu::testing {
namespace {

TEST(BaseListNames, ListNamesFiltersByTypeAndHolder) {
  BaseScene s;
  Panel& box = s.Add("box", {0, 0, 10, 10});
  s.Add("inner", {0, 0, 5, 5}, &box);
  auto sound = s.list.CreateByType(LT_SOUND);
  sound->SetName("voice");
  box.AddChild(std::move(sound));
  auto timer = s.list.CreateByType(LT_TIMER);
  timer->SetName("clock");
  s.list.AdoptRoot(std::move(timer));
  s.list.ScheduleDeletion(*s.list.FindComponent("clock"));

  struct Case {
    uint8_t type;
    const TNovuControl* holder;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {LT_BOX, nullptr, {"box", "inner"}},
      {LT_SOUND, nullptr, {"voice"}},
      {0, &box, {"inner", "voice"}},
      {LT_TIMER, nullptr, {}},  // waiting for deletion
  };
  for (const Case& c : cases) {
    std::vector<std::string> names{"kept"};
    EXPECT_EQ(s.list.ListNames(names, c.type, c.holder), static_cast<int32_t>(c.names.size()));
    names.erase(names.begin());
    EXPECT_EQ(names, c.names) << int{c.type};
  }
}

}  // namespace
}  // namespace novu::testing

namespace novu::testing {
namespace {

TEST(BaseListSave, QueuedEventsKeepTheirSenderWhicheverBaseIsShown) {
  BaseScene s;
  s.list.SetActiveBase(1);
  s.list.base(0).PostEvent("base0.nsb", {}, PR_ONIDLE);
  s.list.base(1).PostEvent("base1.nsb", {}, PR_ONIDLE);
  BinaryWriter out;
  s.list.SaveToStream(out);

  BaseScene t;
  BinaryReader in(out.bytes());
  t.list.LoadFromStream(in, kObjectLayoutVersion);
  ASSERT_EQ(t.events().size(), 2u);
  EXPECT_EQ(t.events()[0].sender, &t.list.base(0));
  EXPECT_EQ(t.events()[1].sender, &t.list.base(1));
}

}  // namespace
}  // namespace novu::testing
