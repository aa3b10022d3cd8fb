// The table manager: named tables, the active table, copying between tables, direct access,
// Reset, and the table block of saves and status data with its checks on damaged data.
#include <gtest/gtest.h>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/db_manager.h"
#include "expr/param_values.h"
#include "platform/error.h"

namespace novu {
namespace {

TDBTable& Make(TDBManager& m, std::string_view name, bool status, std::vector<std::string> lines) {
  EXPECT_GE(m.CreateTable(name, status), 0);
  TDBTable& t = *m.ActiveTable();
  EXPECT_TRUE(t.LoadFromTsv(lines));
  return t;
}

std::string Names(const TDBManager& m) {
  std::string out;
  for (int32_t i = 0; i < m.Count(); ++i) out += (i ? "," : "") + m.Table(i).name();
  return out;
}

std::string Column(const TDBTable& t, int32_t field = 0) {
  std::string out;
  for (int32_t r = 0; r < t.GetRecordCount(); ++r) {
    out += (r ? "," : "") + *t.Get<std::string>(r, field);
  }
  return out;
}

std::vector<uint8_t> Block(const TDBManager& m, bool status) {
  BinaryWriter out;
  m.SaveTables(out, status);
  return out.Take();
}

// A game with two ordinary tables and one status table, the status table active.
struct World {
  World() {
    Make(m, "items", false,
         {"name str 6\tcount int\tprice float\tok bool", "sword\t1\t2.5\tTRUE",
          "shield\t2\t10\tFALSE", "potion\t9\t0.25\tTRUE"});
    m.ActiveTable()->SetRecNo(1);
    Make(m, "empty", false, {"x int"});
    Make(m, "flags", true, {"flag str 8\ton bool", "seen\tTRUE"});
  }
  TDBManager m;
};

TEST(DataTableManager, NamesAreUniqueIgnoringCaseAndTheNewTableIsActive) {
  TDBManager m;
  EXPECT_EQ(m.CreateTable("", false), -1);
  EXPECT_EQ(m.CreateTable("Items", false), 0);
  EXPECT_EQ(m.CreateTable("ITEMS", true), -1);
  EXPECT_EQ(m.CreateTable("other", true), 1);
  EXPECT_EQ(m.ActiveTable()->name(), "other");
  EXPECT_EQ(m.IndexOfTable("items"), 0);
  EXPECT_FALSE(m.SetActive("nope"));
  EXPECT_EQ(m.ActiveTable()->name(), "other");
  EXPECT_TRUE(m.SetActive("iTeMs"));
  EXPECT_EQ(m.ActiveTable()->name(), "Items");
}

TEST(DataTableManager, DeletingATableKeepsTheActiveOneOrLeavesNone) {
  World w;
  EXPECT_TRUE(w.m.DeleteTable("items"));
  EXPECT_EQ(w.m.ActiveTable()->name(), "flags");
  EXPECT_FALSE(w.m.DeleteTable("items"));
  EXPECT_TRUE(w.m.DeleteTable("FLAGS"));
  EXPECT_EQ(w.m.ActiveTable(), nullptr);
  EXPECT_FALSE(w.m.DeleteActiveTable());
  EXPECT_EQ(Names(w.m), "empty");
}

TEST(DataTableManager, CopyTableReplacesTheDestinationWithTheListedRecords) {
  World w;
  w.m.SetActive("items");
  EXPECT_FALSE(w.m.CopyTable("items", std::vector<int32_t>{0}));  // the active table itself
  EXPECT_FALSE(w.m.CopyTable("nope", std::vector<int32_t>{0}));
  EXPECT_TRUE(w.m.CopyTable("flags", std::vector<int32_t>{2, 0}));
  const TDBTable& flags = *w.m.FindTable("flags");
  EXPECT_TRUE(flags.status());  // keeps its name and flag
  EXPECT_TRUE(flags.fields().SameFields(w.m.ActiveTable()->fields()));
  EXPECT_EQ(Column(flags), "potion,sword");
  EXPECT_EQ(flags.GetRecNo(), 1);

  TDBManager none;
  none.CreateTable("a", false);
  none.CreateTable("b", false);
  none.DeleteTable("b");
  EXPECT_FALSE(none.CopyTable("a", {}));  // no active table
}

TEST(DataTableManager, InsertTableAppendsRecordsOfATableWithTheSameFields) {
  World w;
  w.m.SetActive("items");
  EXPECT_FALSE(w.m.InsertTable("flags", std::vector<int32_t>{0}));  // other fields
  EXPECT_TRUE(w.m.InsertTable("items", std::vector<int32_t>{0, 2}));
  EXPECT_EQ(Column(*w.m.ActiveTable()), "sword,shield,potion,sword,potion");
  EXPECT_EQ(w.m.ActiveTable()->GetRecNo(), 4);
}

TEST(DataTableManager, DirectAccessTouchesNeitherTheActiveTableNorCurrentRecords) {
  World w;
  const TParamStr names("name");
  const TParamStr key("potion");
  const TParamStr missing("axe");
  const DBKeys potion{&names, &key, false, false};
  EXPECT_EQ(w.m.DirectGet<int32_t>("items", potion, "count"), 9);
  EXPECT_EQ(w.m.DirectGet<std::string>("ITEMS", potion, "price"), "0.25");
  EXPECT_FALSE(w.m.DirectGet<int32_t>("items", {&names, &missing}, "count").has_value());
  EXPECT_FALSE(w.m.DirectGet<int32_t>("items", potion, "weight").has_value());
  EXPECT_FALSE(w.m.DirectGet<int32_t>("nope", potion, "count").has_value());
  EXPECT_TRUE(w.m.DirectSetFloat("items", potion, "count", 4.5L));
  EXPECT_FALSE(w.m.DirectSetInt("items", {&names, &missing}, "count", 1));
  EXPECT_EQ(w.m.DirectGet<int32_t>("items", potion, "count"), 4);
  EXPECT_EQ(w.m.ActiveTable()->name(), "flags");
  EXPECT_EQ(w.m.FindTable("items")->GetRecNo(), 1);
}

TEST(DataTableManager, ResetKeepsOnlyStatusTablesAndClearKeepsNone) {
  World w;
  w.m.ResetTables();
  EXPECT_EQ(Names(w.m), "flags");
  EXPECT_EQ(w.m.ActiveTable(), nullptr);
  w.m.Clear();
  EXPECT_EQ(w.m.Count(), 0);
}

// ---- The table block.

TEST(DataTableBlock, RoundTripsByteIdentically) {
  World w;
  const std::vector<uint8_t> status = Block(w.m, true);
  const std::vector<uint8_t> game = Block(w.m, false);
  TDBManager loaded;
  BinaryReader status_in(status);
  loaded.LoadTables(status_in, true);
  BinaryReader game_in(game);
  loaded.LoadTables(game_in, false);
  EXPECT_TRUE(status_in.AtEnd() && game_in.AtEnd());
  EXPECT_EQ(Block(loaded, true), status);
  EXPECT_EQ(Block(loaded, false), game);
}

TEST(DataTableBlock, GameAndStatusBlocksHoldTheirOwnTablesAndTheActiveName) {
  World w;  // the status table "flags" is active
  const std::vector<uint8_t> game = Block(w.m, false);
  const std::vector<uint8_t> status = Block(w.m, true);
  BinaryReader header(game);
  EXPECT_EQ(header.I32(), 100);
  EXPECT_EQ(header.I32(), 2);

  // A later run: the status tables come first (start-up), then a game is loaded.
  TDBManager next;
  BinaryReader status_in(status);
  next.LoadTables(status_in, true);
  EXPECT_EQ(next.ActiveTable()->name(), "flags");  // the last status table read
  Make(next, "stale", false, {"a int", "1"});
  BinaryReader game_in(game);
  next.LoadTables(game_in, false);
  EXPECT_EQ(Names(next), "flags,items,empty");
  EXPECT_EQ(next.ActiveTable()->name(), "flags");  // a status table, as when saved
  EXPECT_EQ(next.FindTable("items")->GetRecNo(), 1);
  EXPECT_EQ(Column(*next.FindTable("items"), 2), "2.5,10,0.25");
}

TEST(DataTableBlock, AnActiveNameThatNamesNoTableLeavesNoneActive) {
  BinaryWriter out;
  out.I32(100);
  out.I32(0);
  out.String("gone");
  TDBManager m;
  Make(m, "kept", true, {"a int"});
  BinaryReader in(out.bytes());
  m.LoadTables(in, false);
  EXPECT_EQ(m.ActiveTable(), nullptr);
  EXPECT_EQ(Names(m), "kept");
}

// One saved table (kind byte included) whose fields and records the case builds.
struct SavedTable {
  std::vector<std::pair<int32_t, uint8_t>> fields;  // size, type
  int32_t records = 0;
  std::vector<uint8_t> data;
  int32_t current = -1;
};

std::vector<uint8_t> GameBlock(const SavedTable& t) {
  BinaryWriter out;
  out.I32(100);
  out.I32(1);
  out.U8(0);
  out.String("t");
  out.U8(0);
  out.I32(static_cast<int32_t>(t.fields.size()));
  for (size_t i = 0; i < t.fields.size(); ++i) {
    out.I32(t.fields[i].first);
    out.String("f" + std::to_string(i));
    out.U8(t.fields[i].second);
  }
  out.I32(t.records);
  out.Bytes(t.data);
  out.I32(t.current);
  out.String("t");
  return out.Take();
}

TEST(DataTableBlock, DamagedTablesAreRefusedAndChangeNothing) {
  const SavedTable damaged[] = {
      {{{5, PT_INT}}, 0, {}, -1},    // an integer of 5 bytes
      {{{4, PT_FLOAT}}, 0, {}, -1},  // a float of 4
      {{{2, PT_BOOL}}, 0, {}, -1},   // a flag of 2
      {{{0, PT_STR}}, 0, {}, -1},    // a string without room for its terminator
      {{{-3, PT_STR}}, 0, {}, -1},
      {{{kDBMaxStringCapacity + 2, PT_STR}}, 0, {}, -1},
      {{{4, 0}}, 0, {}, -1},  // no such type
      {{{4, 9}}, 0, {}, -1},
      {{{4, PT_INT}}, 3, {1, 0, 0, 0, 2, 0, 0, 0}, 0},  // three records, two written
      {{{4, PT_INT}}, -1, {}, -1},
      {{}, kDBMaxRecordCount + 1, {}, -1},  // more empty records than a table holds
  };
  for (const SavedTable& t : damaged) {
    TDBManager m;
    Make(m, "before", false, {"a int", "1"});
    const std::vector<uint8_t> block = GameBlock(t);
    BinaryReader in(block);
    EXPECT_THROW(m.LoadTables(in, false), NovuError)
        << (t.fields.empty() ? 0 : t.fields[0].first) << " " << t.records;
    EXPECT_EQ(Names(m), "before");
    EXPECT_EQ(m.ActiveTable()->name(), "before");
  }
}

TEST(DataTableBlock, ATableOfTheOtherKindIsRefused) {
  World w;  // status and game tables
  for (const bool status : {true, false}) {
    const std::vector<uint8_t> block = Block(w.m, !status);
    TDBManager m;
    Make(m, "before", status, {"a int", "1"});
    BinaryReader in(block);
    EXPECT_THROW(m.LoadTables(in, status), NovuError) << status;
    EXPECT_EQ(Names(m), "before");
  }
}

TEST(DataTableBlock, TheCurrentRecordIsClampedAndStringsStayWithinTheirCapacity) {
  const std::pair<int32_t, int32_t> currents[] = {{-7, -1}, {-1, -1}, {1, 1}, {2, 1}, {99, 1}};
  for (const auto& [stored, expected] : currents) {
    // Two records of a 3-byte string field (capacity 2) that holds no terminator.
    const SavedTable t{{{3, PT_STR}}, 2, {'a', 'b', 'c', 'x', 0, 'y'}, stored};
    TDBManager m;
    const std::vector<uint8_t> block = GameBlock(t);
    BinaryReader in(block);
    m.LoadTables(in, false);
    const TDBTable& loaded = *m.ActiveTable();
    EXPECT_EQ(loaded.GetRecNo(), expected) << stored;
    EXPECT_EQ(Column(loaded), "ab,x");
  }
}

}  // namespace
}  // namespace novu
