#include "shell/game_ini.h"

#include <algorithm>

namespace novu {

int NormalizeDelayTime(int value) {
  return std::clamp(value / 100 * 100, 100, 500);
}

GameIniSettings GameIniSettings::FromIni(const IniFile& ini) {
  GameIniSettings s;
  s.direct_sound = ini.ReadBool("Sound", "DirectSound", s.direct_sound);
  s.delay_time = NormalizeDelayTime(ini.ReadInteger("Sound", "DelayTime", s.delay_time));
  s.use_wmp = ini.ReadBool("Video", "UseWMP", s.use_wmp);
  s.integer_scaling = ini.ReadBool("Screen", "IntegerScaling", s.integer_scaling);
  s.sound_font = ini.ReadString("Sound", "SoundFont", "");
  return s;
}

}  // namespace novu
