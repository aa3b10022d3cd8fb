// Typed text converted to code page 932: characters the code page cannot hold are left out,
// never turned into '?' or another character.
#include <gtest/gtest.h>

#include "platform/text_encoding.h"

namespace novu::platform {
namespace {

TEST(TypedTextEncoding, CharactersTheCodePageCannotHoldAreLeftOut) {
  struct Case {
    std::string utf8;
    std::string cp932;
  };
  const Case cases[] = {
      {"山田", "\x8e\x52\x93\x63"},
      {"山😀田", "\x8e\x52\x93\x63"},  // an emoji has no code
      {"Aé?", "A?"},                  // nor has an accented Latin letter
      {"～ｱ", "\x81\x60\xb1"},        // full-width tilde, half-width katakana
      {"a\xff"
       "b\xe5\xb1",
       "ab"},  // malformed bytes and a cut sequence
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Utf8ToCp932Typed(c.utf8), c.cp932);
  }
}

}  // namespace
}  // namespace novu::platform
