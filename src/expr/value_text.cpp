#include "expr/value_text.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace novu {
namespace {

constexpr int kSignificantDigits = 15;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Digits and decimal exponent of `value` (> 0) rounded to 15 significant digits, trailing
// zeros removed: value = 0.DIGITS x 10^exponent.
struct DecimalDigits {
  std::string digits;
  int exponent = 0;
};

DecimalDigits ToDecimalDigits(long double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*Le", kSignificantDigits - 1, value);
  DecimalDigits out;
  const char* p = buffer;
  for (; *p != 'e'; ++p) {
    if (IsDigit(*p)) out.digits.push_back(*p);
  }
  out.exponent = std::atoi(p + 1) + 1;
  while (out.digits.size() > 1 && out.digits.back() == '0') out.digits.pop_back();
  return out;
}

}  // namespace

std::string IntToText(int32_t value) {
  return std::to_string(value);
}

std::string FloatToText(long double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  std::string out;
  if (value < 0) {
    out.push_back('-');
    value = -value;
  }
  DecimalDigits d = ToDecimalDigits(value);
  const int digit_count = static_cast<int>(d.digits.size());
  if (d.exponent > kSignificantDigits || d.exponent < -3) {
    out.push_back(d.digits[0]);
    if (digit_count > 1) {
      out.push_back('.');
      out.append(d.digits, 1);
    }
    out.push_back('E');
    out += std::to_string(d.exponent - 1);
    return out;
  }
  if (d.exponent <= 0) {
    out += "0.";
    out.append(static_cast<size_t>(-d.exponent), '0');
    out += d.digits;
    return out;
  }
  if (digit_count <= d.exponent) {
    out += d.digits;
    out.append(static_cast<size_t>(d.exponent - digit_count), '0');
    return out;
  }
  out.append(d.digits, 0, static_cast<size_t>(d.exponent));
  out.push_back('.');
  out.append(d.digits, static_cast<size_t>(d.exponent));
  return out;
}

std::optional<int32_t> ParseInt(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  if (text.front() == '$') {
    text.remove_prefix(1);
    if (text.empty() || text.size() > 8) return std::nullopt;
    uint32_t bits = 0;
    for (char c : text) {
      int digit = HexDigitValue(c);
      if (digit < 0) return std::nullopt;
      bits = (bits << 4) | static_cast<uint32_t>(digit);
    }
    if (negative) bits = 0u - bits;
    return static_cast<int32_t>(bits);
  }
  int64_t magnitude = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > int64_t{1} << 31) return std::nullopt;
  }
  int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::optional<long double> ParseFloat(std::string_view text) {
  text = TrimBlanks(text);
  // Validate the syntax first: the C parser would also take hexadecimal, "inf" and "nan".
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t mantissa_digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++mantissa_digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++mantissa_digits;
  }
  if (mantissa_digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponent_digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++exponent_digits;
    if (exponent_digits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  // from_chars reads "." whatever the locale, but takes no leading "+".
  if (text.front() == '+') text.remove_prefix(1);
  long double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Too large gives infinity and too small zero, as the C parser decides; it wants the
    // decimal point of the current locale.
    std::string buffer(text);
    size_t point = buffer.find('.');
    if (point != std::string::npos) buffer.replace(point, 1, std::localeconv()->decimal_point);
    return std::strtold(buffer.c_str(), nullptr);
  }
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

int32_t FloatToInt(long double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0L) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0L) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace novu
