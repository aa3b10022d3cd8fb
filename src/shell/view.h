#pragma once
// TFormView: the main window's behaviour — the tick, input forwarding, activation, the quit
// confirmation and full-screen switching. The window itself is a platform service.
#include <cstdint>
#include <string>

#include "core/process_state.h"
#include "platform/message_box.h"
#include "platform/window.h"
#include "shell/game_hooks.h"
#include "shell/loop_timer.h"

namespace novu {

class TFormView {
 public:
  TFormView(ProcessState& state, GameHooks& hooks, platform::Window& window,
            platform::MessageBoxService& messages);

  // Set once the project exists; ticks do nothing before.
  void SetProjectReady(bool ready) { project_ready_ = ready; }
  // The project's option to pause while the window is inactive, and its title (CP932).
  void SetPauseWhenInactive(bool on) { pause_when_inactive_ = on; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  // The timer to reset on activation (none in a headless run).
  void SetTimer(TLoopTimer* timer) { timer_ = timer; }

  // One frame.
  void Tick();
  // One input or window event.
  void HandleEvent(const platform::InputEvent& event, uint32_t now);
  // Asks whether to quit; "No" leaves the terminate flag as it was.
  void ConfirmQuit();
  void SetFullScreen(bool on);

  void RequestClose() { close_requested_ = true; }
  bool close_requested() const { return close_requested_; }
  // False while deactivation paused the game.
  bool ticking() const { return !paused_; }
  bool active() const { return active_; }
  int draw_skip() const { return draw_skip_; }

 private:
  void Activate(uint32_t now);
  void Deactivate();
  void ForwardInput(const platform::InputEvent& event);

  ProcessState& state_;
  GameHooks& hooks_;
  platform::Window& window_;
  platform::MessageBoxService& messages_;
  TLoopTimer* timer_ = nullptr;
  std::string title_;
  bool project_ready_ = false;
  bool pause_when_inactive_ = false;
  bool active_ = true;
  bool paused_ = false;
  bool switching_ = false;
  bool close_requested_ = false;
  int draw_skip_ = 0;
  int draw_phase_ = 0;
};

// True when the user's locale is Japanese (the quit question is then asked in Japanese).
bool UserLocaleIsJapanese();

}  // namespace novu
