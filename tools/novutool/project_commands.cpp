// novutool project build / show: the project file from and to its text description.
#include <cstdio>
#include <filesystem>

#include "authoring/project_description.h"
#include "engine/project_setting.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "tool_command.h"

namespace novu::tool {
namespace {

int ProjectBuild(const Args& given) {
  Args args = given;
  std::string output = TakeOption(args, "-o");
  if (args.size() != 1 || output.empty()) return Usage("project build");
  auto text = platform::ReadWholeFile(args[0]);
  if (!text) return Fail("cannot read " + args[0]);
  TProjectSetting setting = ParseProjectDescription(
      std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
  platform::WriteFileAtomically(output, setting.Serialize());
  return 0;
}

int ProjectShow(const Args& args) {
  if (args.size() != 1) return Usage("project show");
  auto data = platform::ReadWholeFile(args[0]);
  if (!data) return Fail("cannot read " + args[0]);
  std::string text = PrintProjectDescription(TProjectSetting::Parse(*data));
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

}  // namespace

NOVU_TOOL_COMMAND("project build", "DESCRIPTION -o novu.npb",
                  "write a project file from its text description", ProjectBuild);
NOVU_TOOL_COMMAND("project show", "novu.npb",
                  "print a project file as a text description (project build reads it back)",
                  ProjectShow);

}  // namespace novu::tool
