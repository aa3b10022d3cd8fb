#pragma once
// "/config": the settings dialog instead of a game. It edits [Sound] of game.ini in the
// program's folder; OK writes the file (crash-safe, every other line kept), Cancel or closing
// the window writes nothing. In a window it runs until it is closed; headless it takes the
// scripted input like a game, closes after --ticks ticks or, without them, once the script's
// last event has been handled (as Cancel unless the script pressed OK), and --screenshot
// photographs the dialog as the last tick left it.
#include <filesystem>

#include "shell/command_line.h"
#include "shell/input_script.h"

namespace novu {

// The process exit status: 0 after OK or Cancel, 1 when the window or the file failed.
int RunConfigDialog(const CommandLine& cl, const std::filesystem::path& program_folder,
                    InputScript input);

}  // namespace novu
