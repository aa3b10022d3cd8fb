#pragma once
// The 10-byte x87 extended-precision float of the files: 64-bit mantissa with an explicit
// integer bit, 15-bit exponent (bias 16383), sign; little-endian.
#include <cstdint>
#include <span>

namespace novu {

long double DecodeFloat80(std::span<const uint8_t> raw10);
void EncodeFloat80(long double value, uint8_t* raw10);

}  // namespace novu
