// novuplay: plays a game folder in a window, or headless and deterministic for tests and CI.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/player.h"

namespace {

std::filesystem::path ProgramFile(const char* argv0) {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) return self;
  return std::filesystem::absolute(argv0, ec);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  auto parsed = novu::ParseCommandLine(args);
  if (auto* error = std::get_if<std::string>(&parsed)) {
    std::fprintf(stderr, "novuplay: %s\n%s", error->c_str(), novu::CommandLineHelp());
    return 2;
  }
  const auto& command_line = std::get<novu::CommandLine>(parsed);
  if (command_line.show_help) {
    std::fputs(novu::CommandLineHelp(), stdout);
    return 0;
  }
  if (command_line.show_version) {
    std::puts("novuplay 0.1.0");
    return 0;
  }
  return novu::RunPlayer(command_line, ProgramFile(argv[0]));
}
