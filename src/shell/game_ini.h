#pragma once
// Start-up settings read once from game.ini beside the program.
#include <string>

#include "core/ini_file.h"

namespace novu {

struct GameIniSettings {
  bool direct_sound = true;      // [Sound] DirectSound
  int delay_time = 500;          // [Sound] DelayTime, ms of wave-out buffering
  bool use_wmp = false;          // [Video] UseWMP
  bool integer_scaling = false;  // [Screen] IntegerScaling: whole factors only in the window
  std::string sound_font;        // [Sound] SoundFont: the MIDI synthesizer's sf2/sf3 file

  static GameIniSettings FromIni(const IniFile& ini);
};

// The buffering latency as the player uses it: truncated to a multiple of 100, then clamped to
// 100..500 (950 gives 500, 50 gives 100, 260 gives 200).
int NormalizeDelayTime(int value);

}  // namespace novu
