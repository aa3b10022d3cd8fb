#include "core/cp932.h"

namespace novu::cp932 {
namespace {

template <typename Map>
std::string MapAscii(std::string_view s, Map map) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    uint8_t b = static_cast<uint8_t>(out[i]);
    if (IsLeadByte(b)) {
      ++i;  // the trail byte stays as it is
    } else {
      out[i] = map(out[i]);
    }
  }
  return out;
}

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

}  // namespace

std::string ToUpper(std::string_view s) {
  return MapAscii(s, Upper);
}
std::string ToLower(std::string_view s) {
  return MapAscii(s, Lower);
}

int CompareNoCase(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  bool trail = false;
  for (size_t i = 0; i < n; ++i) {
    uint8_t ca = static_cast<uint8_t>(a[i]);
    uint8_t cb = static_cast<uint8_t>(b[i]);
    if (!trail) {
      ca = static_cast<uint8_t>(Upper(static_cast<char>(ca)));
      cb = static_cast<uint8_t>(Upper(static_cast<char>(cb)));
    }
    if (ca != cb) return ca < cb ? -1 : 1;
    trail = !trail && IsLeadByte(static_cast<uint8_t>(a[i]));
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::vector<std::string> SplitAtLineEnds(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace novu::cp932
