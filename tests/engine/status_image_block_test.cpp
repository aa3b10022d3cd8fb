// The image-collection block of the status data: the dither flag of the image cache, after the
// read marks.
#include <gtest/gtest.h>

#include "controls/fipo_collection.h"
#include "controls/novu_read_list.h"
#include "core/binary_writer.h"
#include "engine/status_data.h"
#include "expr/param_collection.h"

namespace novu {
namespace {

// A status entry of `version` with no status variables, one marked page (or none) and then
// the flag.
std::vector<uint8_t> Entry(int32_t version, uint8_t dither, bool marked = true) {
  BinaryWriter out;
  out.Bytes("Status" + std::to_string(version));
  TParamCollection().SaveStatusToStream(out);
  if (version >= 100 && !marked) {
    out.I32(0);
    out.String("");
    out.I32(0);
    out.I32(0);
    out.String("");
  } else if (version >= 100) {
    out.I32(1);  // one page with two marks
    out.String("main.nsb");
    out.I32(2);
    out.I32(4);
    out.I32(9);
    out.I32(0);
    out.I32(1);
    out.String("main.nsb");  // armed mark
    out.I32(4);
    out.I32(1);
    out.String("mes");
  }
  if (version >= 101) out.U8(dither);
  if (version >= 103) {
    out.I32(100);
    out.I32(0);
  }
  return out.Take();
}

TEST(StatusImageBlock, DitherFlagIsReadAfterTheReadMarksAndWrittenBack) {
  TParamCollection vars;
  TFipoCollection images({});
  StatusData status;
  status.SetImageCache(&images);
  status.Read(Entry(103, 1), vars);
  EXPECT_TRUE(images.dither());

  images.SetDither(false);
  EXPECT_EQ(status.Write(vars), Entry(103, 0));
}

TEST(StatusImageBlock, OlderEntriesGainTheFlagOfTheCache) {
  TParamCollection vars;
  TFipoCollection images({});
  StatusData status;
  status.SetImageCache(&images);
  status.Read(Entry(100, 0), vars);
  EXPECT_FALSE(images.dither());
  images.SetDither(true);
  EXPECT_EQ(status.Write(vars), Entry(103, 1));
}

// Fresh status data, and entries that end after the variables, get every block in its empty
// form with the cache's flag.
TEST(StatusImageBlock, MissingBlocksAreWrittenWithTheFlag) {
  TParamCollection vars;
  TFipoCollection images({});
  images.SetDither(true);
  StatusData fresh;
  fresh.SetImageCache(&images);
  EXPECT_EQ(fresh.Write(vars), Entry(103, 1, false));

  std::vector<uint8_t> short_entry = Entry(103, 1, false);
  short_entry.resize(9 + 4);  // header and the empty variable list only
  StatusData cut;
  cut.SetImageCache(&images);
  cut.Read(short_entry, vars);
  EXPECT_EQ(cut.Write(vars), Entry(103, 1, false));
}

TEST(StatusImageBlock, DamagedReadMarksLeaveTheFlagAndTheBytesAlone) {
  TParamCollection vars;
  TFipoCollection images({});
  std::vector<uint8_t> entry = Entry(103, 1);
  // The page count claims more pages than the entry holds.
  const size_t count_at = 9 + 4;  // header, no variables (one int32 count)
  ASSERT_EQ(entry[count_at], 1);
  entry[count_at] = 0x7f;
  StatusData status;
  status.SetImageCache(&images);
  status.Read(entry, vars);
  EXPECT_FALSE(images.dither());
  images.SetDither(true);
  EXPECT_EQ(status.Write(vars), entry);
}

}  // namespace
}  // namespace novu

namespace novu {
namespace {

TEST(StatusReadMarks, TheMarksAreReadIntoTheListAndWrittenFromItWithTheLaterBlocksKept) {
  TParamCollection vars;
  TFipoCollection images({});
  TNovuReadList reads;
  StatusData status;
  status.SetImageCache(&images);
  status.SetReadList(&reads);
  status.Read(Entry(103, 1), vars);
  EXPECT_TRUE(reads.IsRead("main.nsb", 4, 0));
  EXPECT_TRUE(reads.IsRead("main.nsb", 9, 1));
  EXPECT_EQ(reads.armed_window(), "mes");
  EXPECT_TRUE(images.dither());
  EXPECT_EQ(status.Write(vars), Entry(103, 1));

  // The marks are written as they are now.
  reads.Clear();
  EXPECT_EQ(status.Write(vars), Entry(103, 1, false));

  // Fresh status data (nothing read yet) writes the marks of this run.
  StatusData fresh;
  fresh.SetReadList(&reads);
  reads.Arm("mes", "main.nsb", 1, 4);
  reads.Commit("mes");
  TNovuReadList again;
  StatusData other;
  other.SetReadList(&again);
  other.Read(fresh.Write(vars), vars);
  EXPECT_TRUE(again.IsRead("main.nsb", 4, 1));
}

}  // namespace
}  // namespace novu
