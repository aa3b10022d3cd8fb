#pragma once
// Byte and character positions in code-page-932 text for the string functions: a lead byte
// and the byte after it form one character (a lead byte at the very end is a character of its
// own), so a search or a cut never lands on a trail byte, even one that reads as "\".
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/cp932.h"

namespace novu::text {

// The byte offset of every character start, then the text's length.
inline std::vector<size_t> CharOffsets(std::string_view s) {
  std::vector<size_t> offsets;
  offsets.reserve(s.size() + 1);
  size_t i = 0;
  while (i < s.size()) {
    offsets.push_back(i);
    const bool pair = cp932::IsLeadByte(static_cast<uint8_t>(s[i])) && i + 1 < s.size();
    i += pair ? 2 : 1;
  }
  offsets.push_back(s.size());
  return offsets;
}

// True when byte `i` (0-based) of `s` starts a character.
inline bool IsCharStart(std::string_view s, size_t i) {
  size_t p = 0;
  while (p < i && p < s.size()) {
    const bool pair = cp932::IsLeadByte(static_cast<uint8_t>(s[p])) && p + 1 < s.size();
    p += pair ? 2 : 1;
  }
  return p == i;
}

// A 1-based position and an optional count clamped into [0, size]: a position below 1 is 1,
// a negative count is 0, and both are clipped to the end. Gives the 0-based [begin, end).
struct Span {
  size_t begin;
  size_t end;
};
inline Span ClampSpan(size_t size, int64_t position, int64_t count) {
  const int64_t n = static_cast<int64_t>(size);
  int64_t begin = position < 1 ? 0 : position - 1;
  if (begin > n) begin = n;
  if (count < 0) count = 0;
  const int64_t end = count > n - begin ? n : begin + count;
  return {static_cast<size_t>(begin), static_cast<size_t>(end)};
}

// The first match of `needle` in `haystack` starting at a character boundary at or after
// byte `from`; npos when there is none (also for an empty needle).
inline size_t FindAtCharStart(std::string_view haystack, std::string_view needle, size_t from = 0,
                              bool ignore_case = false) {
  if (needle.empty() || needle.size() > haystack.size()) return std::string_view::npos;
  size_t i = 0;
  while (i + needle.size() <= haystack.size()) {
    if (i >= from) {
      const std::string_view candidate = haystack.substr(i, needle.size());
      if (ignore_case ? cp932::EqualsNoCase(candidate, needle) : candidate == needle) return i;
    }
    const bool pair =
        cp932::IsLeadByte(static_cast<uint8_t>(haystack[i])) && i + 1 < haystack.size();
    i += pair ? 2 : 1;
  }
  return std::string_view::npos;
}

// Lines separated by CR LF, CR or LF; a final line break adds no empty part.
inline std::vector<std::string> SplitLines(std::string_view s) {
  std::vector<std::string> parts;
  size_t start = 0;
  size_t i = 0;
  while (i < s.size()) {
    if (s[i] == '\r' || s[i] == '\n') {
      parts.emplace_back(s.substr(start, i - start));
      i += (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < s.size()) parts.emplace_back(s.substr(start));
  return parts;
}

// The longest text a string function builds: a script cannot make the player allocate
// gigabytes by asking for a huge repetition or padding.
inline constexpr int64_t kMaxBuiltText = int64_t{1} << 24;

}  // namespace novu::text
