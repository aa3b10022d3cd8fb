#include "storage/disk_index.h"

#include <gtest/gtest.h>

#include "storage/test_dir.h"

namespace novu {
namespace {

using testing::TestDir;

TEST(DiskIndex, FindsGameNamesWhateverTheirCaseAndSeparators) {
  TestDir dir;
  dir.Write("cg/bg01.fip", "a");
  dir.Write("Script/Start.nsb", "b");
  TDiskIndex index;
  struct Case {
    const char* name;
    const char* found;  // relative, or nullptr
  };
  const Case cases[] = {
      {"CG\\Bg01.FIP", "cg/bg01.fip"},
      {"cg/BG01.fip", "cg/bg01.fip"},
      {"script\\start.NSB", "Script/Start.nsb"},
      {"cg", nullptr},  // a folder is not a file
      {"cg\\missing.fip", nullptr},
      {"", nullptr},
      {"\\cg\\\\bg01.fip", "cg/bg01.fip"},
  };
  for (const Case& c : cases) {
    const auto found = index.FindFile(dir.path(), c.name);
    if (c.found == nullptr) {
      EXPECT_FALSE(found) << c.name;
    } else {
      ASSERT_TRUE(found) << c.name;
      EXPECT_EQ(*found, dir / c.found) << c.name;
    }
  }
  EXPECT_EQ(index.FindFolder(dir.path(), "CG"), dir / "cg");
  std::filesystem::remove(dir / "cg/bg01.fip");
  EXPECT_FALSE(index.FindFile(dir.path(), "cg\\bg01.fip"));  // a stale entry is not trusted
}

TEST(DiskIndex, SplitKeepsTrailBytesEqualToBackslash) {
  // "ソ" is 0x83 0x5C: its trail byte is a backslash and must not split the name.
  EXPECT_EQ(TDiskIndex::SplitName("\x83\x5C\\a"), (std::vector<std::string>{"\x83\x5C", "a"}));
  EXPECT_EQ(TDiskIndex::ComponentToDisk("\x83\x5C"), "ソ");
}

TEST(DiskIndex, PathInsideRefusesNamesThatLeaveTheFolder) {
  const std::filesystem::path root = "/out";
  EXPECT_EQ(TDiskIndex::PathInside(root, "cg\\a.fip"), std::filesystem::path("/out/cg/a.fip"));
  for (const char* name :
       {"..\\etc\\passwd", "cg\\..\\..\\x", "\\abs", "/abs", "C:\\x", "", ".", "a\\.\\b"}) {
    EXPECT_FALSE(TDiskIndex::PathInside(root, name)) << name;
  }
}

}  // namespace
}  // namespace novu
