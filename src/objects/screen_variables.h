#pragma once
// ScreenVariables: the @ variables of the screens that the object list keeps for the scripts:
// @CGDither (pictures drawn with or without dithering), @SoundON and @Cursor (the cursor file
// shown over controls without a cursor of their own).
#include <functional>
#include <string>

namespace novu {

class TNovuBaseList;

class ScreenVariables {
 public:
  explicit ScreenVariables(TNovuBaseList& list) : list_(list) {}
  ScreenVariables(const ScreenVariables&) = delete;
  ScreenVariables& operator=(const ScreenVariables&) = delete;

  // @CGDither: a change draws both screens again.
  bool dither() const { return dither_; }
  void SetDither(bool on);
  // Told every new flag (the image cache, which keeps it in the status data).
  void SetDitherObserver(std::function<void(bool)> observer) {
    dither_observer_ = std::move(observer);
  }

  bool sound_switch() const { return sound_switch_; }
  void SetSoundSwitch(bool on) { sound_switch_ = on; }

  void SetDefaultCursor(std::string name) { default_cursor_ = std::move(name); }
  const std::string& default_cursor() const { return default_cursor_; }

 private:
  TNovuBaseList& list_;
  bool dither_ = false;
  bool sound_switch_ = true;
  std::function<void(bool)> dither_observer_;
  std::string default_cursor_;
};

}  // namespace novu
