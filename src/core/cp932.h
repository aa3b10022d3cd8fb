#pragma once
// Helpers for the code-page-932 byte strings used throughout the engine.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace novu::cp932 {

// True for the first byte of a two-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsLeadByte(uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// ASCII-only case mapping that skips the trail byte of every two-byte character, so a trail
// byte in 'A'..'Z' or 'a'..'z' (e.g. the second byte of "ア") is never changed.
std::string ToUpper(std::string_view s);
std::string ToLower(std::string_view s);
// Case-insensitive comparison in the sense of ToUpper; <0, 0, >0.
int CompareNoCase(std::string_view a, std::string_view b);
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

// The text cut at every line end ("\r\n", "\n" or "\r"), the part after the last one included:
// "" gives one empty line and "a\n" gives "a" and "". Line ends are single bytes that never
// occur inside a two-byte character.
std::vector<std::string> SplitAtLineEnds(std::string_view text);

}  // namespace novu::cp932
