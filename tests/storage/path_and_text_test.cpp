#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/clip_list.h"
#include "storage/path_parser.h"
#include "storage/tab_strings.h"

namespace novu {
namespace {

TEST(ClipList, MergesRectanglesWithinTwentyPixels) {
  struct Case {
    const char* what;
    std::vector<Rect> added;
    std::vector<Rect> kept;
  };
  const Case cases[] = {
      {"gap of 15 merges", {{0, 0, 10, 10}, {25, 0, 35, 10}}, {{0, 0, 35, 10}}},
      {"far apart stay", {{50, 0, 60, 10}, {0, 0, 10, 10}}, {{50, 0, 60, 10}, {0, 0, 10, 10}}},
      {"inside changes nothing", {{0, 0, 100, 100}, {10, 10, 20, 20}}, {{0, 0, 100, 100}}},
      {"empty adds nothing", {{5, 5, 5, 50}, {0, 0, 10, -1}}, {}},
      // The union with the first neighbour reaches the second: one Add absorbs both.
      {"chain of merges", {{0, 0, 10, 10}, {100, 0, 110, 10}, {25, 0, 85, 10}}, {{0, 0, 110, 10}}},
      {"edges of the i32 range do not wrap",
       {{INT32_MAX - 10, 0, INT32_MAX, 10}, {INT32_MIN, 0, INT32_MIN + 10, 10}},
       {{INT32_MAX - 10, 0, INT32_MAX, 10}, {INT32_MIN, 0, INT32_MIN + 10, 10}}},
  };
  for (const Case& c : cases) {
    TClipList list;
    for (const Rect& r : c.added) list.Add(r);
    EXPECT_EQ(list.Rects(), c.kept) << c.what;
  }
}

TEST(ClipList, ChangedMarkFollowsModifications) {
  TClipList list;
  list.Add({0, 0, 10, 10});
  EXPECT_TRUE(list.Changed());
  list.SetChanged(false);
  list.Add({2, 2, 8, 8});  // inside: no change
  EXPECT_FALSE(list.Changed());
  list.Clear();
  EXPECT_TRUE(list.Changed());
  EXPECT_EQ(list.Count(), 0);
}

TEST(PathParser, ResolvesAgainstABaseFolder) {
  struct Case {
    const char* name;
    const char* base;
    const char* resolved;
  };
  const Case cases[] = {
      {"..\\b.png", "C:\\game\\data\\", "C:\\GAME\\b.png"},
      {"pic\\a.png", "C:\\game\\", "C:\\game\\pic\\a.png"},
      {"D:\\x.png", "C:\\game\\", "D:\\x.png"},
      {"\\root.png", "C:\\game\\", "\\root.png"},
      {"a", "C:\\game\\", "a"},
      // Climbing stops when the components run out; the rest of the name is kept.
      {"..\\..\\..\\..\\x", "C:\\a\\", "..\\..\\x"},
      {"..\\s.png", "\\\\server\\share\\dir\\", "\\\\SERVER\\SHARE\\s.png"},
  };
  for (const Case& c : cases) EXPECT_EQ(ResolvePath(c.name, c.base), c.resolved) << c.name;
}

TEST(PathParser, SplitsRootsAndComponentsAndRespectsTwoByteCharacters) {
  TPathParser p;
  p.Parse("\\\\srv\\share\\a");
  EXPECT_EQ(p.Components(), (std::vector<std::string>{"\\\\SRV\\", "SHARE\\", "A\\"}));
  p.Parse("c:\\x\\y\\");
  EXPECT_EQ(p.Components(), (std::vector<std::string>{"C:\\", "X\\", "Y\\"}));
  EXPECT_EQ(p.Join(), "C:\\X\\Y\\");
  // "ソ" ends in 0x5C: not a delimiter.
  const std::string so = "\x83\x5C";
  EXPECT_EQ(IncludeBackslash(so), so + "\\");
  EXPECT_EQ(IncludeBackslash("a\\"), "a\\");
  p.Parse(so + "\\b");
  EXPECT_EQ(p.Components(), (std::vector<std::string>{so + "\\", "B\\"}));
}

TEST(TabStrings, SplitsKeepingInnerEmptyPieces) {
  struct Case {
    std::string text;
    std::vector<std::string> pieces;
  };
  const Case cases[] = {
      {"a\t\tb", {"a", "", "b"}},
      {"a\t", {"a"}},
      {"", {}},
      {"\x83\x09x\tb", {"\x83\x09x", "b"}},  // a trail byte equal to the separator
  };
  for (const Case& c : cases) {
    TTabStrings t;
    t.Split(c.text);
    EXPECT_EQ(t.Strings(), c.pieces);
  }
  TTabStrings commas(',');
  commas.Split("x,y");
  EXPECT_EQ(commas.Item(1), "y");
  EXPECT_EQ(commas.Item(2), "");
  EXPECT_EQ(commas.Item(-1), "");
}

TEST(TabStrings, UnescapeHandlesQuotesBackslashesAndLineBreaks) {
  struct Case {
    std::string text;
    std::string unescaped;
  };
  const Case cases[] = {
      {"a\\nb", "a\r\nb"},        {"a\\\\b", "a\\b"}, {"\\\"q\\\"", "\"q\""}, {"\\x", "\\x"},
      {"end\\", "end\\"},         {"\\\\n", "\\n"},  // the kept backslash is not examined again
      {"\x83\x5Cn", "\x83\x5Cn"},                    // a trail byte 0x5C is no escape
  };
  for (const Case& c : cases) EXPECT_EQ(Unescape(c.text), c.unescaped) << c.text;
}

TEST(TabStrings, ScaleColorScalesEachChannel) {
  EXPECT_EQ(ScaleColor(0x12345678, 256), 0x00345678);
  EXPECT_EQ(ScaleColor(0x00FF8040, 128), 0x007F4020);
  EXPECT_EQ(ScaleColor(0x00FFFFFF, 0), 0);
  EXPECT_EQ(ScaleColor(0x00808080, 512), 0x00000000);  // 0x100 kept to 8 bits
}

}  // namespace
}  // namespace novu
