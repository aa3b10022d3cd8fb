#include "engine/script_files.h"

#include <string>
#include <vector>

#include "core/cp932.h"
#include "expr/function_text.h"
#include "platform/text_encoding.h"

namespace novu {

std::optional<std::filesystem::path> ScriptFilePath(const std::filesystem::path& folder,
                                                    std::string_view name) {
  if (folder.empty() || name.empty()) return std::nullopt;
  // Split at "\" and "/" that are characters of their own (not trail bytes).
  std::vector<std::string> parts;
  const std::vector<size_t> offsets = text::CharOffsets(name);
  std::string part;
  for (size_t c = 0; c + 1 < offsets.size(); ++c) {
    const std::string_view ch = name.substr(offsets[c], offsets[c + 1] - offsets[c]);
    if (ch == "\\" || ch == "/") {
      if (c == 0) return std::nullopt;  // rooted
      parts.push_back(std::move(part));
      part.clear();
    } else {
      if (ch == ":") return std::nullopt;  // a drive or a stream name
      part += ch;
    }
  }
  parts.push_back(std::move(part));
  std::filesystem::path path = folder;
  bool any = false;
  for (const std::string& p : parts) {
    if (p.empty() || p == ".") continue;
    if (p == "..") return std::nullopt;
    path /= platform::Cp932ToUtf8(p);
    any = true;
  }
  if (!any) return std::nullopt;
  return path;
}

bool MatchesFileMask(std::string_view name, std::string_view mask) {
  size_t n = 0;
  size_t m = 0;
  size_t star = std::string_view::npos;
  size_t resume = 0;
  auto same = [](char a, char b) {
    return cp932::EqualsNoCase(std::string_view(&a, 1), std::string_view(&b, 1));
  };
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || same(mask[m], name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      star = m++;
      resume = n;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace novu
