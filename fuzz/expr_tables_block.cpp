// Fuzz target: the tables block of saves (first byte even) and of status data (odd). A block
// that loads is written again, and that must load again to the same bytes; one that does not
// load leaves the tables that were there.
#include <cstdint>
#include <cstdlib>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/db_manager.h"
#include "platform/error.h"

namespace {

std::vector<uint8_t> Block(const novu::TDBManager& tables, bool status) {
  novu::BinaryWriter out;
  tables.SaveTables(out, status);
  return out.Take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  if (size == 0) return 0;
  const bool status = (data[0] & 1) != 0;
  TDBManager tables;
  tables.CreateTable("kept", !status);
  tables.CreateTable("replaced", status);
  try {
    BinaryReader in(std::span<const uint8_t>(data + 1, size - 1));
    tables.LoadTables(in, status);
  } catch (const NovuError&) {
    if (tables.Count() != 2 || tables.ActiveTable() != &tables.Table(1)) std::abort();
    return 0;
  }
  if (tables.IndexOfTable("kept") < 0) std::abort();  // the other kind stays
  const std::vector<uint8_t> first = Block(tables, status);
  // The same tables of the other kind first: a game's active name may name one of them.
  TDBManager again;
  again.CreateTable("kept", !status);
  BinaryReader in(first);
  again.LoadTables(in, status);
  if (Block(again, status) != first) std::abort();
  return 0;
}
