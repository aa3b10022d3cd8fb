// Fuzz target: any text given to the compiler either fails with the general error or compiles
// into operations that survive the stream form and evaluate.
#include <cstdint>
#include <string_view>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/build_novu_parser.h"
#include "expr/novu_parser.h"
#include "expr/param_collection.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  TBuildNovuParser builder;
  BinaryWriter stream;
  try {
    builder.Compile(text);
    builder.SaveToStream(stream);
  } catch (const NovuError&) {
    return 0;
  }
  TNovuParser parser;
  BinaryReader in(std::span<const uint8_t>(stream.bytes()));
  parser.LoadFromStream(in);
  TParamCollection table;
  table.Declare("x", PT_INT, VarScope::kGlobal, nullptr);
  parser.Evaluate(table);
  return 0;
}
