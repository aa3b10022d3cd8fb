// The tables block of a saved game: the game's tables and the active name, from version 123.
#include <gtest/gtest.h>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "engine/game_save_tables.h"
#include "expr/db_manager.h"
#include "platform/error.h"

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

TEST(GameSaveTables, TheBlockChangesTheTablesOnlyWhenCommitted) {
  TDBManager saved;
  saved.CreateTable("game", false);
  BinaryWriter out;
  WriteGameTables(out, saved);

  TDBManager running;
  running.CreateTable("status", true);
  running.CreateTable("before", false);
  DataTablesBlock block(running);
  BinaryReader in(out.bytes());
  block.Read(in, 139);
  EXPECT_EQ(in.position(), out.size());
  EXPECT_GE(running.IndexOfTable("before"), 0);  // read, not yet taken
  block.Commit();
  EXPECT_GE(running.IndexOfTable("game"), 0);
  EXPECT_LT(running.IndexOfTable("before"), 0);
  EXPECT_GE(running.IndexOfTable("status"), 0);

  // A block cut short is refused while reading, and the tables stay as they are.
  const std::vector<uint8_t> cut(out.bytes().begin(), out.bytes().end() - 2);
  BinaryReader short_in(cut);
  EXPECT_THROW(block.Read(short_in, 139), NovuError);
  block.Commit();
  EXPECT_GE(running.IndexOfTable("game"), 0);
}

}  // namespace
}  // namespace novu
