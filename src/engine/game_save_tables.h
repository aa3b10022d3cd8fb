#pragma once
// The data tables inside a saved game: the tables block with the game's own tables (not the
// status tables) and the active table's name, present in saves of version 123 and later.
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/game_save.h"

namespace novu {

class BinaryReader;
class BinaryWriter;
class TDBManager;

inline constexpr int32_t kFirstSaveVersionWithTables = 123;

void WriteGameTables(BinaryWriter& out, const TDBManager& tables);
// Reads the block of a save of `save_version`; an older save has none and leaves the tables as
// they are. Damaged data raises NovuError and changes nothing.
void ReadGameTables(BinaryReader& in, int32_t save_version, TDBManager& tables);

// The game's data tables as a block of the saved game. Reading checks the block on a scratch
// manager and keeps its bytes; only Commit replaces the game's tables, so a save that fails
// later changes nothing.
class DataTablesBlock final : public GameSaveBlock {
 public:
  explicit DataTablesBlock(TDBManager& tables) : tables_(tables) {}
  void Save(BinaryWriter& out) const override { WriteGameTables(out, tables_); }
  void Read(BinaryReader& in, int32_t version) override;
  void Commit() override;

 private:
  TDBManager& tables_;
  std::optional<std::vector<uint8_t>> pending_;  // none: the save has no tables block
};

}  // namespace novu
