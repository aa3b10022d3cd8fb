// Fuzzes the preview-menu file reader: the input is a whole menu file, read with a folder so
// that every name goes through the path resolution too; what it reads is written again and
// must read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "controls/cont_sel_list.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  TContSelList menu;
  try {
    BinaryReader in(std::span<const uint8_t>(data, size));
    menu = TContSelList::Read(in, "menus\\sub");
  } catch (const NovuError&) {
    return 0;
  }
  BinaryWriter out;
  menu.Write(out);
  BinaryReader again(out.bytes());
  if (!(TContSelList::Read(again) == menu)) std::abort();
  return 0;
}
