#include "shell/command_line.h"

#include "core/cp932.h"
#include "core/integer_text.h"

namespace novu {

const char* CommandLineHelp() {
  return "usage: novuplay [OPTIONS] [GAME_FOLDER [FOLDER_OR_ARCHIVE...]]\n"
         "       novuplay /config\n"
         "\n"
         "Plays the game in GAME_FOLDER (default: the program's folder).\n"
         "\n"
         "options:\n"
         "  --headless         no window, sound device or dialogs; virtual 15 ms clock\n"
         "  --ticks N          close after N ticks (exit page, status store, normal shutdown)\n"
         "  --trace FILE       write the interpreter's trace lines (- for standard output)\n"
         "  --dump-vars FILE   write the variables as JSON at the end\n"
         "  --screenshot FILE  write the composed frame as PNG at the end\n"
         "  --audio-out FILE   write everything the mixer plays as 44.1 kHz 16-bit stereo WAV\n"
         "  --input FILE       scripted input, one event a line: TICK EVENT ARGS\n"
         "  --seed N           seed the random generator with N\n"
         "  --integer-scaling  scale the picture by whole factors only (game.ini: [Screen]\n"
         "                     IntegerScaling=1); by default it fills the window, aspect kept\n"
         "  --help, --version\n"
         "\n"
         "exit status: 0 after a normal close, 1 when start-up failed, 2 for a bad command line\n";
}

std::variant<CommandLine, std::string> ParseCommandLine(std::span<const std::string> args) {
  CommandLine cl;
  if (args.size() == 1 && cp932::EqualsNoCase(args[0], "/config")) {
    cl.show_config = true;
    return cl;
  }
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& out) -> std::optional<std::string> {
      if (i + 1 >= args.size()) return arg + " needs a value";
      out = args[++i];
      return std::nullopt;
    };
    std::string text;
    std::optional<std::string> error;
    if (arg == "--headless") {
      cl.headless = true;
    } else if (arg == "--integer-scaling") {
      cl.integer_scaling = true;
    } else if (arg == "--help" || arg == "-h") {
      cl.show_help = true;
    } else if (arg == "--version") {
      cl.show_version = true;
    } else if (arg == "--trace") {
      error = value(cl.trace_file);
    } else if (arg == "--dump-vars") {
      error = value(cl.dump_vars_file);
    } else if (arg == "--screenshot") {
      error = value(cl.screenshot_file);
    } else if (arg == "--audio-out") {
      error = value(cl.audio_out_file);
    } else if (arg == "--input") {
      error = value(cl.input_file);
    } else if (arg == "--ticks") {
      error = value(text);
      if (!error) {
        auto n = ParseInteger(text);
        if (!n || *n < 0) return "--ticks takes a whole number of 0 or more, not '" + text + "'";
        cl.ticks = n;
      }
    } else if (arg == "--seed") {
      error = value(text);
      if (!error) {
        auto n = ParseInteger(text);
        if (!n || *n < INT32_MIN || *n > UINT32_MAX) {
          return "--seed takes a 32-bit whole number, not '" + text + "'";
        }
        cl.seed = static_cast<uint32_t>(*n);
      }
    } else if (arg.starts_with("--")) {
      return "unknown option " + arg;
    } else {
      cl.sources.push_back(arg);
    }
    if (error) return *error;
  }
  // "/config" with options (--headless, say) is still the settings dialog, not a game folder.
  if (cl.sources.size() == 1 && cp932::EqualsNoCase(cl.sources[0], "/config")) {
    cl.show_config = true;
    cl.sources.clear();
  }
  return cl;
}

}  // namespace novu
