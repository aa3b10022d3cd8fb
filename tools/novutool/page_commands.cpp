// novutool asm / disasm: script pages from and to the page text language.
#include <cstdio>
#include <filesystem>

#include "authoring/page_text.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "tool_command.h"

namespace novu::tool {
namespace {

int Assemble(const Args& given) {
  Args args = given;
  const std::string output = TakeOption(args, "-o");
  if (args.size() != 1 || output.empty()) return Usage("asm");
  auto text = platform::ReadWholeFile(args[0]);
  if (!text) return Fail("cannot read " + args[0]);
  const std::string name = std::filesystem::path(output).filename().string();
  const std::vector<uint8_t> page = AssemblePage(
      std::string_view(reinterpret_cast<const char*>(text->data()), text->size()), name);
  platform::WriteFileAtomically(output, page);
  return 0;
}

int Disassemble(const Args& args) {
  if (args.size() != 1) return Usage("disasm");
  auto data = platform::ReadWholeFile(args[0]);
  if (!data) return Fail("cannot read " + args[0]);
  const std::string text = DisassemblePage(*data);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

}  // namespace

NOVU_TOOL_COMMAND("asm", "PAGE.nst -o PAGE.nsb", "assemble a script page from its text", Assemble);
NOVU_TOOL_COMMAND("disasm", "PAGE.nsb",
                  "print a script page as text (asm reads it back byte for byte)", Disassemble);

}  // namespace novu::tool
