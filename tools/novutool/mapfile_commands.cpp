// novutool mapfile: the region map files of selection images, built from and shown as their
// text form (src/authoring/region_map_text.h).
#include <cstdio>
#include <string>

#include "authoring/region_map_text.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "tool_command.h"

namespace novu::tool {
namespace {

int RunMapfileBuild(const Args& given) {
  Args args = given;
  const std::string output = TakeOption(args, "-o");
  if (args.size() != 1 || output.empty()) return Usage("mapfile build");
  const auto text = platform::ReadWholeFile(args[0]);
  if (!text) return Fail("cannot read " + args[0]);
  try {
    const RegionMap map = authoring::ParseRegionMapText(
        std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
    platform::WriteFileAtomically(output, map.Write());
  } catch (const NovuError& e) {
    return Fail(args[0] + ": " + e.Utf8Message());
  }
  return 0;
}

int RunMapfileShow(const Args& args) {
  if (args.size() != 1) return Usage("mapfile show");
  const auto data = platform::ReadWholeFile(args[0]);
  if (!data) return Fail("cannot read " + args[0]);
  try {
    const std::string text = authoring::RegionMapToText(RegionMap::Read(*data));
    std::fwrite(text.data(), 1, text.size(), stdout);
  } catch (const NovuError& e) {
    return Fail(args[0] + ": " + e.Utf8Message());
  }
  return 0;
}

}  // namespace

NOVU_TOOL_COMMAND("mapfile build", "DESC -o FILE",
                  "a selection image's region map from its text description", RunMapfileBuild);
NOVU_TOOL_COMMAND("mapfile show", "FILE", "a region map file as its text description",
                  RunMapfileShow);

}  // namespace novu::tool
