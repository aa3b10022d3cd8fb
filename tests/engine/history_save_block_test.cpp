// The history formats in a saved game: written whole, read into a pending set and taken over
// only on commit; saves older than the format list hold the default history alone.
#include <gtest/gtest.h>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "engine/history_save_block.h"

namespace novu {
namespace {

void AddEntry(TNovuHistoryFormatManager& m, const std::string& page, int32_t command) {
  m.OpenEntry("m", page, {}, 0, 0, -1, command, 300, 100);
  m.CloseEntry("m");
}

TEST(HistorySaveBlock, FormatsGoIntoTheSaveAndComeBackOnCommit) {
  TNovuHistoryFormatManager running;
  running.FindOrAdd("log").layout.width = 0;
  AddEntry(running, "a.nsb", 2);
  AddEntry(running, "b.nsb", 5);
  HistorySaveBlock block(&running);
  BinaryWriter out;
  block.Save(out);
  const std::vector<uint8_t> bytes = out.Take();

  TNovuHistoryFormatManager other;
  AddEntry(other, "c.nsb", 1);
  HistorySaveBlock loading(&other);
  BinaryReader in(bytes);
  loading.Read(in, kGameSaveVersion);
  EXPECT_TRUE(in.AtEnd());
  // Nothing changes before the commit.
  EXPECT_EQ(other.Default().history.entries().size(), 1u);
  EXPECT_EQ(other.Find("log"), nullptr);
  loading.Commit();
  EXPECT_EQ(other.Default().history.entries().size(), 2u);
  EXPECT_EQ(other.Default().history.EntryName(1), "b.nsb");
  EXPECT_NE(other.Find("log"), nullptr);
}

TEST(HistorySaveBlock, OlderSavesHoldTheDefaultHistoryAlone) {
  TNovuHistoryFormatManager running;
  AddEntry(running, "a.nsb", 3);
  BinaryWriter out;
  running.Default().history.Save(out);
  const std::vector<uint8_t> bytes = out.Take();
  TNovuHistoryFormatManager other;
  other.FindOrAdd("log");
  HistorySaveBlock loading(&other);
  BinaryReader in(bytes);
  loading.Read(in, kHistoryFormatsVersion - 1);
  EXPECT_TRUE(in.AtEnd());
  loading.Commit();
  EXPECT_EQ(other.FormatCount(), 1u);
  ASSERT_EQ(other.Default().history.entries().size(), 1u);
  EXPECT_EQ(other.Default().history.entries()[0].command_index, 3);
}

}  // namespace
// Saves of versions 113 to 134 keep the default format's settings among the variables; the
// history takes them over when the load is committed.
TEST(HistorySaveBlock, SettingsKeptAmongTheVariablesOfOldSavesReachTheDefaultFormat) {
  for (const int32_t version : {120, 134, kHistoryFormatsVersion}) {
    BinaryWriter vars_out;
    vars_out.I32(0);  // no variables
    vars_out.I32(256);
    vars_out.String("");
    vars_out.String("");
    vars_out.I32(0);
    if (version < kHistoryFormatsVersion) {
      for (int32_t v : {18, 2, 3, 400, 300, 6}) vars_out.I32(v);
    }
    vars_out.String("");
    TParamCollection vars;
    BinaryReader vars_in(std::span<const uint8_t>(vars_out.bytes()));
    vars.LoadFromStream(vars_in, version);

    TNovuHistoryFormatManager running;
    AddEntry(running, "a.nsb", 3);
    BinaryWriter out;
    if (version < kHistoryFormatsVersion) {
      running.Default().history.Save(out);
    } else {
      running.Save(out);
    }
    TNovuHistoryFormatManager other;
    HistorySaveBlock loading(&other, &vars);
    BinaryReader in(std::span<const uint8_t>(out.bytes()));
    loading.Read(in, version);
    loading.Commit();
    const HistoryLayout& layout = other.Default().layout;
    if (version < kHistoryFormatsVersion) {
      EXPECT_EQ(layout.font_size, 18) << version;
      EXPECT_EQ(layout.width, 400) << version;
      EXPECT_EQ(layout.line_spacing, 6) << version;
    } else {
      EXPECT_EQ(layout.font_size, running.Default().layout.font_size) << "the format's own";
    }
  }
}

}  // namespace novu
