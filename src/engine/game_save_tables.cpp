#include "engine/game_save_tables.h"

#include "core/binary_reader.h"
#include "expr/db_manager.h"

namespace novu {

void WriteGameTables(BinaryWriter& out, const TDBManager& tables) {
  tables.SaveTables(out, false);
}

void ReadGameTables(BinaryReader& in, int32_t save_version, TDBManager& tables) {
  if (save_version < kFirstSaveVersionWithTables) return;
  tables.LoadTables(in, false);
}

void DataTablesBlock::Read(BinaryReader& in, int32_t version) {
  pending_.reset();
  if (version < kFirstSaveVersionWithTables) return;
  const size_t start = in.position();
  TDBManager scratch;
  scratch.LoadTables(in, false);
  const auto block = in.data().subspan(start, in.position() - start);
  pending_.emplace(block.begin(), block.end());
}

void DataTablesBlock::Commit() {
  if (!pending_) return;
  BinaryReader again(*pending_);
  tables_.LoadTables(again, false);
  pending_.reset();
}

}  // namespace novu
