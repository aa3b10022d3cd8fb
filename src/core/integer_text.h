#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace novu {

// A whole number written in decimal, or in hexadecimal after "0x" or "$", with an optional sign.
// Nothing for empty text, other characters, or a value beyond 64 bits.
std::optional<int64_t> ParseInteger(std::string_view text);

}  // namespace novu
