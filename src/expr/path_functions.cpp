// Path functions on code-page-932 text: a "\" or ":" that is the trail byte of a double-byte
// character never counts as a delimiter.
#include "expr/function_text.h"
#include "expr/sys_func_man.h"

namespace novu {
namespace {

// The byte offset of the last single-byte character of `s` that is one of `delimiters`.
size_t LastDelimiter(std::string_view s, std::string_view delimiters) {
  const std::vector<size_t> offsets = text::CharOffsets(s);
  for (size_t c = offsets.size() - 1; c-- > 0;) {
    if (offsets[c + 1] - offsets[c] != 1) continue;
    if (delimiters.find(s[offsets[c]]) != std::string_view::npos) return offsets[c];
  }
  return std::string_view::npos;
}

std::string ExtractFilePath(std::string_view s) {
  const size_t at = LastDelimiter(s, "\\:");
  return at == std::string_view::npos ? std::string() : std::string(s.substr(0, at + 1));
}

std::string ExtractFileName(std::string_view s) {
  const size_t at = LastDelimiter(s, "\\:");
  return std::string(at == std::string_view::npos ? s : s.substr(at + 1));
}

std::string ExtractFileExt(std::string_view s) {
  const size_t at = LastDelimiter(s, ".\\:");
  if (at == std::string_view::npos || s[at] != '.') return {};
  return std::string(s.substr(at));
}

std::string ChangeFileExt(std::string_view s, std::string_view ext) {
  const size_t at = LastDelimiter(s, ".\\:");
  const size_t keep = (at == std::string_view::npos || s[at] != '.') ? s.size() : at;
  return std::string(s.substr(0, keep)) + std::string(ext);
}

// Byte `index` (1-based; below 1 counts as 1) of `s` is a single-byte character found in
// `delimiters`.
bool IsDelimiterAt(std::string_view delimiters, std::string_view s, int32_t index) {
  const size_t i = index < 1 ? 0 : static_cast<size_t>(index) - 1;
  if (i >= s.size()) return false;
  if (!text::IsCharStart(s, i) || cp932::IsLeadByte(static_cast<uint8_t>(s[i]))) return false;
  return delimiters.find(s[i]) != std::string_view::npos;
}

std::string AddBackSlash(std::string_view s) {
  const bool has = IsDelimiterAt("\\", s, static_cast<int32_t>(s.size()));
  return has ? std::string(s) : std::string(s) + "\\";
}

}  // namespace

void RegisterPathFunctions(SysFuncMan& f) {
  f.Register(75, [](const FunctionCall& c) { c.result().SetAsStr(ExtractFilePath(c.Str(0))); });
  f.Register(76, [](const FunctionCall& c) { c.result().SetAsStr(ExtractFileName(c.Str(0))); });
  f.Register(77, [](const FunctionCall& c) { c.result().SetAsStr(ExtractFileExt(c.Str(0))); });
  f.Register(78, [](const FunctionCall& c) {
    c.result().SetAsBool(IsDelimiterAt("\\", c.Str(0), c.Int(1)));
  });
  f.Register(79, [](const FunctionCall& c) { c.result().SetAsStr(AddBackSlash(c.Str(0))); });
  f.Register(80,
             [](const FunctionCall& c) { c.result().SetAsStr(ChangeFileExt(c.Str(0), c.Str(1))); });
  f.Register(81, [](const FunctionCall& c) {
    c.result().SetAsBool(IsDelimiterAt(c.Str(0), c.Str(1), c.Int(2)));
  });
}

}  // namespace novu
