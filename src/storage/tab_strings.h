#pragma once
// A string list filled by splitting text at a separator byte (a tab by default), and the
// unescaping of script string literals.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace novu {

class TTabStrings {
 public:
  explicit TTabStrings(char separator = '\t') : separator_(separator) {}

  // Splits at the separator; an empty piece between two separators is kept, a trailing empty
  // piece is not ("a\t\tb" gives "a", "", "b"; "a\t" gives "a"). The second byte of a two-byte
  // character never splits.
  void Split(std::string_view text);
  // The string at `index`, or "" beyond the end.
  std::string Item(int index) const;
  int Count() const { return static_cast<int>(strings_.size()); }
  const std::vector<std::string>& Strings() const { return strings_; }

  char Separator() const { return separator_; }
  void SetSeparator(char separator) { separator_ = separator; }

 private:
  char separator_;
  std::vector<std::string> strings_;
};

// Backslash + '"' or '\' keeps the second character; backslash + 'n' becomes CR LF; any other
// backslash stays. Two-byte characters pass untouched.
std::string Unescape(std::string_view text);

// Each of the three low bytes of a 0x00BBGGRR colour becomes (byte * factor) >> 8, kept to
// 8 bits; the top byte becomes 0. A factor of 256 keeps the colour.
int32_t ScaleColor(int32_t color, int32_t factor);

}  // namespace novu
