#pragma once
// Conversions between the four element types, the same for scalar and element operations:
//   int   -> float: value; bool: not 0; string: decimal text
//   float -> int: truncated toward zero; bool: not 0.0; string: general format
//   bool  -> int 0/1; float 0.0/1.0; string "TRUE"/"FALSE"
//   text  -> int/float: parsed, 0 when it does not parse; bool: exactly "TRUE"
#include <cstdint>
#include <string>
#include <string_view>

#include "expr/value_text.h"

namespace novu::convert {

// The element type of flag values (one byte, 0 or 1), distinct from the integer types.
enum class Flag : uint8_t { kFalse = 0, kTrue = 1 };

inline int32_t ToInt(int32_t v) {
  return v;
}
inline int32_t ToInt(long double v) {
  return FloatToInt(v);
}
inline int32_t ToInt(Flag v) {
  return v == Flag::kTrue ? 1 : 0;
}
inline int32_t ToInt(std::string_view v) {
  return ParseInt(v).value_or(0);
}

inline long double ToFloat(int32_t v) {
  return v;
}
inline long double ToFloat(long double v) {
  return v;
}
inline long double ToFloat(Flag v) {
  return v == Flag::kTrue ? 1.0L : 0.0L;
}
inline long double ToFloat(std::string_view v) {
  return ParseFloat(v).value_or(0.0L);
}

inline bool ToBool(int32_t v) {
  return v != 0;
}
inline bool ToBool(long double v) {
  return v != 0.0L;
}
inline bool ToBool(Flag v) {
  return v == Flag::kTrue;
}
inline bool ToBool(std::string_view v) {
  return TextToBool(v);
}

inline std::string ToStr(int32_t v) {
  return IntToText(v);
}
inline std::string ToStr(long double v) {
  return FloatToText(v);
}
inline std::string ToStr(Flag v) {
  return std::string(BoolToText(v == Flag::kTrue));
}
inline std::string ToStr(std::string_view v) {
  return std::string(v);
}

inline Flag ToFlag(bool v) {
  return v ? Flag::kTrue : Flag::kFalse;
}

// Conversion into an element type from any of the source types (bool, int32_t, long double,
// text).
template <typename Element, typename Source>
Element To(const Source& v) {
  if constexpr (std::is_same_v<Source, bool>) {
    if constexpr (std::is_same_v<Element, Flag>)
      return ToFlag(v);
    else
      return To<Element>(ToFlag(v));
  } else if constexpr (std::is_same_v<Element, int32_t>) {
    return ToInt(v);
  } else if constexpr (std::is_same_v<Element, long double>) {
    return ToFloat(v);
  } else if constexpr (std::is_same_v<Element, Flag>) {
    return ToFlag(ToBool(v));
  } else {
    return ToStr(v);
  }
}

// The fill operation each element type implements (FillInt for integers, and so on).
template <typename Element>
using OwnSourceType = std::conditional_t<
    std::is_same_v<Element, int32_t>, int32_t,
    std::conditional_t<std::is_same_v<Element, long double>, long double,
                       std::conditional_t<std::is_same_v<Element, Flag>, bool, std::string_view>>>;

}  // namespace novu::convert
