#include "core/integer_text.h"

#include <charconv>

namespace novu {

std::optional<int64_t> ParseInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.starts_with("$")) {
    base = 16;
    text.remove_prefix(1);
  }
  uint64_t magnitude = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
  if (magnitude > (negative ? uint64_t{1} << 63 : uint64_t{INT64_MAX})) return std::nullopt;
  return negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

}  // namespace novu
