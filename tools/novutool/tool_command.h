#pragma once
// novutool's subcommands register themselves here, one source file per family of commands:
//   NOVU_TOOL_COMMAND("pack", "DIR -o ARCHIVE", "pack a folder into an archive", RunPack);
// A command gets the arguments after its name and returns the exit status
// (0 success, 1 failure, 2 bad command line). Errors are reported on standard error.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace novu::tool {

using Args = std::vector<std::string>;
using CommandFn = std::function<int(const Args&)>;

struct ToolCommand {
  std::string name;   // may hold a space for two-word commands ("project build")
  std::string usage;  // the arguments
  std::string summary;
  CommandFn run;
};

void RegisterCommand(ToolCommand command);
const std::vector<ToolCommand>& Commands();

struct CommandRegistration {
  CommandRegistration(std::string name, std::string usage, std::string summary, CommandFn run) {
    RegisterCommand({std::move(name), std::move(usage), std::move(summary), std::move(run)});
  }
};

// Small helpers for argument parsing shared by the commands.
// Removes "-o VALUE" (or `flag`) from args and returns VALUE, or "" when absent.
std::string TakeOption(Args& args, std::string_view flag);
// True when `flag` was present (and removes it).
bool TakeFlag(Args& args, std::string_view flag);
// Prints "novutool: MESSAGE" on standard error and returns 1.
int Fail(std::string_view message);
// Prints the usage of one command on standard error and returns 2.
int Usage(std::string_view name);

}  // namespace novu::tool

#define NOVU_TOOL_CAT2(a, b) a##b
#define NOVU_TOOL_CAT(a, b) NOVU_TOOL_CAT2(a, b)
#define NOVU_TOOL_COMMAND(name, usage, summary, fn)                                     \
  static ::novu::tool::CommandRegistration NOVU_TOOL_CAT(novu_tool_command_, __LINE__)( \
      name, usage, summary, fn)
