#include "objects/input_router.h"

#include <algorithm>
#include <utility>

#include "objects/base_list.h"
#include "objects/novu_base.h"

namespace novu {
namespace {

std::vector<std::string> RelativePosition(const TNovuControl& control, const BaseInputState& in) {
  return {std::to_string(int64_t{in.mouse_x} - control.ScreenX()),
          std::to_string(int64_t{in.mouse_y} - control.ScreenY())};
}

}  // namespace

void InputRouter::AddRightClickClose(TNovuControl& control, RightClickCloser& closer) {
  RemoveRightClickClose(control);
  close_list_.push_back({&control, &closer});
}

void InputRouter::RemoveRightClickClose(const TNovuControl& control) {
  std::erase_if(close_list_, [&control](const CloseEntry& e) { return e.control == &control; });
}

// --- input from the window ---

void InputRouter::KeyDown(int key) {
  keys_.SetKeyState(key, true);
  keys_.SetKeyClick(key, true);
}

void InputRouter::KeyUp(int key) {
  keys_.SetKeyState(key, false);
}

void InputRouter::MouseDown(bool left) {
  for (int i = 0; i < 2; ++i) {
    BaseMouseState& mouse = list_.base(i).mouse();
    mouse.left_held = left;
    mouse.right_held = !left;
  }
  BaseMouseState& active = list_.active_base().mouse();
  (left ? active.pending_left : active.pending_right) = true;
}

void InputRouter::MouseUp() {
  for (int i = 0; i < 2; ++i) {
    BaseMouseState& mouse = list_.base(i).mouse();
    mouse.left_held = mouse.right_held = false;
  }
}

void InputRouter::MouseMove(int32_t x, int32_t y) {
  for (int i = 0; i < 2; ++i) list_.base(i).SetMousePosition(x, y);
}

void InputRouter::Wheel(bool down) {
  BaseMouseState& active = list_.active_base().mouse();
  (down ? active.pending_wheel_down : active.pending_wheel_up) = true;
}

void InputRouter::ReleaseHeldInput() {
  keys_.ClearKeys();
  MouseUp();
}

// --- input pass ---

void InputRouter::ProcessInput(int32_t elapsed_ms) {
  if (list_.focus_requested()) list_.ChooseFocus();
  keys_.LatchFrame();
  RouteMouse();
  SendKeysToFocus();
  keys_.FinishFrame(elapsed_ms);
}

void InputRouter::SendKeysToFocus() {
  // Each call may post, hide or free the focus: look again before the next one.
  auto focus = [this]() -> TNovuControl* {
    TNovuControl* const focused = list_.FocusedControl();
    return focused != nullptr && focused->handles_keys() ? focused : nullptr;
  };
  if (keys_.went_down() && focus()) focus()->KeyDown(keys_.down_keys());
  if (keys_.repeated() && focus()) focus()->KeyRepeat(keys_.repeat_keys());
  if (keys_.went_up() && focus()) focus()->KeyUp(keys_.up_keys());
}

bool InputRouter::CloseByRightClick(TNovuBase& base) {
  // A closing control may leave the list, or free others: walk a copy and look each one up.
  const std::vector<CloseEntry> entries = close_list_;
  for (const CloseEntry& entry : entries) {
    TNovuControl* c = entry.control;
    const bool listed = std::any_of(close_list_.begin(), close_list_.end(), [&](const auto& e) {
      return e.control == c && e.closer == entry.closer;
    });
    if (!listed || !list_.IsRegistered(c)) continue;
    if (!PropAsBool(c->GetProperty(PR_RCLICKSCRAP)) || !c->IsVisible()) continue;
    if (c->GetBase() != &base || c->IsPaused() || c->InCabinet()) continue;
    if (c->mouse_mode() != IM_NONE && c->mouse_mode() != IM_LCLICK) continue;
    if (entry.closer->CloseByRightClick()) return true;
  }
  return false;
}

void InputRouter::UpdateCursor(const TNovuControl& target) {
  const std::string& wanted =
      !target.cursor().empty() ? target.cursor() : list_.screen_variables().default_cursor();
  if (wanted.empty()) {
    shown_cursor_.clear();
  } else if (shown_cursor_.empty()) {
    shown_cursor_ = wanted;
  }
}

void InputRouter::PostRelease(TNovuControl& target, PropId id) {
  if (target.IsEventQueued(static_cast<uint8_t>(id)) || target.IsInputDisabled()) return;
  std::vector<std::string> arguments;
  if (id == PR_ONLBTNUP || id == PR_ONRBTNUP) {
    arguments = RelativePosition(target, list_.active_base().input());
  }
  target.PostEvent(target.EventLabel(id), arguments, static_cast<uint8_t>(id));
}

void InputRouter::RouteMouse() {
  TNovuBase& base = list_.active_base();
  BaseMouseState& mouse = base.mouse();
  BaseInputState& in = *base.InputState();

  in.left_click = std::exchange(mouse.pending_left, false);
  in.right_click = std::exchange(mouse.pending_right, false);
  mouse.wheel_down = std::exchange(mouse.pending_wheel_down, false);
  mouse.wheel_up = std::exchange(mouse.pending_wheel_up, false);

  if (in.right_click && CloseByRightClick(base)) in.right_click = false;

  // `previous` and `target` are cleared by Unregister the moment their object goes away.
  TNovuControl*& previous = mouse.previous;
  TNovuControl*& target = routing_target_;
  target = nullptr;
  if (in.press_taken != 0 && previous != nullptr) {
    if ((in.press_taken & (kPressLeftTaken | kPressRightTaken)) != 0) {
      TNovuControl* holder = previous;
      if ((in.press_taken & kPressLeftTaken) != 0 && !mouse.left_held) {
        holder->LButtonUp();
        in.press_taken &= static_cast<uint8_t>(~kPressLeftTaken);
      } else if ((in.press_taken & kPressRightTaken) != 0 && !mouse.right_held) {
        holder->RButtonUp();
        in.press_taken &= static_cast<uint8_t>(~kPressRightTaken);
      }
      if (mouse.moved && previous != nullptr) previous->MouseMove();
      if (previous != nullptr) previous->Drag();
      mouse.moved = false;
      return;
    }
    target = previous;
  } else {
    const MouseModeSet accepted = in.left_click ? MouseModeSet{IM_NONE, IM_RCLICK}
                                  : in.right_click
                                      ? MouseModeSet{IM_NONE, IM_LCLICK}
                                      : MouseModeSet{IM_NONE, IM_CLICK, IM_LCLICK, IM_RCLICK};
    target = base.HitTest({in.mouse_x, in.mouse_y}, accepted);
    in.press_taken = 0;
  }

  TNovuControl* const before = previous;
  if (target != nullptr) {
    UpdateCursor(*target);
    if (in.left_click) {
      target->LButtonDown();
      if (target != nullptr && !target->IsPaused() && target->handles_keys())
        list_.SetFocus(target);
    } else if (in.right_click) {
      target->RButtonDown();
    } else if ((in.press_taken & kPressLeftByList) != 0 && !mouse.left_held) {
      PostRelease(*target, PR_ONLBTNUP);
      in.press_taken &= static_cast<uint8_t>(~kPressLeftByList);
    } else if ((in.press_taken & kPressRightByList) != 0 && !mouse.right_held) {
      PostRelease(*target, PR_ONRBTNUP);
      in.press_taken &= static_cast<uint8_t>(~kPressRightByList);
    } else if (mouse.wheel_down) {
      PostRelease(*target, PR_ONWHEELDOWN);
    } else if (mouse.wheel_up) {
      PostRelease(*target, PR_ONWHEELUP);
    }
  }
  // `previous` is still the control of the last frame, or null if it went away meanwhile.
  if (previous != nullptr && previous == before && previous != target) {
    previous->MouseOut();
  }
  if (target != nullptr && (mouse.moved || target != before)) {
    if (target != before) {
      target->MouseIn();
    }
    if (target != nullptr) target->MouseMove();
  }
  previous = target;
  target = nullptr;
  mouse.moved = false;
}

void InputRouter::Forget(const TNovuObject& object) {
  std::erase_if(close_list_, [&object](const CloseEntry& e) { return e.control == &object; });
  if (routing_target_ == &object) routing_target_ = nullptr;
}

void InputRouter::ForgetAll() {
  close_list_.clear();
  routing_target_ = nullptr;
}

}  // namespace novu
