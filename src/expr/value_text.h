#pragma once
// Text forms of values: how integers, floats and flags read as strings and how strings read
// as numbers. Every value class and the expression compiler use these, so a number prints and
// parses the same way everywhere.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace novu {

inline constexpr std::string_view kTrueText = "TRUE";
inline constexpr std::string_view kFalseText = "FALSE";

std::string IntToText(int32_t value);
// General format: at most 15 significant digits, no trailing zeros, exponent form ("1.5E-5",
// "1E20") for very small or large magnitudes; "NAN", "INF" and "-INF" for the special values.
std::string FloatToText(long double value);
inline std::string_view BoolToText(bool value) {
  return value ? kTrueText : kFalseText;
}

// Optional blanks, an optional sign, then decimal digits or "$" and hexadecimal digits.
// Decimal text must fit in 32 bits; up to eight hexadecimal digits are taken as the 32-bit
// pattern ("$FFFFFFFF" is -1). Anything else does not parse.
std::optional<int32_t> ParseInt(std::string_view text);
// Optional blanks around a decimal number with an optional sign, fraction and exponent.
std::optional<long double> ParseFloat(std::string_view text);
// Only the exact text "TRUE" is true.
inline bool TextToBool(std::string_view text) {
  return text == kTrueText;
}

// Truncation toward zero; NaN gives 0 and magnitudes beyond the 32-bit range saturate.
int32_t FloatToInt(long double value);

}  // namespace novu
