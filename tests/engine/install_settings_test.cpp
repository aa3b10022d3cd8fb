#include "engine/install_settings.h"

#include <gtest/gtest.h>

#include "core/binary_writer.h"
#include "platform/error.h"

namespace novu {
namespace {

TEST(InstallSettings, WrittenFileReadsBack) {
  TNovuInstallSet set;
  set.disc_index = 1;
  set.title = "Game";
  set.data_installed = true;
  const TNovuInstallSet back = TNovuInstallSet::Parse(set.Serialize());
  EXPECT_EQ(back.version, 108);
  EXPECT_EQ(back.disc_index, 1);
  EXPECT_EQ(back.title, "Game");
  EXPECT_TRUE(back.data_installed);
}

// A file without the "is" mark is version 0: 32-bit sizes and none of the later fields.
TEST(InstallSettings, UnmarkedFileIsVersionZero) {
  BinaryWriter out;
  out.I32(2);
  out.String("Old game");
  for (int i = 0; i < 3; ++i) out.String("x");
  out.U8(1);
  out.String("y");
  out.U8(1);
  out.I32(2);  // two size records
  out.String("z");
  out.I32(5);
  out.U8(0);
  out.U8(0);
  out.String("a");
  out.String("b");
  for (int i = 0; i < 2 * 4 + 4; ++i) out.I32(100 + i);  // the records, then the totals
  out.U8(1);
  const TNovuInstallSet set = TNovuInstallSet::Parse(out.bytes());
  EXPECT_EQ(set.version, 0);
  EXPECT_EQ(set.disc_index, 2);
  EXPECT_EQ(set.title, "Old game");
  EXPECT_FALSE(set.data_installed);

  std::vector<uint8_t> truncated = out.bytes();
  truncated.resize(truncated.size() - 5);
  EXPECT_THROW(TNovuInstallSet::Parse(truncated), NovuError);
}

TEST(InstallSettings, HostileRecordCountIsRefused) {
  BinaryWriter out;
  out.Bytes(std::string_view("is108"));
  out.I32(0);
  out.String("t");
  for (int i = 0; i < 3; ++i) out.String("");
  out.U8(0);
  out.String("");
  out.U8(0);
  out.I32(0x7FFFFFFF);  // size records: far more than the file holds
  out.String("");
  out.I32(0);
  out.U8(0);
  out.U8(0);
  out.String("");
  out.String("");
  out.Bytes(std::vector<uint8_t>(64, 0));
  EXPECT_THROW(TNovuInstallSet::Parse(out.bytes()), NovuError);
}

}  // namespace
}  // namespace novu
