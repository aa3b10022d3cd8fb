#include <gtest/gtest.h>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "engine/event_queue_stream.h"
#include "engine/script_event_queue.h"
#include "objects/base_list.h"
#include "objects/novu_timer.h"
#include "objects/object_factory.h"
#include "platform/error.h"

namespace novu {
namespace {

// An object list posting into an interpreter's queue, saved with it as the player does.
struct QueuedScene {
  QueuedScene() : list(MakeScriptObject) {
    list.SetSize(64, 48);
    list.SetProcessState(&state);
    list.SetEventQueue(&events, &streamer);
  }
  ~QueuedScene() { list.SetEventQueue(nullptr); }

  TNovuTimer& AddTimer(const std::string& name) {
    std::unique_ptr<TNovuObject> object = list.CreateByType(LT_TIMER);
    auto& timer = dynamic_cast<TNovuTimer&>(*object);
    list.AdoptRoot(std::move(object));
    timer.SetName(name);
    timer.SetProperty(PR_ONNOTIFY, std::string("h.nsb"));
    return timer;
  }
  std::vector<uint8_t> Save() {
    BinaryWriter out;
    list.SaveToStream(out);
    return out.Take();
  }

  ProcessState state;
  ScriptEventQueue events;
  TNovuBaseList list;
  ScriptEventQueueStreamer streamer{events, list};
};

TEST(EventQueueStream, RunningEntryKeepsItsLevelSoTheEventIsNotQueuedTwice) {
  QueuedScene scene;
  TNovuTimer& timer = scene.AddTimer("t");
  TNovuTimer& other = scene.AddTimer("gone");
  const std::vector<std::string> args = {"12", "x y"};
  scene.events.PostEvent(&timer, "h.nsb:go", args, PR_ONNOTIFY);
  scene.events.FirstPending()->level = 2;  // its handler is running
  scene.events.PostEvent(&other, "o.nsb", {}, PR_ONNOTIFY);
  scene.events.FirstPending()->level = 1;
  scene.list.ScheduleDeletion(other);
  scene.list.Update();  // the sender of the second entry is freed

  QueuedScene loaded;
  loaded.state.game_clock = 1000;
  const std::vector<uint8_t> saved = scene.Save();
  BinaryReader in(saved);
  loaded.list.LoadFromStream(in, kObjectLayoutVersion);
  ASSERT_EQ(loaded.events.size(), 2u);
  const ScriptEvent& running = loaded.events.entries()[0];
  const TNovuObject* t = loaded.list.FindComponent("t");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(running.handler, "h.nsb:go");
  EXPECT_EQ(running.object, t);
  EXPECT_EQ(running.sender, "t");
  EXPECT_EQ(running.level, 2);
  EXPECT_EQ(running.kind, PR_ONNOTIFY);
  EXPECT_EQ(running.args, args);
  // An entry saved without sender stays without one: not the shown screen.
  const ScriptEvent& orphan = loaded.events.entries()[1];
  EXPECT_EQ(orphan.object, nullptr);
  EXPECT_FALSE(orphan.sender.has_value());
  EXPECT_EQ(orphan.level, 1);

  // The timer is due, but its handler is still running: nothing new is queued.
  auto* loaded_timer = dynamic_cast<TNovuTimer*>(loaded.list.FindComponent("t"));
  loaded_timer->SetProperty(PR_DELAY, 0);
  loaded.list.Update();
  EXPECT_EQ(loaded.events.size(), 2u);
}

TEST(EventQueueStream, OldSavesKeepTheLevelInOneByte) {
  struct Case {
    uint8_t stored;
    int32_t level;
  };
  for (const Case& c : {Case{0, 0}, Case{1, 1}, Case{7, 1}}) {
    BinaryWriter out;
    out.I32(1);
    out.String("h.nsb");
    out.String("");
    out.U8(PR_ONNOTIFY);
    out.U8(c.stored);
    out.I32(0);
    QueuedScene scene;
    const std::vector<uint8_t> bytes = out.Take();
    BinaryReader in(bytes);
    LoadEventQueue(scene.events, scene.list, in, 113);
    ASSERT_EQ(scene.events.size(), 1u);
    EXPECT_EQ(scene.events.entries()[0].level, c.level) << int(c.stored);
    EXPECT_EQ(in.remaining(), 0u);
  }
}

TEST(EventQueueStream, MalformedQueueIsRefusedAndLeavesNothing) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  auto entry_then = [](int32_t count, int32_t arguments) {
    BinaryWriter out;
    out.I32(count);
    out.String("h.nsb");
    out.String("");
    out.U8(33);
    out.I32(0);
    out.I32(arguments);
    return out.Take();
  };
  const Case cases[] = {
      {"more entries than bytes", entry_then(1000000, 0)},
      {"negative count", entry_then(-1, 0)},
      {"more arguments than bytes", entry_then(1, 1 << 30)},
      {"cut short", {1, 0, 0, 0, 5, 0}},
  };
  for (const Case& c : cases) {
    QueuedScene scene;
    scene.events.PostEvent(nullptr, "old.nsb", {}, 33);
    BinaryReader in(c.bytes);
    EXPECT_THROW(LoadEventQueue(scene.events, scene.list, in, 130), NovuError) << c.what;
    EXPECT_EQ(scene.events.size(), 0u) << c.what;
  }
}

}  // namespace
}  // namespace novu
