#include "shell/sound_settings_form.h"

#include <algorithm>
#include <array>

#include "core/ini_edit.h"
#include "platform/virtual_keys.h"

namespace novu {
namespace {

constexpr int kVkPageUp = 0x21;
constexpr int kVkPageDown = 0x22;
constexpr int kVkEnd = 0x23;
constexpr int kVkHome = 0x24;
constexpr int kVkS = 'S';
constexpr int kVkD = 'D';

constexpr std::array kTabOrder = {ConfigControl::kCheckSound, ConfigControl::kOk,
                                  ConfigControl::kCancel, ConfigControl::kTrack};

int ClampPosition(int position) {
  return std::clamp(position, kDelayPositionMin, kDelayPositionMax);
}

bool IsButton(ConfigControl control) {
  return control == ConfigControl::kOk || control == ConfigControl::kCancel;
}

}  // namespace

SoundSettings ReadSoundSettings(const IniFile& ini) {
  SoundSettings s;
  s.direct_sound = ini.ReadBool("Sound", "DirectSound", true);
  s.delay_position = ClampPosition(ini.ReadInteger("Sound", "DelayTime", 500) / 100);
  return s;
}

std::string WriteSoundSettings(std::string_view ini_text, const SoundSettings& settings) {
  std::string text =
      WithIniValue(ini_text, "Sound", "DirectSound", settings.direct_sound ? "1" : "0");
  return WithIniValue(text, "Sound", "DelayTime",
                      std::to_string(ClampPosition(settings.delay_position) * 100));
}

int ConfigLayout::TrackX(int position) {
  const int first = kTrackBuff.left + kTrackInset;
  const int span = kTrackBuff.Width() - 2 * kTrackInset;
  return first + (ClampPosition(position) - kDelayPositionMin) * span /
                     (kDelayPositionMax - kDelayPositionMin);
}

int ConfigLayout::NearestPosition(int x) {
  int best = kDelayPositionMin;
  for (int p = kDelayPositionMin; p <= kDelayPositionMax; ++p) {
    if (std::abs(TrackX(p) - x) < std::abs(TrackX(best) - x)) best = p;
  }
  return best;
}

SoundSettingsForm::SoundSettingsForm(SoundSettings initial) : settings_(initial) {
  settings_.delay_position = ClampPosition(settings_.delay_position);
}

std::string SoundSettingsForm::DelayLabel() const {
  return std::to_string(settings_.delay_position * 100) + "ms";
}

bool SoundSettingsForm::CanFocus(ConfigControl control) const {
  return control != ConfigControl::kTrack || delay_enabled();
}

void SoundSettingsForm::MoveFocus(int step) {
  auto at = std::find(kTabOrder.begin(), kTabOrder.end(), focus_);
  int index = at != kTabOrder.end() ? static_cast<int>(at - kTabOrder.begin()) : 0;
  const int count = static_cast<int>(kTabOrder.size());
  for (int tries = 0; tries < count; ++tries) {
    index = (index + step + count) % count;
    if (CanFocus(kTabOrder[index])) {
      focus_ = kTabOrder[index];
      return;
    }
  }
}

void SoundSettingsForm::SetDirectSound(bool on) {
  settings_.direct_sound = on;
  // The focus leaves a control that has just been disabled.
  if (!CanFocus(focus_)) focus_ = ConfigControl::kCheckSound;
}

void SoundSettingsForm::SetPosition(int position) {
  if (delay_enabled()) settings_.delay_position = ClampPosition(position);
}

void SoundSettingsForm::Activate(ConfigControl control) {
  if (outcome_ != ConfigOutcome::kOpen) return;
  switch (control) {
    case ConfigControl::kCheckSound:
      SetDirectSound(!settings_.direct_sound);
      break;
    case ConfigControl::kOk:
      outcome_ = ConfigOutcome::kOk;
      break;
    case ConfigControl::kCancel:
      outcome_ = ConfigOutcome::kCancel;
      break;
    default:
      break;
  }
}

void SoundSettingsForm::KeyDown(int vk) {
  if (outcome_ != ConfigOutcome::kOpen) return;
  const bool on_track = focus_ == ConfigControl::kTrack;
  switch (vk) {
    case platform::kVkShift:
      shift_down_ = true;
      break;
    case platform::kVkTab:
      MoveFocus(shift_down_ ? -1 : 1);
      break;
    case platform::kVkSpace:
      Activate(focus_);
      break;
    case platform::kVkReturn:
      Activate(IsButton(focus_) ? focus_ : ConfigControl::kOk);
      break;
    case platform::kVkEscape:
      Activate(ConfigControl::kCancel);
      break;
    case kVkS:
      focus_ = ConfigControl::kCheckSound;
      Activate(ConfigControl::kCheckSound);
      break;
    case kVkD:
      if (CanFocus(ConfigControl::kTrack)) focus_ = ConfigControl::kTrack;
      break;
    case platform::kVkLeft:
    case platform::kVkUp:
    case kVkPageUp:
      if (on_track) SetPosition(settings_.delay_position - 1);
      break;
    case platform::kVkRight:
    case platform::kVkDown:
    case kVkPageDown:
      if (on_track) SetPosition(settings_.delay_position + 1);
      break;
    case kVkHome:
      if (on_track) SetPosition(kDelayPositionMin);
      break;
    case kVkEnd:
      if (on_track) SetPosition(kDelayPositionMax);
      break;
    default:
      break;
  }
}

void SoundSettingsForm::KeyUp(int vk) {
  if (vk == platform::kVkShift) shift_down_ = false;
}

ConfigControl SoundSettingsForm::ControlAt(int x, int y) {
  if (ConfigLayout::kCheckSound.Contains(x, y)) return ConfigControl::kCheckSound;
  if (ConfigLayout::kOk.Contains(x, y)) return ConfigControl::kOk;
  if (ConfigLayout::kCancel.Contains(x, y)) return ConfigControl::kCancel;
  if (ConfigLayout::kTrackBuff.Contains(x, y)) return ConfigControl::kTrack;
  return ConfigControl::kNone;
}

void SoundSettingsForm::MouseDown(int x, int y) {
  if (outcome_ != ConfigOutcome::kOpen) return;
  const ConfigControl control = ControlAt(x, y);
  if (control == ConfigControl::kNone || !CanFocus(control)) return;
  focus_ = control;
  if (control == ConfigControl::kTrack) {
    dragging_track_ = true;
    SetPosition(ConfigLayout::NearestPosition(x));
    return;
  }
  pressed_ = control;
  pointer_over_pressed_ = true;
}

void SoundSettingsForm::MouseMove(int x, int y) {
  if (dragging_track_) {
    SetPosition(ConfigLayout::NearestPosition(x));
  } else if (pressed_ != ConfigControl::kNone) {
    pointer_over_pressed_ = ControlAt(x, y) == pressed_;
  }
}

void SoundSettingsForm::MouseUp(int x, int y) {
  MouseMove(x, y);
  dragging_track_ = false;
  const ConfigControl released = pointer_over_pressed_ ? pressed_ : ConfigControl::kNone;
  pressed_ = ConfigControl::kNone;
  pointer_over_pressed_ = false;
  Activate(released);
}

void SoundSettingsForm::Close() {
  Activate(ConfigControl::kCancel);
}

}  // namespace novu
