#pragma once
// novuplay's command line: the data sources (a project folder, then further folders or
// archives), the "/config" switch, and the options of the deterministic headless mode.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace novu {

struct CommandLine {
  bool headless = false;
  std::optional<int64_t> ticks;  // close after this many ticks
  std::string trace_file;        // "-" = standard output
  std::string dump_vars_file;
  std::string screenshot_file;
  std::string audio_out_file;  // headless: the mix as a WAV file
  std::string input_file;
  std::optional<uint32_t> seed;
  bool integer_scaling = false;  // whole factors only when the window scales the picture
  bool show_config = false;      // "/config": the settings dialog instead of playing
  bool show_help = false;
  bool show_version = false;
  std::vector<std::string> sources;  // as given; the first is the project folder
};

// The parsed command line, or an error message for a bad one.
std::variant<CommandLine, std::string> ParseCommandLine(std::span<const std::string> args);

const char* CommandLineHelp();

}  // namespace novu
