#include "shell/instance_key.h"

#include "core/cp932.h"

namespace novu {

std::string InstanceKey(std::string_view folder) {
  std::string key = cp932::ToUpper(folder);
  bool ends_with_separator = false;
  for (size_t i = 0; i < key.size(); ++i) {
    uint8_t b = static_cast<uint8_t>(key[i]);
    if (cp932::IsLeadByte(b) && i + 1 < key.size()) {
      ++i;  // a trail byte 0x5C is part of a character, not a separator
      ends_with_separator = false;
      continue;
    }
    ends_with_separator = b == '/' || b == '\\';
    if (ends_with_separator) key[i] = '-';
  }
  if (!ends_with_separator) key += '-';
  return key;
}

}  // namespace novu
