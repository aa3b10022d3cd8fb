#pragma once
// The word syntax the readable text forms of the binary formats share (UTF-8 text, strings
// converted to CP932): one field a line, `key value...`, "#" starting a comment line. Strings
// are double-quoted with the escapes \\ \" \n \t \r and \xHH (one raw CP932 byte); a single
// word needs no quotes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace novu {

class DescriptionSyntax {
 public:
  struct Line {
    int number;
    std::vector<std::string> words;  // strings already unescaped, still UTF-8
  };

  // `kind` names the description in error messages ("project description").
  explicit DescriptionSyntax(std::string_view kind) : kind_(kind) {}

  // Raises NovuError "KIND line N: WHAT".
  [[noreturn]] void Fail(int line, const std::string& what) const;
  std::vector<std::string> SplitWords(std::string_view text, int line) const;
  // Word `index` of the line as a number, a flag or CP932 text; a missing or malformed word
  // fails naming the line.
  int32_t Int(const Line& line, size_t index) const;
  bool Bool(const Line& line, size_t index) const;
  std::string Str(const Line& line, size_t index) const;
  long double Float(const Line& line, size_t index) const;

  // UTF-8 with raw-byte marks to CP932.
  static std::string ToCp932(const std::string& word);
  // CP932 to a quoted description string.
  static std::string Quote(std::string_view cp932);

 private:
  std::string_view kind_;
};

}  // namespace novu
