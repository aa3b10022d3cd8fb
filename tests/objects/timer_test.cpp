#include <gtest/gtest.h>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "timed_scene.h"

namespace novu::testing {
namespace {

TNovuTimer& MakeTimer(TimedScene& scene, int32_t interval, const std::string& handler = "h.nsb") {
  TNovuTimer& timer = scene.Create<TNovuTimer>("t");
  timer.SetProperty(PR_ONNOTIFY, handler);
  timer.SetProperty(PR_DELAY, interval);
  return timer;
}

size_t CountNotify(TimedScene& scene) {
  size_t n = 0;
  for (const auto& e : scene.events()) n += e.event_id == PR_ONNOTIFY ? 1 : 0;
  return n;
}

TEST(TimerTest, PostsOncePerIntervalAndNeverQueuesTwice) {
  TimedScene scene;
  MakeTimer(scene, 100);
  std::vector<int32_t> posted_at;
  for (int i = 0; i < 30; ++i) {
    scene.Frame(15);
    if (!scene.events().empty()) {
      posted_at.push_back(scene.state.game_clock);
      ASSERT_EQ(scene.events().size(), 1u);
      EXPECT_EQ(scene.events()[0].handler, "h.nsb");
      scene.events().clear();  // the interpreter took it
    }
  }
  // The firing time advances by the interval, not to the frame that noticed it.
  EXPECT_EQ(posted_at, (std::vector<int32_t>{105, 210, 300, 405}));
}

TEST(TimerTest, LateFramesCatchUpOneIntervalAtATime) {
  TimedScene scene;
  TNovuTimer& timer = MakeTimer(scene, 1000);
  scene.Frame(1000);
  ASSERT_EQ(CountNotify(scene), 1u);
  // The handler runs for three and a half seconds: nothing more is queued meanwhile.
  scene.events()[0].level = 1;
  scene.Frame(3500);
  EXPECT_EQ(CountNotify(scene), 1u);
  EXPECT_EQ(timer.last_firing(), 2000);
  scene.events().clear();
  // Once the handler has returned, each frame catches up one interval and posts again.
  std::vector<int32_t> firings;
  std::vector<size_t> posts;
  for (int i = 0; i < 3; ++i) {
    scene.Frame(0);
    firings.push_back(timer.last_firing());
    posts.push_back(CountNotify(scene));
    scene.events().clear();
  }
  EXPECT_EQ(firings, (std::vector<int32_t>{3000, 4000, 4000}));
  EXPECT_EQ(posts, (std::vector<size_t>{1, 1, 0}));
  scene.Frame(500);
  EXPECT_EQ(timer.last_firing(), 5000);
}

TEST(TimerTest, IntervalZeroPostsWheneverThePreviousWasTaken) {
  TimedScene scene;
  MakeTimer(scene, 0);
  scene.Frame(15);
  scene.Frame(15);
  EXPECT_EQ(CountNotify(scene), 1u);
  scene.events().clear();
  scene.Frame(15);
  EXPECT_EQ(CountNotify(scene), 1u);
}

TEST(TimerTest, StoppedTimersNeverFire) {
  struct Case {
    const char* what;
    int32_t interval;
    bool paused;
  };
  for (const Case& c : {Case{"negative interval", -1, false}, Case{"paused", 10, true}}) {
    TimedScene scene;
    TNovuTimer& timer = MakeTimer(scene, c.interval);
    timer.SetProperty(PR_PAUSED, c.paused);
    for (int i = 0; i < 10; ++i) scene.Frame(100);
    EXPECT_TRUE(scene.events().empty()) << c.what;
    EXPECT_FALSE(timer.fired()) << c.what;
  }
}

TEST(TimerTest, ChangingTheIntervalDropsThePendingEventAndRestartsTheCount) {
  TimedScene scene;
  TNovuTimer& timer = MakeTimer(scene, 100);
  scene.Frame(120);
  ASSERT_EQ(CountNotify(scene), 1u);
  timer.SetProperty(PR_DELAY, 50);
  EXPECT_TRUE(scene.events().empty());
  EXPECT_EQ(timer.last_firing(), 120);
  scene.Frame(40);
  EXPECT_TRUE(scene.events().empty());
  scene.Frame(10);
  EXPECT_EQ(CountNotify(scene), 1u);
}

TEST(TimerTest, ChangingTheIntervalWhileItsHandlerRunsQueuesNothingMore) {
  TimedScene scene;
  TNovuTimer& timer = MakeTimer(scene, 100);
  scene.Frame(100);
  ASSERT_EQ(scene.events().size(), 1u);
  scene.events()[0].level = 1;  // the handler runs and sets a new interval
  timer.SetProperty(PR_DELAY, 0);
  scene.Frame(15);
  scene.Frame(15);
  ASSERT_EQ(scene.events().size(), 1u);
  EXPECT_EQ(scene.events()[0].sender, &timer);
}

TEST(TimerTest, AutoScrapTimerGoesInTheFrameAfterItsHandlerFinished) {
  TimedScene scene;
  TNovuTimer& timer = MakeTimer(scene, 100);
  timer.SetProperty(PR_AUTOSCRAP, true);
  scene.Frame(100);
  ASSERT_EQ(CountNotify(scene), 1u);
  scene.events()[0].level = 1;  // the handler is running
  scene.Frame(100);
  scene.Frame(100);
  ASSERT_TRUE(scene.Exists(&timer));
  scene.events().clear();  // the handler returned
  scene.Frame(15);
  EXPECT_FALSE(scene.Exists(&timer));
}

TEST(TimerTest, SavedTimerKeepsItsFieldsAndReadsFlagsOnlyFromNewerSaves) {
  TimedScene scene;
  TNovuTimer& timer = MakeTimer(scene, 250, "page.nsb:go");
  timer.SetProperty(PR_AUTOSCRAP, true);
  scene.Frame(250);
  ASSERT_TRUE(timer.fired());
  BinaryWriter out;
  timer.SaveToStream(out);
  std::vector<uint8_t> newer = out.Take();
  // A save of version 103: name and priority, then the timer without its two flags.
  BinaryWriter old_out;
  old_out.String("t");
  old_out.I32(0);
  old_out.String("page.nsb:go");
  old_out.I32(250);
  old_out.U8(0);
  std::vector<uint8_t> older = old_out.Take();

  struct Case {
    int32_t version;
    std::vector<uint8_t>* bytes;
    bool auto_scrap;
    bool fired;
  };
  for (const Case& c : {Case{130, &newer, true, true}, Case{103, &older, false, false}}) {
    TimedScene other;
    other.state.game_clock = 7000;
    TNovuTimer& loaded = other.Create<TNovuTimer>("x");
    BinaryReader in(*c.bytes);
    loaded.LoadFromStream(in, ObjectLoadContext{c.version});
    EXPECT_EQ(in.remaining(), 0u) << c.version;
    EXPECT_EQ(loaded.name(), "t");
    EXPECT_EQ(loaded.handler(), "page.nsb:go");
    EXPECT_EQ(loaded.interval(), 250);
    EXPECT_EQ(PropAsBool(loaded.GetProperty(PR_AUTOSCRAP)), c.auto_scrap) << c.version;
    EXPECT_EQ(loaded.fired(), c.fired) << c.version;
    // Counting starts afresh at the time of loading.
    EXPECT_EQ(loaded.last_firing(), 7000);
  }
}

TEST(TimerTest, FreedTimerLeavesNoPendingEvent) {
  TimedScene scene;
  TNovuTimer& timer = MakeTimer(scene, 10);
  scene.Frame(10);
  ASSERT_EQ(scene.events().size(), 1u);
  scene.list.ScheduleDeletion(timer);
  scene.Frame(0);
  EXPECT_FALSE(scene.Exists(&timer));
  EXPECT_TRUE(scene.events().empty());
}

}  // namespace
}  // namespace novu::testing
