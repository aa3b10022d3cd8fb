#include "storage/path_parser.h"

#include "core/cp932.h"

namespace novu {

bool IsPathDelimiter(std::string_view path, size_t index) {
  if (index >= path.size() || path[index] != '\\') return false;
  for (size_t i = 0; i < index; ++i) {
    if (cp932::IsLeadByte(static_cast<uint8_t>(path[i]))) {
      if (++i == index) return false;  // a trail byte that happens to be 0x5C
    }
  }
  return true;
}

std::string IncludeBackslash(std::string_view path) {
  std::string out(path);
  if (out.empty() || !IsPathDelimiter(out, out.size() - 1)) out += '\\';
  return out;
}

void TPathParser::Parse(std::string_view path) {
  components_.clear();
  const std::string text = IncludeBackslash(cp932::ToUpper(path));
  // Delimiter positions, skipping the trail bytes of two-byte characters.
  std::vector<size_t> delimiters;
  for (size_t i = 0; i < text.size(); ++i) {
    if (cp932::IsLeadByte(static_cast<uint8_t>(text[i]))) {
      ++i;
    } else if (text[i] == '\\') {
      delimiters.push_back(i);
    }
  }
  size_t start = 0;
  auto first_delimiter_from = [&](size_t from) {
    for (size_t d : delimiters) {
      if (d >= from) return d;
    }
    return text.size() - 1;
  };
  if (text.starts_with("\\\\")) {
    const size_t end = first_delimiter_from(2);
    components_.push_back(text.substr(0, end + 1));
    start = end + 1;
  } else if (text.size() >= 2 && text[1] == ':') {
    components_.push_back(text.substr(0, 3));
    start = 3;
  }
  while (start < text.size()) {
    const size_t end = first_delimiter_from(start);
    components_.push_back(text.substr(start, end + 1 - start));
    start = end + 1;
  }
}

std::string TPathParser::Join() const {
  std::string out;
  for (const std::string& c : components_) out += c;
  return out;
}

std::string ResolvePath(std::string_view name, std::string_view base) {
  if (name.size() <= 1 || name.front() == '\\' || name[1] == ':') return std::string(name);
  if (!name.starts_with("..\\")) return std::string(base) + std::string(name);
  TPathParser parser;
  parser.Parse(base);
  std::vector<std::string>& components = parser.Components();
  while (!components.empty() && name.starts_with("..\\")) {
    components.pop_back();
    name.remove_prefix(3);
  }
  return parser.Join() + std::string(name);
}

}  // namespace novu
