// The tables block of the status data: the status tables, read from entries of version 103 and
// later and written from the table manager, the other blocks around them left as they were.
#include <gtest/gtest.h>

#include "core/binary_writer.h"
#include "engine/status_data.h"
#include "expr/db_manager.h"
#include "expr/param_collection.h"
#include "platform/error.h"

namespace novu {
namespace {

// A status entry of `version`: one status variable, one marked page, the dither flag and,
// from 103, the status tables of `tables`.
std::vector<uint8_t> Entry(int32_t version, const TDBManager& tables) {
  BinaryWriter out;
  out.Bytes("Status" + std::to_string(version));
  TParamCollection vars;
  vars.Declare("seen", PT_INT, VarScope::kStatus, nullptr)->value().SetAsInt(3);
  vars.SaveStatusToStream(out);
  out.I32(1);  // one page with one mark
  out.String("main.nsb");
  out.I32(1);
  out.I32(4);
  out.I32(9);
  out.String("");  // no armed mark
  out.I32(0);
  out.I32(0);
  out.String("");
  out.U8(1);  // dither
  if (version >= 103) tables.SaveTables(out, true);
  return out.Take();
}

TDBManager Tables() {
  TDBManager m;
  m.CreateTable("flags", true);
  m.ActiveTable()->LoadFromTsv(std::vector<std::string>{"flag str 8\ton bool", "seen\tTRUE"});
  m.CreateTable("game", false);  // not a status table: never in the status data
  m.CreateTable("more", true);
  m.ActiveTable()->AddField("n", PT_FLOAT, 0);
  return m;
}

TEST(StatusTablesBlock, StatusTablesAreReadAndWrittenBackByteIdentically) {
  const TDBManager saved = Tables();
  const std::vector<uint8_t> entry = Entry(103, saved);
  TParamCollection vars;
  TDBManager tables;
  StatusData status;
  status.SetTables(&tables);
  status.Read(entry, vars);
  ASSERT_EQ(tables.Count(), 2);
  EXPECT_EQ(tables.Table(0).name(), "flags");
  EXPECT_EQ(*tables.Table(0).Get<std::string>(0, 0), "seen");
  EXPECT_EQ(tables.ActiveTable()->name(), "more");
  EXPECT_EQ(status.Write(vars), entry);

  // Tables made in this run are written in place of those read; game tables stay out.
  tables.CreateTable("new", true);
  tables.CreateTable("other game", false);
  TDBManager expected = Tables();
  expected.CreateTable("new", true);
  EXPECT_EQ(status.Write(vars), Entry(103, expected));
}

TEST(StatusTablesBlock, OlderEntriesHaveNoTablesAndGainThem) {
  TParamCollection vars;
  TDBManager tables;
  tables.CreateTable("made", true);
  StatusData status;
  status.SetTables(&tables);
  status.Read(Entry(102, Tables()), vars);
  EXPECT_EQ(tables.Count(), 1);  // nothing was read
  EXPECT_EQ(status.Write(vars), Entry(103, tables));
}

TEST(StatusTablesBlock, DamagedTablesAreReported) {
  std::vector<uint8_t> entry = Entry(103, Tables());
  entry.resize(entry.size() - 2);  // the last table's current index is cut short
  TParamCollection vars;
  TDBManager tables;
  StatusData status;
  status.SetTables(&tables);
  EXPECT_THROW(status.Read(entry, vars), NovuError);
  EXPECT_EQ(tables.Count(), 0);
}

}  // namespace
}  // namespace novu
