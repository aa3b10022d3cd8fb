#include "engine/game_save_tables.h"

#include "expr/db_manager.h"

namespace novu {

void WriteGameTables(BinaryWriter& out, const TDBManager& tables) {
  tables.SaveTables(out, false);
}

void ReadGameTables(BinaryReader& in, int32_t save_version, TDBManager& tables) {
  if (save_version < kFirstSaveVersionWithTables) return;
  tables.LoadTables(in, false);
}

}  // namespace novu
