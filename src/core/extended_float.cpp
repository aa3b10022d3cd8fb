#include "core/extended_float.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace novu {
namespace {

constexpr bool kNativeX87 = std::numeric_limits<long double>::digits == 64 &&
                            std::numeric_limits<long double>::max_exponent == 16384;

}  // namespace

long double DecodeFloat80(std::span<const uint8_t> raw) {
  if constexpr (kNativeX87) {
    long double v = 0;
    std::memcpy(&v, raw.data(), 10);
    return v;
  } else {
    uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | raw[i];
    uint16_t top = static_cast<uint16_t>(raw[8] | (raw[9] << 8));
    bool negative = top & 0x8000;
    int exponent = top & 0x7FFF;
    long double v;
    if (exponent == 0x7FFF) {
      v = (mantissa << 1) ? std::numeric_limits<long double>::quiet_NaN()
                          : std::numeric_limits<long double>::infinity();
    } else {
      int e = exponent == 0 ? -16382 : exponent - 16383;
      v = std::ldexp(static_cast<long double>(mantissa), e - 63);
    }
    return negative ? -v : v;
  }
}

void EncodeFloat80(long double value, uint8_t* raw) {
  if constexpr (kNativeX87) {
    std::memset(raw, 0, 10);
    std::memcpy(raw, &value, 10);
  } else {
    uint64_t mantissa = 0;
    int exponent = 0;
    bool negative = std::signbit(value);
    long double a = std::fabs(value);
    if (std::isnan(a)) {
      exponent = 0x7FFF;
      mantissa = 0xC000000000000000ull;
    } else if (std::isinf(a)) {
      exponent = 0x7FFF;
      mantissa = 0x8000000000000000ull;
    } else if (a != 0) {
      int e = 0;
      long double m = std::frexp(a, &e);  // a = m * 2^e, m in [0.5, 1)
      exponent = e - 1 + 16383;
      mantissa = static_cast<uint64_t>(std::ldexp(m, 64));
    }
    for (int i = 0; i < 8; ++i) raw[i] = static_cast<uint8_t>(mantissa >> (8 * i));
    uint16_t top = static_cast<uint16_t>(exponent | (negative ? 0x8000 : 0));
    raw[8] = static_cast<uint8_t>(top);
    raw[9] = static_cast<uint8_t>(top >> 8);
  }
}

}  // namespace novu
