// Writes seeds for the expr_functions fuzz target into the folder given as the last argument:
// every function called with its minimum and its maximum number of arguments, once with
// constants and once with variables.
#include <filesystem>
#include <string>

#include "core/binary_writer.h"
#include "platform/file_io.h"

namespace {

// Argument i of a call: a string, an int and a variable in turn.
void Argument(novu::BinaryWriter& out, int i, bool variables) {
  if (variables) {
    out.U8(static_cast<uint8_t>(0x80 | (i % 4)));
    return;
  }
  switch (i % 3) {
    case 0:
      out.U8(3);  // string
      out.U8(4);
      for (char ch : std::string("a\x95\\b")) out.U8(static_cast<uint8_t>(ch));
      break;
    case 1:
      out.U8(0);  // int
      out.I32(2);
      break;
    default:
      out.U8(0x80 | 3);  // the string array
      break;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::filesystem::path folder = argv[argc - 1];
  std::filesystem::create_directories(folder);
  for (int variables = 0; variables < 2; ++variables) {
    for (int counts : {1, 3, 5}) {
      novu::BinaryWriter out;
      for (int number = 0; number < 159; ++number) {
        out.U8(static_cast<uint8_t>(number));
        out.U8(static_cast<uint8_t>(counts));
        for (int i = 0; i < counts; ++i) Argument(out, i, variables != 0);
      }
      const std::string name = "calls" + std::to_string(counts) + (variables ? "v" : "c");
      novu::platform::WriteFileAtomically(folder / name, out.bytes());
    }
  }
  return 0;
}
