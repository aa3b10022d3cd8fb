#pragma once
// A readable text form of the project file, for authors and tests (UTF-8 text; strings are
// converted to CP932). One field a line, `key value...`; "#" starts a comment line:
//
//   version 114
//   title "デモ"
//   screen 640 480
//   fullscreen 640 480
//   start_page "main.nsb"
//   exit_page "exit.nsb"
//   registry_key "NovuDemo"
//   image_option 0
//   store_status 1
//   frame_sleep 1
//   media_extensions ".wav.wma.ogg.mid"
//   pause_when_inactive 0
//   reserved 0
//   disc_change_message "ディスク%dを入れてから[OK]をクリックしてください"
//   exit_message "終了します"
//   variable int score 10            (int, float, bool, string, or a type code)
//   folder_disc "DATA\\" 2
//
// Strings are double-quoted with the escapes \\ \" \n \t \r and \xHH (one raw CP932 byte); a
// single word needs no quotes. Fields left out keep the player's defaults.
#include <string>
#include <string_view>

#include "engine/project_setting.h"

namespace novu {

// Raises NovuError naming the line for a malformed description.
TProjectSetting ParseProjectDescription(std::string_view utf8_text);
std::string PrintProjectDescription(const TProjectSetting& setting);

}  // namespace novu
