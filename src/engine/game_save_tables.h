#pragma once
// The data tables inside a saved game: the tables block with the game's own tables (not the
// status tables) and the active table's name, present in saves of version 123 and later.
#include <cstdint>

namespace novu {

class BinaryReader;
class BinaryWriter;
class TDBManager;

inline constexpr int32_t kFirstSaveVersionWithTables = 123;

void WriteGameTables(BinaryWriter& out, const TDBManager& tables);
// Reads the block of a save of `save_version`; an older save has none and leaves the tables as
// they are. Damaged data raises NovuError and changes nothing.
void ReadGameTables(BinaryReader& in, int32_t save_version, TDBManager& tables);

}  // namespace novu
