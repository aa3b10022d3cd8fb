#pragma once
// The whole life of one player process: start-up, the frame loop and the shutdown in order.
#include <filesystem>

#include "shell/command_line.h"

namespace novu {

// Plays the game named by the command line; returns the process exit status (0 after a normal
// close, 1 when start-up failed and nothing was played).
int RunPlayer(const CommandLine& command_line, const std::filesystem::path& program_file);

}  // namespace novu
