#include "shell/view.h"

#include <cstdlib>
#include <string_view>

#include "platform/error.h"

namespace novu {

TFormView::TFormView(ProcessState& state, GameHooks& hooks, platform::Window& window,
                     platform::MessageBoxService& messages)
    : state_(state), hooks_(hooks), window_(window), messages_(messages) {}

void TFormView::Tick() {
  if (!project_ready_ || switching_) return;
  if (draw_skip_ > 0) {
    --draw_skip_;
    return;
  }
  hooks_.Housekeeping();
  hooks_.PreUpdate();
  hooks_.RunScripts();
  if (state_.terminate) return;
  hooks_.UpdateObjects();
  ++state_.frame_counter;
  if (hooks_.RunPendingSaveLoad()) draw_skip_ = 1;
  if (draw_skip_ > 0) {
    --draw_skip_;  // nothing is drawn in the tick of a load
    return;
  }
  int divisor = state_.draw_divisor > 0 ? state_.draw_divisor : 1;
  draw_phase_ = (draw_phase_ + 1) % divisor;
  if (draw_phase_ != 0) return;
  hooks_.DrawBases();
  hooks_.Present();
  hooks_.RefreshVideo();
}

void TFormView::HandleEvent(const platform::InputEvent& event, uint32_t now) {
  using Kind = platform::InputEvent::Kind;
  switch (event.kind) {
    case Kind::CloseRequested:
      RequestClose();
      return;
    case Kind::QuitButton:
      ConfirmQuit();
      return;
    case Kind::FullScreenButton:
      SetFullScreen(!window_.IsFullScreen());
      return;
    case Kind::FocusGained:
      Activate(now);
      return;
    case Kind::FocusLost:
      Deactivate();
      return;
    default:
      ForwardInput(event);
  }
}

void TFormView::ForwardInput(const platform::InputEvent& event) {
  using Kind = platform::InputEvent::Kind;
  if (!active_ || !project_ready_) return;
  switch (event.kind) {
    case Kind::KeyDown:
      if (hooks_.TextKeyDown(event.vk)) break;
      if (!event.repeat && event.vk >= 0 && event.vk < 256) hooks_.KeyDown(event.vk);
      break;
    case Kind::KeyUp:
      hooks_.TextKeyUp(event.vk);
      if (event.vk >= 0 && event.vk < 256) hooks_.KeyUp(event.vk);
      break;
    case Kind::TextInput:
      hooks_.TypeText(event.text);
      break;
    case Kind::TextEditing:
      hooks_.ComposeText(event.text);
      break;
    case Kind::MouseDown:
      hooks_.MouseMove(event.x, event.y);
      hooks_.MouseDown(event.button);
      break;
    case Kind::MouseUp:
      hooks_.MouseMove(event.x, event.y);
      hooks_.MouseUp(event.button);
      break;
    case Kind::MouseMove:
      hooks_.MouseMove(event.x, event.y);
      if (window_.IsFullScreen()) window_.SetToolbarVisible(event.y == 0);
      break;
    case Kind::WheelUp:
      hooks_.Wheel(false);
      break;
    case Kind::WheelDown:
      hooks_.Wheel(true);
      break;
    default:
      break;
  }
}

void TFormView::Activate(uint32_t now) {
  if (pause_when_inactive_ && paused_) {
    paused_ = false;
    hooks_.ResumeMedia();
  }
  active_ = true;
  if (timer_) timer_->ResetLastTick(now);
}

void TFormView::Deactivate() {
  if (!pause_when_inactive_) return;
  paused_ = true;
  active_ = false;
  hooks_.SuspendMedia();
  hooks_.ReleaseHeldInput();
}

void TFormView::ConfirmQuit() {
  bool saved = state_.terminate;
  state_.terminate = true;  // no scripting while the question is open
  std::string text = UserLocaleIsJapanese() ? FormatOne(Jp("「%s」を終了しますか？"), title_)
                                            : FormatOne("Do you want to exit %s?", title_);
  auto answer = messages_.Show(title_, text, platform::MessageButtons::YesNo,
                               platform::MessageIcon::Question);
  // Without a dialog to ask in, the quit button quits as the window's close box does.
  if (answer == platform::MessageResult::Yes || answer == platform::MessageResult::NotShown) {
    RequestClose();
  } else {
    state_.terminate = saved;
  }
}

void TFormView::SetFullScreen(bool on) {
  if (on == window_.IsFullScreen()) return;
  switching_ = true;
  hooks_.ReleaseDeviceSurfaces();
  hooks_.SuspendVideo();
  window_.SetFullScreen(on);
  window_.SetToolbarVisible(!window_.IsFullScreen());
  hooks_.RebuildDeviceSurfaces();
  hooks_.ResumeVideo();
  switching_ = false;
}

bool UserLocaleIsJapanese() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return std::string_view(value).starts_with("ja");
  }
  return false;
}

}  // namespace novu
