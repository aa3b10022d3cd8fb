#include "core/ini_edit.h"

#include <gtest/gtest.h>

#include "core/ini_file.h"

namespace novu {
namespace {

TEST(IniEdit, SetsOneValueAndKeepsEverythingElse) {
  struct Case {
    const char* what;
    std::string before, after;
  };
  const Case cases[] = {
      {"replaced in place, key spelling, comments and other sections kept",
       "; settings\r\n[Video]\r\nUseWMP=1\r\n\r\n[sound]\r\n  delaytime = 500 \r\nX=\x82\xa0\r\n",
       "; settings\r\n[Video]\r\nUseWMP=1\r\n\r\n[sound]\r\n  delaytime=200\r\nX=\x82\xa0\r\n"},
      {"added after the section's last line, before the blank line",
       "[Sound]\nDirectSound=1\n\n[Video]\nUseWMP=0\n",
       "[Sound]\nDirectSound=1\nDelayTime=200\n\n[Video]\nUseWMP=0\n"},
      {"a section of its own at the end", "[Video]\r\nUseWMP=1",
       "[Video]\r\nUseWMP=1\r\n[Sound]\r\nDelayTime=200\r\n"},
      {"an empty file", "", "[Sound]\r\nDelayTime=200\r\n"},
      {"the first of two occurrences, as it is read",
       "[Sound]\nA=1\n[Other]\n[Sound]\nDelayTime=9\nDelayTime=8\n",
       "[Sound]\nA=1\n[Other]\n[Sound]\nDelayTime=200\nDelayTime=8\n"},
      {"a commented key is no key", "[Sound]\n;DelayTime=9\n",
       "[Sound]\n;DelayTime=9\nDelayTime=200\n"},
      {"a last line without a line end keeps none", "[Sound]\nDelayTime=9",
       "[Sound]\nDelayTime=200"},
  };
  for (const Case& c : cases) {
    const std::string after = WithIniValue(c.before, "Sound", "DelayTime", "200");
    EXPECT_EQ(after, c.after) << c.what;
    EXPECT_EQ(IniFile::Parse(after).ReadInteger("Sound", "DelayTime", 0), 200) << c.what;
  }
}

}  // namespace
}  // namespace novu
