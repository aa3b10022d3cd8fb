// The saved forms of the history formats and the read marks, every version gate included.
#include <gtest/gtest.h>

#include "controls/novu_history.h"
#include "controls/novu_read_list.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"

namespace novu {
namespace {

void Close(TNovuNewHistory& history, const std::string& page, int32_t command) {
  TNovuNewHistory::Pending entry;
  entry.page = page;
  entry.command_index = command;
  entry.page_index = command % 2;
  entry.width = 300;
  entry.height = 100;
  entry.window = "m";
  history.Open({}, entry);
  history.Close("m", nullptr, nullptr);
}

std::vector<uint8_t> Saved(const TNovuHistoryFormatManager& m) {
  BinaryWriter out;
  m.Save(out);
  return out.Take();
}

TEST(HistoryFormats, RoundTripWithRecordsEntriesAndAPendingEntry) {
  TNovuHistoryFormatManager m;
  TNovuHistoryFormat& log = m.FindOrAdd("log");
  log.layout = HistoryLayout{20, 1, 2, 300, 200, 4};
  Close(m.Default().history, "a.nsb", 1);
  Close(m.Default().history, "a.nsb", 2);
  Close(m.Default().history, "b.nsb", 3);
  m.Default().history.max_count = 7;
  m.OpenEntry("m", "c.nsb", "x=1", 0, 0, 12, 5, 300, 100);
  const std::vector<uint8_t> bytes = Saved(m);

  TNovuHistoryFormatManager loaded;
  BinaryReader in(bytes);
  loaded.Load(in, 130);
  EXPECT_TRUE(in.AtEnd());
  ASSERT_EQ(loaded.FormatCount(), 2u);
  const TNovuNewHistory& h = loaded.Default().history;
  ASSERT_EQ(h.entries().size(), 3u);
  EXPECT_EQ(h.entries()[1].page, "");  // the name of the entry before it
  EXPECT_EQ(h.EntryName(1), "a.nsb");
  EXPECT_EQ(h.max_count, 7);
  EXPECT_EQ(h.pending().page, "c.nsb");
  EXPECT_EQ(h.pending().values, "x=1");
  ASSERT_NE(loaded.Find("log"), nullptr);
  EXPECT_EQ(loaded.Find("log")->layout.height, 200);
  EXPECT_EQ(Saved(loaded), bytes);
}

TEST(HistoryFormats, OldFormsAreReadFieldByField) {
  // Version 112: a dropped string first, the entries as parallel arrays, no layout, no records.
  BinaryWriter out;
  out.I32(1);      // formats
  out.String("");  // the default format
  for (int i = 0; i < 6; ++i) out.I32(0);
  out.String("old");  // dropped
  out.I32(2);
  out.String("p.nsb");
  out.String("");
  out.I32(4);
  out.I32(5);
  out.I32(0);
  out.I32(1);
  out.I32(300);
  out.I32(100);
  out.I32(300);
  out.I32(120);
  out.String("");  // pending: page, command, page index, size, window
  out.I32(0);
  out.I32(0);
  out.I32(0);
  out.I32(0);
  out.String("");
  const std::vector<uint8_t> bytes = out.Take();
  TNovuHistoryFormatManager m;
  BinaryReader in(bytes);
  m.Load(in, 112);
  EXPECT_TRUE(in.AtEnd());
  const TNovuNewHistory& h = m.Default().history;
  ASSERT_EQ(h.entries().size(), 2u);
  EXPECT_EQ(h.EntryName(1), "p.nsb");
  EXPECT_EQ(h.entries()[1].command_index, 5);
  EXPECT_EQ(h.entries()[1].height, 120);
}

TEST(HistoryFormats, ACountBeyondTheStreamIsRefusedAndLeavesTheDefaultFormat) {
  BinaryWriter out;
  out.I32(1);
  out.String("");
  for (int i = 0; i < 6; ++i) out.I32(0);
  out.I32(0x7fffffff);  // entries
  const std::vector<uint8_t> bytes = out.Take();
  TNovuHistoryFormatManager m;
  BinaryReader in(bytes);
  EXPECT_THROW(m.Load(in, 130), NovuError);
  EXPECT_EQ(m.FormatCount(), 1u);
  EXPECT_EQ(m.Default().history.entries().size(), 0u);
}

TEST(ReadMarks, RoundTripAndDamage) {
  TNovuReadList reads;
  reads.Arm("m", "a.nsb", 0, 3);
  reads.Commit("other");  // not this window's mark
  EXPECT_FALSE(reads.IsRead("a.nsb", 3, 0));
  reads.Commit("m");
  reads.Arm("m", "A.NSB", 1, 3);
  reads.Commit("m");
  reads.Arm("w", "b.nsb", 2, 9);
  EXPECT_TRUE(reads.IsRead("a.nsb", 3, 1));
  BinaryWriter out;
  reads.Save(out);
  const std::vector<uint8_t> bytes = out.Take();

  TNovuReadList loaded;
  BinaryReader in(bytes);
  loaded.Load(in, 103);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(loaded.ItemCount(), 1);
  EXPECT_TRUE(loaded.IsRead("a.nsb", 3, 0));
  EXPECT_EQ(loaded.armed_page(), "b.nsb");
  BinaryWriter again;
  loaded.Save(again);
  EXPECT_EQ(again.Take(), bytes);

  // Before version 100 there is no block; a damaged one leaves nothing behind.
  BinaryReader none(bytes);
  loaded.Load(none, 99);
  EXPECT_EQ(loaded.ItemCount(), 0);
  std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 6);
  BinaryReader damaged(cut);
  EXPECT_THROW(loaded.Load(damaged, 103), NovuError);
  EXPECT_EQ(loaded.ItemCount(), 0);
}

}  // namespace
}  // namespace novu
