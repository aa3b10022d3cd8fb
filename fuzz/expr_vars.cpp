// Fuzz target: the variable blocks of save data. The first byte picks the reader: 0 the game
// block (version 139, with the variable stack, which is then popped), 1 the status block.
// A block that loads is written again and must load again.
#include <cstdint>
#include <cstdlib>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/param_collection.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  if (size == 0) return 0;
  const bool status = (data[0] & 1) != 0;
  TParamCollection table;
  try {
    BinaryReader in(std::span<const uint8_t>(data + 1, size - 1));
    if (status) {
      table.LoadStatusFromStream(in);
    } else {
      table.LoadFromStream(in, 139);
    }
  } catch (const NovuError&) {
    if (table.Count() != kSystemVariableCount) std::abort();  // nothing half-loaded
    return 0;
  }
  BinaryWriter out;
  status ? table.SaveStatusToStream(out) : table.SaveToStream(out);
  TParamCollection again;
  BinaryReader in(std::span<const uint8_t>(out.bytes()));
  status ? again.LoadStatusFromStream(in) : again.LoadFromStream(in, 139);
  while (table.VarStackSize() > 0) {
    try {
      table.PopVars();
    } catch (const NovuError&) {
    }
  }
  return 0;
}
