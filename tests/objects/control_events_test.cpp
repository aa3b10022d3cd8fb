#include <gtest/gtest.h>

#include "object_fixtures.h"
#include "objects/novu_control.h"

namespace novu {
namespace {

using testing::CountdownMotion;
using testing::Scene;
using testing::TestPicture;
using Strings = std::vector<std::string>;

TEST(ControlMouseEvents, PressesPostTheirLabelWithThePositionInTheControl) {
  struct Case {
    uint8_t mode;
    bool left;  // left button, else right
    bool posts;
  };
  const Case cases[] = {
      {IM_NONE, true, true},    {IM_RCLICK, true, true},   {IM_LCLICK, true, false},
      {IM_CLICK, true, false},  {IM_ALL, true, false},     {IM_NONE, false, true},
      {IM_LCLICK, false, true}, {IM_RCLICK, false, false}, {IM_ALL, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << int{c.mode} << (c.left ? " left" : " right"));
    Scene scene;
    TestPicture& p = scene.Picture(scene.base(), 100, 50, 40, 40);
    p.SetMouseMode(c.mode);
    p.SetEventLabel(c.left ? PR_ONLBTNDOWN : PR_ONRBTNDOWN, "page.nsb:press");
    BaseInputState& input = *scene.base().InputState();
    input = BaseInputState{110, 75, 0, true, true};

    c.left ? p.LButtonDown() : p.RButtonDown();
    if (c.posts) {
      ASSERT_EQ(scene.events().size(), 1u);
      EXPECT_EQ(scene.events()[0].handler, "page.nsb:press");
      EXPECT_EQ(scene.events()[0].sender, &p);
      EXPECT_EQ(scene.events()[0].event_id, c.left ? PR_ONLBTNDOWN : PR_ONRBTNDOWN);
      EXPECT_EQ(scene.events()[0].arguments, (Strings{"10", "25"}));
      EXPECT_EQ(input.press_taken, c.left ? kPressLeftTaken : kPressRightTaken);
      EXPECT_EQ(input.left_click, !c.left);
      EXPECT_EQ(input.right_click, c.left);
    } else {
      EXPECT_TRUE(scene.events().empty());
      EXPECT_EQ(input.press_taken, 0);
      EXPECT_TRUE(input.left_click);
      EXPECT_TRUE(input.right_click);
    }
  }
}

TEST(ControlMouseEvents, APressIsNotQueuedTwiceAndAPausedControlOnlyTakesTheClick) {
  Scene scene;
  TestPicture& p = scene.Picture(scene.base(), 0, 0, 40, 40);
  p.SetEventLabel(PR_ONLBTNDOWN, "page.nsb:down");
  BaseInputState& input = *scene.base().InputState();
  p.LButtonDown();
  input.left_click = true;
  input.press_taken = 0;
  p.LButtonDown();
  EXPECT_EQ(scene.events().size(), 1u);
  EXPECT_EQ(input.press_taken, 0);
  EXPECT_FALSE(input.left_click);

  scene.list.queue().entries().clear();
  p.paused = true;
  input.left_click = true;
  p.LButtonDown();
  EXPECT_TRUE(scene.events().empty());
  EXPECT_FALSE(input.left_click);

  // A base never posts a press of its own and leaves the click alone.
  scene.base().SetEventLabel(PR_ONLBTNDOWN, "page.nsb:base");
  input.left_click = true;
  scene.base().LButtonDown();
  EXPECT_TRUE(scene.events().empty());
  EXPECT_TRUE(input.left_click);
}

TEST(ControlMouseEvents, ReleasesMovesAndCrossings) {
  Scene scene;
  TestPicture& p = scene.Picture(scene.base(), 20, 20, 40, 40);
  for (PropId id : {PR_ONLBTNUP, PR_ONRBTNUP, PR_ONMOUSEMOVE, PR_ONMOUSEIN, PR_ONMOUSEOUT}) {
    p.SetEventLabel(id, "page.nsb:" + std::to_string(id));
  }
  BaseInputState& input = *scene.base().InputState();
  input.mouse_x = 25;
  input.mouse_y = 30;
  input.press_taken = kPressLeftTaken | kPressRightTaken;

  p.LButtonUp();
  p.RButtonUp();
  p.MouseMove();
  p.MouseMove();  // still queued: not posted again
  p.MouseIn();
  p.MouseOut();
  EXPECT_EQ(input.press_taken, 0);

  const auto& events = scene.events();
  ASSERT_EQ(events.size(), 5u);
  const uint8_t ids[] = {PR_ONLBTNUP, PR_ONRBTNUP, PR_ONMOUSEMOVE, PR_ONMOUSEIN, PR_ONMOUSEOUT};
  for (size_t i = 0; i < events.size(); ++i) EXPECT_EQ(events[i].event_id, ids[i]);
  EXPECT_EQ(events[0].arguments, (Strings{"5", "10"}));
  EXPECT_EQ(events[2].arguments, (Strings{"5", "10"}));
  EXPECT_TRUE(events[3].arguments.empty());
  EXPECT_TRUE(events[4].arguments.empty());

  // Empty labels post nothing; the taken bit is still cleared.
  TestPicture& silent = scene.Picture(scene.base(), 0, 0, 10, 10);
  input.press_taken = kPressLeftTaken;
  silent.LButtonUp();
  silent.MouseMove();
  EXPECT_EQ(events.size(), 5u);
  EXPECT_EQ(input.press_taken, 0);
}

TEST(ControlKeyEvents, KeysArePostedAsDecimalCodesOncePerQueuedEvent) {
  Scene scene;
  TestPicture& p = scene.Picture(scene.base(), 0, 0, 10, 10);
  p.SetEventLabel(PR_ONKEYDOWN, "keys.nsb:down");
  p.SetEventLabel(PR_ONKEYREPEAT, "keys.nsb:repeat");
  p.SetEventLabel(PR_ONKEYUP, "keys.nsb:up");
  const int32_t held[] = {13, 37};
  p.KeyDown(held);
  p.KeyDown(held);
  p.KeyRepeat(held);
  p.KeyUp(std::span<const int32_t>(held, 1));

  const auto& events = scene.events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].event_id, PR_ONKEYDOWN);
  EXPECT_EQ(events[0].arguments, (Strings{"13", "37"}));
  EXPECT_EQ(events[1].event_id, PR_ONKEYREPEAT);
  EXPECT_EQ(events[2].event_id, PR_ONKEYUP);
  EXPECT_EQ(events[2].arguments, (Strings{"13"}));

