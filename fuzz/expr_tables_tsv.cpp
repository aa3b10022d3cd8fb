// Fuzz target: a tab-separated data file loaded into a table that already holds data. A file
// that loads gives a table whose saved record loads again to the same bytes; one that does not
// leaves the table as it was. Searching and sorting by the first field never fail.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/db_table.h"
#include "expr/function_text.h"
#include "expr/param_values.h"

namespace {

std::vector<uint8_t> Saved(const novu::TDBTable& table) {
  novu::BinaryWriter out;
  table.SaveToStream(out);
  return out.Take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TDBTable table("t", false);
  table.LoadFromTsv(std::vector<std::string>{"before int\tname str 4", "1\tone"});
  const std::vector<uint8_t> before = Saved(table);
  if (!table.LoadFromTsv(text::SplitLines(text))) {
    if (Saved(table) != before) std::abort();
    return 0;
  }
  const std::vector<uint8_t> saved = Saved(table);
  BinaryReader in(saved);
  if (Saved(*TDBTable::LoadFromStream(in)) != saved || !in.AtEnd()) std::abort();
  if (table.fields().Count() > 0) {
    const TParamStr name(table.fields().Field(0).name);
    const TParamStr key(std::string(text.substr(0, 8)));
    const TParamFlag down(convert::Flag::kTrue);
    table.Find({&name, &key, true, true});
    table.Sort(name, down);
  }
  return 0;
}
