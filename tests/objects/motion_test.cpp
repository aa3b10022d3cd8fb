#include <gtest/gtest.h>

#include <cmath>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "timed_scene.h"

namespace novu::testing {
namespace {

TEST(PropMotionTest, ValuesAlongTheWay) {
  struct Case {
    int32_t type;
    int32_t elapsed;
    int32_t duration;
    long double expected;
    bool finished;
  };
  const Case cases[] = {
      {MT_NORMAL, 0, 1000, 0, false},
      {MT_NORMAL, 500, 1000, 50, false},
      {MT_NORMAL, 998, 1000, 99.8L, false},
      {MT_NORMAL, 999, 1000, 100, true},
      {MT_NORMAL, 5000, 1000, 100, true},
      {MT_DEC, 500, 1000, 70.7107L, false},
      {MT_INC, 500, 1000, 29.4005L, false},
      {MT_INC, 0, 1000, 0, false},
      // Durations of 0 or less show the start value once and then the target, never dividing.
      {MT_NORMAL, 0, 0, 0, false},
      {MT_NORMAL, 15, 0, 100, true},
      {MT_DEC, 15, -50, 100, true},
      {MT_NORMAL, 1, 1, 100, true},
  };
  for (const Case& c : cases) {
    bool finished = false;
    const long double v = TNovuPropMotion::ValueAt(c.type, 0, 100, c.elapsed, c.duration, finished);
    EXPECT_NEAR(static_cast<double>(v), static_cast<double>(c.expected), 0.001)
        << c.type << " " << c.elapsed << "/" << c.duration;
    EXPECT_EQ(finished, c.finished) << c.type << " " << c.elapsed << "/" << c.duration;
  }
}

TNovuPropMotion& MoveLeft(TimedScene& scene, const std::string& target, int32_t property,
                          long double to, int32_t duration, int32_t type = MT_NORMAL) {
  TNovuPropMotion& motion = scene.Create<TNovuPropMotion>("m");
  motion.SetTargetName(target);
  motion.SetPropertyId(property);
  motion.SetTargetValue(to);
  motion.SetDuration(duration);
  motion.SetMotionType(type);
  return motion;
}

TEST(PropMotionTest, LinearMotionOfLeftReachesTheTargetAndDeletesItself) {
  TimedScene scene;
  Panel& panel = scene.AddPanel("p");
  panel.SetLeft(0);
  TNovuPropMotion& motion = MoveLeft(scene, "p", PR_LEFT, 100, 1000);
  std::vector<int32_t> lefts;
  for (int i = 0; i < 5; ++i) {
    scene.Frame(250);
    lefts.push_back(panel.left());
  }
  // The first frame shows the start; each later one the value at the time run so far.
  EXPECT_EQ(lefts, (std::vector<int32_t>{0, 25, 50, 75, 100}));
  EXPECT_FALSE(scene.Exists(&motion));
}

TEST(PropMotionTest, StartsFromThePropertysValueWhenItFirstRuns) {
  TimedScene scene;
  Panel& panel = scene.AddPanel("p");
  panel.SetLeft(40);
  MoveLeft(scene, "p", PR_LEFT, 80, 100);
  panel.SetLeft(60);  // changed before the first frame of the motion
  scene.Frame(50);
  scene.Frame(50);
  EXPECT_EQ(panel.left(), 70);
}

TEST(PropMotionTest, DeletesItselfWithoutTouchingAnythingWhenItHasNoTarget) {
  struct Case {
    const char* what;
    const char* target;
    int32_t property;
  };
  // 259 would be PR_LEFT again if it were cut to a byte.
  for (const Case& c :
       {Case{"unknown name", "nobody", PR_LEFT}, Case{"property past the last", "p", 163},
        Case{"property aliasing a byte", "p", 256 + PR_LEFT}, Case{"negative property", "p", -1}}) {
    TimedScene scene;
    Panel& panel = scene.AddPanel("p");
    panel.SetLeft(5);
    TNovuPropMotion& motion = MoveLeft(scene, c.target, c.property, 100, 1000);
    scene.Frame(15);
    EXPECT_FALSE(scene.Exists(&motion)) << c.what;
    EXPECT_EQ(panel.left(), 5) << c.what;
  }
}

TEST(PropMotionTest, DeletedTargetTakesTheMotionWithItInTheNextFrame) {
  TimedScene scene;
  Panel& panel = scene.AddPanel("p");
  TNovuPropMotion& motion = MoveLeft(scene, "p", PR_LEFT, 100, 1000);
  scene.Frame(15);
  scene.list.ScheduleDeletion(panel);  // as a script's ObjDel between two frames
  scene.Frame(15);
  EXPECT_FALSE(scene.Exists(&panel));
  EXPECT_FALSE(scene.Exists(&motion));
}

TEST(PropMotionTest, PausedMotionWaits) {
  TimedScene scene;
  Panel& panel = scene.AddPanel("p");
  TNovuPropMotion& motion = MoveLeft(scene, "p", PR_LEFT, 100, 100);
  motion.SetProperty(PR_PAUSED, true);
  scene.Frame(500);
  EXPECT_EQ(panel.left(), 10);
  EXPECT_EQ(motion.elapsed(), 0);
  motion.SetProperty(PR_PAUSED, false);
  scene.Frame(15);
  scene.Frame(200);
  scene.Frame(15);
  EXPECT_EQ(panel.left(), 100);
}

std::vector<uint8_t> SaveScene(TimedScene& scene) {
  BinaryWriter out;
  scene.list.SaveToStream(out);
  return out.Take();
}

void LoadScene(TimedScene& scene, const std::vector<uint8_t>& bytes) {
  BinaryReader in(bytes);
  scene.list.LoadFromStream(in, kObjectLayoutVersion);
}

TEST(PropMotionTest, SavedMidwayGoesOnFromWhereItWas) {
  TimedScene scene;
  scene.AddPanel("p").SetLeft(0);
  MoveLeft(scene, "p", PR_LEFT, 100, 1000);
  scene.Frame(250);
  scene.Frame(250);
  const std::vector<uint8_t> saved = SaveScene(scene);

  TimedScene loaded;
  LoadScene(loaded, saved);
  auto* panel = dynamic_cast<Panel*>(loaded.list.FindComponent("p"));
  ASSERT_NE(panel, nullptr);
  panel->SetLeft(0);  // the start value comes from the save, not from the property now
  loaded.Frame(250);
  EXPECT_EQ(panel->left(), 50);
}

TEST(PropMotionTest, SavedAfterItsTargetWentAwayDeletesItselfInsteadOfMovingTheScreen) {
  TimedScene scene;
  Panel& panel = scene.AddPanel("p");
  TNovuPropMotion& running = MoveLeft(scene, "p", PR_COLOR, 0xff, 1000);
  scene.Frame(15);
  scene.Frame(15);
  // A paused motion outlives its target until it runs again.
  running.SetProperty(PR_PAUSED, true);
  scene.list.ScheduleDeletion(panel);
  scene.Frame(15);
  const std::vector<uint8_t> saved = SaveScene(scene);

  TimedScene loaded;
  LoadScene(loaded, saved);
  TNovuObject* motion = loaded.list.FindComponent("m");
  ASSERT_NE(motion, nullptr);
  motion->SetProperty(PR_PAUSED, false);
  const int32_t colour = loaded.list.active_base().color();
  loaded.Frame(15);
  EXPECT_FALSE(loaded.Exists(motion));
  EXPECT_EQ(loaded.list.active_base().color(), colour);
}

TEST(PropMotionTest, WithoutATargetNameItMovesTheShownScreen) {
  TimedScene scene;
  MoveLeft(scene, "", PR_COLOR, 200, 100);
  scene.Frame(100);
  scene.Frame(100);
  EXPECT_EQ(scene.list.active_base().color(), 200);
}

}  // namespace
}  // namespace novu::testing
