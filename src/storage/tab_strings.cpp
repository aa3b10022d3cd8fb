#include "storage/tab_strings.h"

#include <cstdint>

#include "core/cp932.h"

namespace novu {

void TTabStrings::Split(std::string_view text) {
  strings_.clear();
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<uint8_t>(text[i]);
    if (cp932::IsLeadByte(c) && i + 1 < text.size()) {
      ++i;
    } else if (text[i] == separator_) {
      strings_.emplace_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < text.size()) strings_.emplace_back(text.substr(start));
}

std::string TTabStrings::Item(int index) const {
  if (index < 0 || index >= Count()) return {};
  return strings_[static_cast<size_t>(index)];
}

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  for (; i + 1 < text.size(); ++i) {
    const char c = text[i];
    if (cp932::IsLeadByte(static_cast<uint8_t>(c))) {
      out += text.substr(i, 2);
      ++i;
    } else if (c == '\\' && (text[i + 1] == '"' || text[i + 1] == '\\')) {
      out += text[++i];
    } else if (c == '\\' && text[i + 1] == 'n') {
      out += "\r\n";
      ++i;
    } else {
      out += c;
    }
  }
  if (i < text.size()) out += text[i];
  return out;
}

int32_t ScaleColor(int32_t color, int32_t factor) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int64_t byte = (static_cast<uint32_t>(color) >> shift) & 0xFF;
    out |= static_cast<uint32_t>(((byte * factor) >> 8) & 0xFF) << shift;
  }
  return static_cast<int32_t>(out);
}

}  // namespace novu
