#include "shell/view.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>

#include "platform/error.h"

namespace novu {
namespace {

using platform::InputEvent;
using Kind = InputEvent::Kind;

struct RecordingHooks : GameHooks {
  int scripts = 0, updates = 0, draws = 0, presents = 0, suspends = 0, released = 0;
  bool load_next = false;
  std::vector<int> keys_down, keys_up;
  void RunScripts() override { ++scripts; }
  void UpdateObjects() override { ++updates; }
  bool RunPendingSaveLoad() override { return std::exchange(load_next, false); }
  void DrawBases() override { ++draws; }
  void Present() override { ++presents; }
  void KeyDown(int vk) override { keys_down.push_back(vk); }
  void KeyUp(int vk) override { keys_up.push_back(vk); }
  void SuspendMedia() override { ++suspends; }
  void ReleaseHeldInput() override { ++released; }
};

struct FakeWindow : platform::Window {
  bool full_screen = false;
  void SetTitle(std::string_view) override {}
  void SetPanelSize(int, int) override {}
  void SetFullScreen(bool on) override { full_screen = on; }
  bool IsFullScreen() const override { return full_screen; }
  void SetToolbarVisible(bool) override {}
  void Present(const platform::FrameView&, std::span<const platform::PixelRect>) override {}
  void PollEvents(std::vector<InputEvent>&) override {}
};

struct ScriptedAnswers : platform::MessageBoxService {
  std::deque<platform::MessageResult> answers;
  std::vector<std::string> texts;
  bool terminate_seen = false;
  ProcessState* state = nullptr;
  platform::MessageResult Show(std::string_view, std::string_view text, platform::MessageButtons,
                               platform::MessageIcon) override {
    texts.emplace_back(text);
    if (state) terminate_seen = state->terminate;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

class ViewTest : public ::testing::Test {
 protected:
  ViewTest() : view(state, hooks, window, boxes) {
    state.terminate = false;
    view.SetProjectReady(true);
    boxes.state = &state;
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) view.Tick();
  }
  ProcessState state;
  RecordingHooks hooks;
  FakeWindow window;
  ScriptedAnswers boxes;
  TFormView view;
};

TEST_F(ViewTest, DrawDivisorThinsOnlyDrawing) {
  state.draw_divisor = 4;
  Ticks(12);
  EXPECT_EQ(hooks.scripts, 12);
  EXPECT_EQ(hooks.updates, 12);
  EXPECT_EQ(state.frame_counter, 12);
  EXPECT_EQ(hooks.draws, 3);
  EXPECT_EQ(hooks.presents, 3);
}

TEST_F(ViewTest, NothingIsDrawnInTheTickOfALoad) {
  Ticks(2);
  ASSERT_EQ(hooks.draws, 2);
  hooks.load_next = true;
  view.Tick();
  EXPECT_EQ(hooks.updates, 3);
  EXPECT_EQ(hooks.draws, 2) << "the load tick draws nothing";
  view.Tick();
  EXPECT_EQ(hooks.scripts, 4) << "the tick after the load runs normally";
  EXPECT_EQ(hooks.draws, 3);
}

TEST_F(ViewTest, TerminateStopsTheTickAfterScripts) {
  state.terminate = true;
  view.Tick();
  EXPECT_EQ(hooks.scripts, 1);
  EXPECT_EQ(hooks.updates, 0);
  EXPECT_EQ(hooks.draws, 0);
}

TEST_F(ViewTest, NoProjectNoTick) {
  view.SetProjectReady(false);
  view.Tick();
  EXPECT_EQ(hooks.scripts, 0);
}

TEST_F(ViewTest, KeyRepeatAndWideCodesAreNotForwarded) {
  const struct {
    Kind kind;
    int vk;
    bool repeat;
  } events[] = {
      {Kind::KeyDown, 0x41, false}, {Kind::KeyDown, 0x41, true}, {Kind::KeyDown, 256, false},
      {Kind::KeyDown, 0xFF, false}, {Kind::KeyUp, 300, false},   {Kind::KeyUp, 0x41, false},
  };
  for (const auto& e : events) {
    InputEvent event{};
    event.kind = e.kind;
    event.vk = e.vk;
    event.repeat = e.repeat;
    view.HandleEvent(event, 0);
  }
  EXPECT_EQ(hooks.keys_down, (std::vector<int>{0x41, 0xFF}));
  EXPECT_EQ(hooks.keys_up, (std::vector<int>{0x41}));
}

TEST_F(ViewTest, QuitQuestionNoRestoresTheTerminateFlag) {
  for (bool before : {false, true}) {
    state.terminate = before;
    boxes.answers = {platform::MessageResult::No};
    view.HandleEvent({Kind::QuitButton}, 0);
    EXPECT_TRUE(boxes.terminate_seen) << "scripts are stopped while the question is open";
    EXPECT_EQ(state.terminate, before);
    EXPECT_FALSE(view.close_requested());
  }
  boxes.answers = {platform::MessageResult::Yes};
  view.HandleEvent({Kind::QuitButton}, 0);
  EXPECT_TRUE(view.close_requested());
}

TEST_F(ViewTest, QuitButtonQuitsWhenNoDialogCanBeShown) {
  boxes.answers = {platform::MessageResult::NotShown};
  view.HandleEvent({Kind::QuitButton}, 0);
  EXPECT_TRUE(view.close_requested());
}

TEST_F(ViewTest, QuitQuestionFollowsTheLocale) {
  view.SetTitle("Game");
  setenv("LC_ALL", "ja_JP.UTF-8", 1);
  boxes.answers = {platform::MessageResult::No, platform::MessageResult::No};
  view.ConfirmQuit();
  setenv("LC_ALL", "C", 1);
  view.ConfirmQuit();
  unsetenv("LC_ALL");
  EXPECT_EQ(boxes.texts[0], Jp("「Game」を終了しますか？"));
  EXPECT_EQ(boxes.texts[1], "Do you want to exit Game?");
}

TEST_F(ViewTest, DeactivationPausesOnlyWithTheProjectOption) {
  view.HandleEvent({Kind::FocusLost}, 0);
  EXPECT_TRUE(view.ticking());
  EXPECT_TRUE(view.active());
  EXPECT_EQ(hooks.suspends, 0);

  view.SetPauseWhenInactive(true);
  view.HandleEvent({Kind::FocusLost}, 0);
  EXPECT_FALSE(view.ticking());
  EXPECT_FALSE(view.active());
  EXPECT_EQ(hooks.suspends, 1);
  EXPECT_EQ(hooks.released, 1);
  InputEvent key{Kind::KeyDown};
  key.vk = 0x20;
  view.HandleEvent(key, 0);
  EXPECT_TRUE(hooks.keys_down.empty()) << "no input while inactive";

  ProcessState timer_state;
  TLoopTimer timer(timer_state, 0);
  view.SetTimer(&timer);
  view.HandleEvent({Kind::FocusGained}, 5000);
  EXPECT_TRUE(view.ticking());
  EXPECT_TRUE(timer.Wake(5010));
  EXPECT_EQ(timer_state.game_clock, 10) << "the pause does not count";
}

TEST_F(ViewTest, FullScreenButtonToggles) {
  view.HandleEvent({Kind::FullScreenButton}, 0);
  EXPECT_TRUE(window.full_screen);
  view.HandleEvent({Kind::FullScreenButton}, 0);
  EXPECT_FALSE(window.full_screen);
}

}  // namespace
}  // namespace novu
