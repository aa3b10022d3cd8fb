#pragma once
// TFormConfig, the settings dialog "動作設定" that "/config" shows instead of a game: the
// [Sound] settings of game.ini, DirectSound (a check box) and DelayTime (a track bar of
// positions 1..5, the delay being the position x 100 ms). The delay controls are enabled only
// while DirectSound is not used. OK writes both keys and closes, Cancel (Escape, the close box)
// closes without writing. This class is the dialog's state and behaviour; the painter draws it
// and the runner feeds it window input.
//
// Keyboard: Tab and Shift+Tab move the focus in tab order (check box, OK, Cancel, track bar;
// a disabled control is skipped), Space acts on the focused control, Enter presses the focused
// button or OK, Escape cancels; arrows, Home, End, Page Up and Page Down move the track bar;
// S toggles the check box and D moves to the track bar, with or without Alt.
// Mouse: a click on the check box or a button acts on release over the control it was pressed
// on; pressing or dragging on the track bar moves it to the nearest position.
#include <string>
#include <string_view>

#include "core/geometry.h"
#include "core/ini_file.h"

namespace novu {

inline constexpr int kConfigClientWidth = 270;
inline constexpr int kConfigClientHeight = 179;
inline constexpr int kDelayPositionMin = 1;
inline constexpr int kDelayPositionMax = 5;

struct SoundSettings {
  bool direct_sound = true;
  int delay_position = kDelayPositionMax;  // DelayTime / 100, kept to 1..5

  friend bool operator==(const SoundSettings&, const SoundSettings&) = default;
};

// [Sound] of game.ini: DirectSound (default true) and DelayTime (default 500) as a position.
SoundSettings ReadSoundSettings(const IniFile& ini);
// The text of game.ini with both keys written (DirectSound as 1 or 0, DelayTime as position
// x 100) and every other line kept.
std::string WriteSoundSettings(std::string_view ini_text, const SoundSettings& settings);

// The controls, in tab order.
enum class ConfigControl { kCheckSound, kOk, kCancel, kTrack, kNone };

// Where each control lies in the client area.
struct ConfigLayout {
  static constexpr Rect kBevel = MakeRect(8, 8, 253, 113);
  static constexpr Rect kCheckSound = MakeRect(28, 24, 217, 17);
  static constexpr Rect kCheckBox = MakeRect(28, 26, 13, 13);  // the box inside kCheckSound
  static constexpr Rect kLabelBuff = MakeRect(28, 56, 140, 13);
  static constexpr Rect kLabelBuffInfo = MakeRect(173, 56, 68, 13);
  static constexpr Rect kTrackBuff = MakeRect(28, 72, 221, 25);
  static constexpr Rect kOk = MakeRect(100, 140, 75, 25);
  static constexpr Rect kCancel = MakeRect(180, 140, 75, 25);
  // The track bar's channel runs between the centres of its first and last positions.
  static constexpr int kTrackInset = 13;
  // The x of a track position's centre, and the position nearest to an x.
  static int TrackX(int position);
  static int NearestPosition(int x);
};

enum class ConfigOutcome { kOpen, kOk, kCancel };

class SoundSettingsForm {
 public:
  explicit SoundSettingsForm(SoundSettings initial);

  const SoundSettings& settings() const { return settings_; }
  bool delay_enabled() const { return !settings_.direct_sound; }
  ConfigControl focus() const { return focus_; }
  // The control the pointer holds down (a check box or button under the pointer), if any.
  ConfigControl pressed() const { return pointer_over_pressed_ ? pressed_ : ConfigControl::kNone; }
  ConfigOutcome outcome() const { return outcome_; }
  // The value label: the delay as "%dms".
  std::string DelayLabel() const;

  void KeyDown(int vk);
  void KeyUp(int vk);
  void MouseDown(int x, int y);
  void MouseMove(int x, int y);
  void MouseUp(int x, int y);
  // The window's close box.
  void Close();

 private:
  static ConfigControl ControlAt(int x, int y);
  bool CanFocus(ConfigControl control) const;
  void MoveFocus(int step);
  void Activate(ConfigControl control);
  void SetDirectSound(bool on);
  void SetPosition(int position);

  SoundSettings settings_;
  ConfigControl focus_ = ConfigControl::kCheckSound;
  ConfigControl pressed_ = ConfigControl::kNone;
  bool pointer_over_pressed_ = false;
  bool dragging_track_ = false;
  bool shift_down_ = false;
  ConfigOutcome outcome_ = ConfigOutcome::kOpen;
};

}  // namespace novu
