#include <gtest/gtest.h>

#include "core/cp932.h"
#include "core/ini_file.h"
#include "core/process_random.h"
#include "platform/error.h"
#include "platform/text_encoding.h"

namespace novu {
namespace {

// "ア" in CP932 is 0x83 0x41: its trail byte is an ASCII 'A' and must not be case-mapped.
const std::string kKatakanaA = "\x83\x41";

TEST(Cp932, CaseFoldingSkipsTrailBytes) {
  EXPECT_EQ(cp932::ToLower("AbC" + kKatakanaA + "D"), "abc" + kKatakanaA + "d");
  EXPECT_EQ(cp932::ToUpper("x\x83\x61y"), "X\x83\x61Y");
  EXPECT_TRUE(cp932::EqualsNoCase("CG\\Bg01.FIP", "cg\\bg01.fip"));
  EXPECT_FALSE(cp932::EqualsNoCase("\x83\x41", "\x83\x61"));
  EXPECT_LT(cp932::CompareNoCase("abc", "ABD"), 0);
  EXPECT_GT(cp932::CompareNoCase("abcd", "ABC"), 0);
}

TEST(Cp932, LeadBytes) {
  EXPECT_TRUE(cp932::IsLeadByte(0x81));
  EXPECT_TRUE(cp932::IsLeadByte(0x9F));
  EXPECT_TRUE(cp932::IsLeadByte(0xE0));
  EXPECT_TRUE(cp932::IsLeadByte(0xFC));
  EXPECT_FALSE(cp932::IsLeadByte(0x80));
  EXPECT_FALSE(cp932::IsLeadByte(0xA0));
  EXPECT_FALSE(cp932::IsLeadByte(0xB1));  // half-width katakana
  EXPECT_FALSE(cp932::IsLeadByte(0xFD));
}

TEST(Cp932, SplitAtLineEndsKeepsThePartAfterTheLastEnd) {
  using Lines = std::vector<std::string>;
  const std::pair<std::string, Lines> cases[] = {
      {"", {""}},
      {"a", {"a"}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\n", {"a", ""}},
      {"\r\n\r\n", {"", "", ""}},
      {"\n\r", {"", "", ""}},            // LF then CR: two line ends
      {"\x83\x5c\n", {"\x83\x5c", ""}},  // a two-byte character with a 0x5C trail byte
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(cp932::SplitAtLineEnds(text), lines) << text;
}

TEST(TextEncoding, RoundTripsJapaneseAndSpecialBytes) {
  const std::string utf8 = "終了 画面切替 ｱ ～";
  std::string sjis = platform::Utf8ToCp932(utf8);
  EXPECT_EQ(sjis.substr(0, 4), "\x8F\x49\x97\xB9");  // 終了
  EXPECT_EQ(platform::Cp932ToUtf8(sjis), utf8);
  const std::string specials =
      "a\x80"
      "b\xA0\xFD\xFE\xFF";
  EXPECT_EQ(platform::Utf8ToCp932(platform::Cp932ToUtf8(specials)), specials);
}

TEST(TextEncoding, BrokenInputNeverFails) {
  EXPECT_EQ(platform::Cp932ToUtf8("ab\x81"), "ab\xEF\xBF\xBD");
  EXPECT_EQ(platform::Utf8ToCp932("a\xF0\x9F\x98\x80z"), "a?z");  // no CP932 form
}

TEST(NovuError, CarriesCp932AndFormats) {
  NovuError e = NovuError::FromUtf8("このバージョンには対応していません");
  EXPECT_EQ(e.Utf8Message(), "このバージョンには対応していません");
  EXPECT_EQ(FormatOne(Jp("\"%s\"：変数名が不正です"), "x y"), Jp("\"x y\"：変数名が不正です"));
}

TEST(IniFile, WindowsProfileRules) {
  IniFile ini = IniFile::Parse(
      "; comment\r\n[sound]\r\ndirectsound = 0\r\nDelayTime=950\r\n"
      "[Video]\nUseWMP=1\nbad=12x\nhex=$1F\nDelayTime=1\n[Sound]\nDelayTime=2\n");
  EXPECT_FALSE(ini.ReadBool("Sound", "DirectSound", true));
  EXPECT_EQ(ini.ReadInteger("SOUND", "delaytime", 500), 950) << "first key wins";
  EXPECT_TRUE(ini.ReadBool("Video", "UseWMP", false));
  EXPECT_EQ(ini.ReadInteger("Video", "bad", 7), 7);
  EXPECT_EQ(ini.ReadInteger("Video", "hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("Video", "missing", 5), 5);
  EXPECT_EQ(ini.ReadString("Nope", "x", "def"), "def");
}

TEST(ProcessRandom, LinearCongruentialSequence) {
  ProcessRandom r(0);
  EXPECT_EQ(r.Below(100), 0);  // seed 1: 1 * 100 >> 32
  EXPECT_EQ(r.seed(), 1u);
  r.Below(10);
  EXPECT_EQ(r.seed(), 134775814u);
  ProcessRandom s(12345);
  const int32_t expected[] = {
      static_cast<int32_t>((uint64_t(12345u * 134775813u + 1u) * 1000) >> 32)};
  EXPECT_EQ(s.Below(1000), expected[0]);
  EXPECT_EQ(ProcessRandom::SeedFromTimeOfDay(1, 2, 3, 4), 3723004u);
}

}  // namespace
}  // namespace novu

#include "core/integer_text.h"

namespace novu {
namespace {

TEST(IntegerText, DecimalHexAndSigns) {
  const std::pair<const char*, std::optional<int64_t>> cases[] = {
      {"42", 42},
      {"-42", -42},
      {"+7", 7},
      {"0x1F", 31},
      {"$ff", 255},
      {"-0x10", -16},
      {"9223372036854775807", INT64_MAX},
      {"-9223372036854775808", INT64_MIN},
      {"9223372036854775808", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"0x", std::nullopt},
      {"12a", std::nullopt},
      {" 1", std::nullopt},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseInteger(text), value) << text;
}

}  // namespace
}  // namespace novu
