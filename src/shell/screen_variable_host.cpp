#include "shell/screen_variable_host.h"

#include "controls/novu_history.h"
#include "core/process_state.h"
#include "objects/base_list.h"
#include "platform/font_lookup.h"
#include "platform/text_encoding.h"
#include "shell/screen_manager.h"

namespace novu {

bool ScreenVariableHost::GetBool(SystemVariable v) {
  const TNovuBase& base = objects_.active_base();
  const BaseInputState& in = base.input();
  const BaseMouseState& mouse = base.mouse();
  switch (v) {
    case SystemVariable::kLClick:
      return in.left_click;
    case SystemVariable::kRClick:
      return in.right_click;
    case SystemVariable::kLPush:
      return mouse.left_held && (in.press_taken & (kPressLeftByList | kPressLeftTaken)) == 0;
    case SystemVariable::kRPush:
      return mouse.right_held && (in.press_taken & (kPressRightByList | kPressRightTaken)) == 0;
    case SystemVariable::kWheelDown:
      return mouse.wheel_down;
    case SystemVariable::kWheelUp:
      return mouse.wheel_up;
    case SystemVariable::kSoundON:
      return objects_.screen_variables().sound_switch();
    case SystemVariable::kFullScr:
      return screens_ != nullptr && screens_->full_screen();
    case SystemVariable::kCGDither:
      return objects_.screen_variables().dither();
    default:
      return next().GetBool(v);
  }
}

int32_t ScreenVariableHost::GetInt(SystemVariable v) {
  switch (v) {
    case SystemVariable::kMouseX:
      return objects_.active_base().input().mouse_x;
    case SystemVariable::kMouseY:
      return objects_.active_base().input().mouse_y;
    case SystemVariable::kScrWidth:
      return objects_.width();
    case SystemVariable::kScrHeight:
      return objects_.height();
    case SystemVariable::kDisplayModeCount:
      return screens_ != nullptr ? screens_->ModeCount() : 0;
    case SystemVariable::kDisplayModeIndex:
      return screens_ != nullptr ? screens_->mode_index() : -1;
    case SystemVariable::kTickCount:
      return state_ != nullptr ? state_->game_clock : 0;
    case SystemVariable::kUpdateCount:
      return state_ != nullptr ? state_->frame_counter : 0;
    case SystemVariable::kHistoryCount:
      return histories_ != nullptr ? histories_->Count(histories_->Default()) : 0;
    case SystemVariable::kHistoryMaxCount:
      return histories_ != nullptr ? histories_->Default().history.max_count : 0;
    default:
      return next().GetInt(v);
  }
}

std::string ScreenVariableHost::GetStr(SystemVariable v) {
  switch (v) {
    case SystemVariable::kCursor:
      return objects_.screen_variables().default_cursor();
    case SystemVariable::kTitle:
      return title_ ? title_() : std::string();
    case SystemVariable::kFonts:
    case SystemVariable::kFixedFonts: {
      // One name per line (CR LF), the whole list trimmed.
      const bool fixed = v == SystemVariable::kFixedFonts;
      const std::vector<std::string> names =
          font_lister_ ? font_lister_(fixed) : platform::ListFontFamilies(fixed);
      std::string lines;
      for (const std::string& name : names) {
        if (!lines.empty()) lines += "\r\n";
        lines += platform::Utf8ToCp932(name);
      }
      return lines;
    }
    case SystemVariable::kActiveCompo: {
      const TNovuControl* focus = objects_.FocusedControl();
      return focus != nullptr ? focus->name() : std::string();
    }
    default:
      return next().GetStr(v);
  }
}

void ScreenVariableHost::SetBool(SystemVariable v, bool value) {
  BaseInputState& in = *objects_.active_base().InputState();
  switch (v) {
    case SystemVariable::kLClick:
      in.left_click = value;
      break;
    case SystemVariable::kRClick:
      in.right_click = value;
      break;
    case SystemVariable::kSoundON:
      objects_.screen_variables().SetSoundSwitch(value);
      if (sound_observer_) sound_observer_(value);
      break;
    case SystemVariable::kCGDither:
      objects_.screen_variables().SetDither(value);
      break;
    case SystemVariable::kFullScr:
      if (full_screen_) full_screen_(value);
      break;
    default:
      next().SetBool(v, value);
      break;
  }
}

void ScreenVariableHost::SetInt(SystemVariable v, int32_t value) {
  switch (v) {
    case SystemVariable::kMouseX:
      objects_.input().MouseMove(value, objects_.active_base().input().mouse_y);
      break;
    case SystemVariable::kMouseY:
      objects_.input().MouseMove(objects_.active_base().input().mouse_x, value);
      break;
    case SystemVariable::kDisplayModeIndex:
      if (screens_ != nullptr && screens_->SetModeIndex(value)) {
        // The same surface object at a new depth: everything is drawn again.
        objects_.SetSurfaceDepth(screens_->SurfaceDepth());
        objects_.SetScreenSurface(&screens_->Surface());
      }
      break;
    case SystemVariable::kHistoryMaxCount:
      if (histories_ != nullptr) histories_->Default().history.max_count = value;
      break;
    default:
      next().SetInt(v, value);
      break;
  }
}

void ScreenVariableHost::SetStr(SystemVariable v, std::string_view value) {
  if (v == SystemVariable::kCursor) {
    objects_.screen_variables().SetDefaultCursor(std::string(value));
    return;
  }
  next().SetStr(v, value);
}

bool ScreenVariableHost::GetBoolAt(SystemVariable v, int32_t index) {
  const KeyState& keys = objects_.input().keys();
  switch (v) {
    case SystemVariable::kKeyPush:
      return keys.IsHeld(index);
    case SystemVariable::kKeyClick:
      return keys.KeyClick(index);
    case SystemVariable::kKeyRepeat:
      return keys.KeyRepeat(index);
    default:
      return next().GetBoolAt(v, index);
  }
}

}  // namespace novu
