#include "core/euc_jp.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace novu {
namespace {

TEST(EucJpToCp932, ByteRules) {
  struct Case {
    std::string euc, cp932;
  };
  const Case cases[] = {
      {std::string("a\0b", 3), "a b"},           // NUL reads as a space
      {"\x01\x7F\x80\xFF", "\x01\x7F\x80\xFF"},  // copied
      {"\xA4\xA2", "\x82\xA0"},                  // hiragana a
      {"\xB4\xC1\xBB\xFA", "\x8A\xBF\x8E\x9A"},  // kanji (row 20 and 27)
      {"\x8E\xB1x", "\xB1x"},                    // half-width katakana
      {"ab\xA4", "ab"},                          // a dangling lead byte is dropped
      {"ab\x8E", "ab"},                          //
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(EucJpToCp932(c.euc), c.cp932) << c.euc;
}

// Every pair of the JIS X 0208 rows maps as the system's own converter maps it.
TEST(EucJpToCp932, AgreesWithIconvOverTheWholeCharacterSet) {
  iconv_t cd = iconv_open("SHIFT_JIS", "EUC-JP");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  int compared = 0;
  for (int lead = 0xA1; lead <= 0xF4; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      char out[8];
      char* in_ptr = in;
      char* out_ptr = out;
      size_t in_left = 2, out_left = sizeof out;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<size_t>(-1)) continue;
      if (out_ptr - out != 2) continue;
      ++compared;
      EXPECT_EQ(EucJpToCp932(std::string(in, 2)), std::string(out, 2)) << lead << " " << trail;
    }
  }
  iconv_close(cd);
  EXPECT_GT(compared, 6000);  // the set has 6879 characters
}

}  // namespace
}  // namespace novu
