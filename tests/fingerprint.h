#pragma once
// A short fingerprint of a byte string for tests that pin down a saved form: the bytes come from
// a fixture built by code, and only the fingerprint of what today's code writes is stored.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace novu::testing {

// 64-bit FNV-1a, printed as 16 hex digits.
inline std::string Fingerprint(std::string_view bytes) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (const char c : bytes) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 0x100000001b3ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

}  // namespace novu::testing
