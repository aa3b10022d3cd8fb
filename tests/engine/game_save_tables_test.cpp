// The tables block of a saved game: the game's tables and the active name, from version 123.
#include <gtest/gtest.h>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "engine/game_save_tables.h"
#include "expr/db_manager.h"

namespace novu {
namespace {

TEST(GameSaveTables, SavesOfVersion123AndLaterCarryTheGameTables) {
  TDBManager saved;
  saved.CreateTable("status", true);
  saved.CreateTable("game", false);
  saved.SetActive("status");
  BinaryWriter out;
  WriteGameTables(out, saved);

  for (const int32_t version : {122, 123, 139}) {
    TDBManager loaded;
    loaded.CreateTable("status", true);
    loaded.CreateTable("before", false);
    BinaryReader in(out.bytes());
    ReadGameTables(in, version, loaded);
    const bool read = version >= kFirstSaveVersionWithTables;
    EXPECT_EQ(in.position(), read ? out.size() : 0) << version;
    EXPECT_EQ(loaded.IndexOfTable("game") >= 0, read) << version;
    EXPECT_EQ(loaded.IndexOfTable("before") >= 0, !read) << version;
    EXPECT_EQ(loaded.ActiveTable()->name(), read ? "status" : "before") << version;
  }
}

}  // namespace
}  // namespace novu
