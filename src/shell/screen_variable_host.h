#pragma once
// The system variables kept by the object list and the screen manager: clicks, pushes, wheel,
// the mouse position, the key tables, the screen size, the cursor, the sound switch and the
// display modes, the game clock, the frame counter, the title and the focused object. Installed in
// the variable table before the project, which chains its own variables in front of it; everything
// else goes to the default host.
#include <functional>
#include <string>
#include <vector>

#include "expr/system_variable_host.h"

namespace novu {

class TNovuBaseList;
class TNovuHistoryFormatManager;
struct ProcessState;
class TScreenManager;

class ScreenVariableHost final : public SystemVariableHost {
 public:
  // `screens` may be null (no screen manager) and may be set later.
  ScreenVariableHost(TNovuBaseList& objects, TScreenManager* screens)
      : objects_(objects), screens_(screens) {}
  void set_screens(TScreenManager* screens) { screens_ = screens; }
  // Told when @SoundON is set: the media managers pause and resume their sounds with it.
  void set_sound_observer(std::function<void(bool)> observer) {
    sound_observer_ = std::move(observer);
  }
  // @TickCount and @UpdateCount read the game clock and the frame counter kept here.
  void set_state(const ProcessState* state) { state_ = state; }
  // @Title reads the project title through this.
  void set_title(std::function<std::string()> title) { title_ = std::move(title); }
  // A script writing @FullScr switches full screen through this.
  void set_full_screen(std::function<void(bool)> switcher) { full_screen_ = std::move(switcher); }
  // The installed font families for @Fonts and @FixedFonts (UTF-8); the desktop's by default.
  void set_font_lister(std::function<std::vector<std::string>(bool fixed)> lister) {
    font_lister_ = std::move(lister);
  }

  // @HistoryCount and @HistoryMaxCount read (and the latter writes) the default history format.
  void set_histories(TNovuHistoryFormatManager* histories) { histories_ = histories; }

  bool GetBool(SystemVariable v) override;
  int32_t GetInt(SystemVariable v) override;
  std::string GetStr(SystemVariable v) override;
  void SetBool(SystemVariable v, bool value) override;
  void SetInt(SystemVariable v, int32_t value) override;
  void SetStr(SystemVariable v, std::string_view value) override;
  bool GetBoolAt(SystemVariable v, int32_t index) override;

 private:
  SystemVariableHost& next() { return SystemVariableHost::Default(); }

  TNovuBaseList& objects_;
  TScreenManager* screens_;
  std::function<void(bool)> sound_observer_;
  const ProcessState* state_ = nullptr;
  std::function<std::string()> title_;
  std::function<void(bool)> full_screen_;
  std::function<std::vector<std::string>(bool fixed)> font_lister_;
  TNovuHistoryFormatManager* histories_ = nullptr;
};

}  // namespace novu
