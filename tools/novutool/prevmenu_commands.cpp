// novutool prevmenu build / show: the preview-menu file from and to its text description.
#include <cstdio>
#include <string>

#include "authoring/prev_menu_description.h"
#include "controls/cont_sel_list.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "tool_command.h"

namespace novu::tool {
namespace {

int PrevMenuBuild(const Args& given) {
  Args args = given;
  const std::string output = TakeOption(args, "-o");
  if (args.size() != 1 || output.empty()) return Usage("prevmenu build");
  auto text = platform::ReadWholeFile(args[0]);
  if (!text) return Fail("cannot read " + args[0]);
  const TContSelList menu = ParsePrevMenuDescription(
      std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
  BinaryWriter out;
  menu.Write(out);
  platform::WriteFileAtomically(output, out.bytes());
  return 0;
}

int PrevMenuShow(const Args& args) {
  if (args.size() != 1) return Usage("prevmenu show");
  auto data = platform::ReadWholeFile(args[0]);
  if (!data) return Fail("cannot read " + args[0]);
  BinaryReader in(*data);
  const std::string text = PrintPrevMenuDescription(TContSelList::Read(in));
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

}  // namespace

NOVU_TOOL_COMMAND("prevmenu build", "DESCRIPTION -o FILE",
                  "write a preview-menu file from its text description", PrevMenuBuild);
NOVU_TOOL_COMMAND("prevmenu show", "FILE",
                  "print a preview-menu file as a text description (prevmenu build reads it back)",
                  PrevMenuShow);

}  // namespace novu::tool
