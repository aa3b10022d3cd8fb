// Where script-written files may go, and the file masks of ExtractFile.
#include "engine/script_files.h"

#include <gtest/gtest.h>

namespace novu {
namespace {

TEST(ScriptFiles, NamesStayInsideTheSaveFolder) {
  const std::filesystem::path folder = "/games/one";
  struct Case {
    std::string name;
    std::string path;  // empty: refused
  };
  const Case cases[] = {
      {"shot.fip", "/games/one/shot.fip"},
      {"a\\b/c.fip", "/games/one/a/b/c.fip"},
      {"a\\.\\b", "/games/one/a/b"},
      {"a\\\\b", "/games/one/a/b"},
      {"..\\x", ""},
      {"a\\..\\..\\x", ""},
      {"../x", ""},
      {"/tmp/x", ""},
      {"\\x", ""},
      {"c:\\x", ""},
      {"c:x", ""},
      {"", ""},
      {".", ""},
      // The "\" inside ソ (0x83 0x5C) separates nothing.
      {"\x83\x5C.fip", "/games/one/\xE3\x82\xBD.fip"},
  };
  for (const Case& c : cases) {
    const std::optional<std::filesystem::path> path = ScriptFilePath(folder, c.name);
    EXPECT_EQ(path ? path->string() : std::string(), c.path) << c.name;
  }
  EXPECT_FALSE(ScriptFilePath({}, "x"));
}

TEST(ScriptFiles, Masks) {
  struct Case {
    const char* name;
    const char* mask;
    bool match;
  };
  const Case cases[] = {
      {"main.nsb", "*.NSB", true},
      {"main.nsb", "*.nst", false},
      {"main.nsb", "m?in.*", true},
      {"main.nsb", "*", true},
      {"", "*", true},
      {"ab", "a?b", false},
      {"abcabc", "*c*c", true},
      {"abc", "abc*", true},
      {"abc", "ab", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesFileMask(c.name, c.mask), c.match) << c.name << " " << c.mask;
  }
}

}  // namespace
}  // namespace novu
