#pragma once
// Game paths: CP932 strings with `\` separators and optional drive ("C:\") or server
// ("\\server\") roots, compared without regard to case.
#include <string>
#include <string_view>
#include <vector>

namespace novu {

// True when the byte at `index` is a path delimiter and not the second byte of a two-byte
// character.
bool IsPathDelimiter(std::string_view path, size_t index);

// Appends "\" unless the path already ends in one.
std::string IncludeBackslash(std::string_view path);

// A path split into components, each ending in a backslash; the first may be a root.
class TPathParser {
 public:
  // Upper-cases the path and splits it.
  void Parse(std::string_view path);
  std::string Join() const;

  std::vector<std::string>& Components() { return components_; }
  const std::vector<std::string>& Components() const { return components_; }

 private:
  std::vector<std::string> components_;
};

// Resolves `name` against `base` (which ends in a backslash): absolute names and names of one
// byte stay as they are; "..\" prefixes climb out of the base's components (the base part of
// the result is upper-cased); other names are appended to the base.
std::string ResolvePath(std::string_view name, std::string_view base);

}  // namespace novu
