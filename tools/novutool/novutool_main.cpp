// novutool: packs, lists, extracts, assembles, disassembles and converts game data.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

#include "platform/error.h"
#include "tool_command.h"

namespace novu::tool {

namespace {
std::vector<ToolCommand>& Registry() {
  static std::vector<ToolCommand> commands;
  return commands;
}
}  // namespace

void RegisterCommand(ToolCommand command) {
  Registry().push_back(std::move(command));
}
const std::vector<ToolCommand>& Commands() {
  return Registry();
}

std::string TakeOption(Args& args, std::string_view flag) {
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == flag) {
      std::string value = args[i + 1];
      args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
      return value;
    }
  }
  return {};
}

bool TakeFlag(Args& args, std::string_view flag) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == flag) {
      args.erase(args.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

int Fail(std::string_view message) {
  std::fprintf(stderr, "novutool: %.*s\n", static_cast<int>(message.size()), message.data());
  return 1;
}

int Usage(std::string_view name) {
  for (const ToolCommand& c : Commands()) {
    if (c.name == name) {
      std::fprintf(stderr, "usage: novutool %s %s\n", c.name.c_str(), c.usage.c_str());
      return 2;
    }
  }
  return 2;
}

static void PrintHelp(FILE* out) {
  std::fprintf(out, "usage: novutool COMMAND [ARGS]\n\ncommands:\n");
  for (const ToolCommand& c : Commands()) {
    std::fprintf(out, "  %s %s\n      %s\n", c.name.c_str(), c.usage.c_str(), c.summary.c_str());
  }
}

static int Main(int argc, char** argv) {
  Args args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintHelp(args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  if (args[0] == "--version") {
    std::printf("novutool 0.1.0\n");
    return 0;
  }
  // Two-word commands ("project build") take precedence over one-word ones.
  for (size_t words : {2u, 1u}) {
    if (args.size() < words) continue;
    std::string name = args[0];
    if (words == 2) name += " " + args[1];
    for (const ToolCommand& c : Commands()) {
      if (c.name != name) continue;
      Args rest(args.begin() + static_cast<long>(words), args.end());
      if (std::find(rest.begin(), rest.end(), "--help") != rest.end() ||
          std::find(rest.begin(), rest.end(), "-h") != rest.end()) {
        std::printf("usage: novutool %s %s\n  %s\n", c.name.c_str(), c.usage.c_str(),
                    c.summary.c_str());
        return 0;
      }
      try {
        return c.run(rest);
      } catch (const NovuError& e) {
        return Fail(e.Utf8Message());
      } catch (const std::exception& e) {
        return Fail(e.what());
      }
    }
  }
  std::fprintf(stderr, "novutool: unknown command '%s'\n", args[0].c_str());
  PrintHelp(stderr);
  return 2;
}

}  // namespace novu::tool

int main(int argc, char** argv) {
  return novu::tool::Main(argc, argv);
}
