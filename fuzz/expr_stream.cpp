// Fuzz target: a compiled expression from a script page is read, written back and read again
// identically, and evaluated against a table holding a few variables of every kind.
#include <array>
#include <cstdint>
#include <cstdlib>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/novu_parser.h"
#include "expr/param_collection.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  TNovuParser parser;
  try {
    BinaryReader in(std::span<const uint8_t>(data, size));
    parser.LoadFromStream(in);
  } catch (const NovuError&) {
    return 0;
  }
  BinaryWriter first;
  parser.SaveToStream(first);
  TNovuParser again;
  BinaryReader reread(std::span<const uint8_t>(first.bytes()));
  again.LoadFromStream(reread);
  BinaryWriter second;
  again.SaveToStream(second);
  if (first.bytes() != second.bytes()) std::abort();

  TParamCollection table;
  const std::array<int32_t, 2> dims = {3, 4};
  for (auto [name, type] : {std::pair{"a", PT_INT},
                            {"b", PT_FLOAT},
                            {"c", PT_BOOL},
                            {"s", PT_STR},
                            {"i", PT_INT},
                            {"x", PT_INT}}) {
    table.Declare(name, type, VarScope::kGlobal, nullptr);
  }
  table.Find("a")->value().SetDims(dims);
  parser.Evaluate(table);
  // Every temporary is gone again.
  if (table.Count() != kSystemVariableCount + 6) std::abort();
  return 0;
}