  // After the handler has run and left the queue, the key is posted again.
  scene.list.queue().entries().erase(scene.list.queue().entries().begin());
  p.KeyDown(held);
  EXPECT_EQ(events.back().event_id, PR_ONKEYDOWN);

  // Paused controls and bases post no keys.
  scene.list.queue().entries().clear();
  p.paused = true;
  p.KeyDown(held);
  scene.base().SetEventLabel(PR_ONKEYDOWN, "keys.nsb:base");
  scene.base().KeyDown(held);
  EXPECT_TRUE(events.empty());
}

TEST(ControlUpdate, AnEndingMotionPostsPlayEndOrAsksForDeletion) {
  Scene scene;
  TestPicture& p = scene.Picture(scene.base(), 0, 0, 10, 10);
  p.on_play_end = "page.nsb:ended";
  p.SetMotion(std::make_unique<CountdownMotion>(2));
  EXPECT_EQ(p.Update(), 0);
  EXPECT_TRUE(scene.events().empty());
  EXPECT_EQ(p.Update(), 0);
  ASSERT_EQ(scene.events().size(), 1u);
  EXPECT_EQ(scene.events()[0].event_id, PR_ONPLAYEND);
  EXPECT_EQ(scene.events()[0].handler, "page.nsb:ended");
  EXPECT_TRUE(PropAsBool(p.GetProperty(PR_PLAYING)));

  TestPicture& scrap = scene.Picture(scene.base(), 0, 0, 10, 10);
  scrap.auto_scrap = true;
  scrap.SetMotion(std::make_unique<CountdownMotion>(1));
  EXPECT_EQ(scrap.Update(), 1);
  // Without a motion nothing happens.
  EXPECT_EQ(scene.Picture(scene.base(), 0, 0, 1, 1).Update(), 0);
}

}  // namespace
}  // namespace novu
