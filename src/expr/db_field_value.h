#pragma once
// Reading a field of a record as one of the four value types, and writing a value into it.
// The conversions are those of the variables with two differences: a float becomes an integer
// by rounding to the nearest integer with halves going to the even neighbour (beyond the 32-bit
// range it is clamped), and a string field keeps at most its capacity in bytes (the first
// ones, so a double-byte character can be cut).
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "expr/db_field_list.h"

namespace novu {

// The little-endian 32-bit integer of an integer field.
inline int32_t DBLoadInt(const uint8_t* at) {
  return static_cast<int32_t>(static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
                              static_cast<uint32_t>(at[2]) << 16 |
                              static_cast<uint32_t>(at[3]) << 24);
}

// Rounds halves to the even neighbour; NaN gives 0; beyond the 32-bit range the nearest bound.
int32_t RoundToInt32(long double value);

// `at` points at the field's bytes inside a record.
int32_t DBFieldAsInt(const TDBField& field, const uint8_t* at);
long double DBFieldAsFloat(const TDBField& field, const uint8_t* at);
bool DBFieldAsBool(const TDBField& field, const uint8_t* at);
std::string DBFieldAsStr(const TDBField& field, const uint8_t* at);
// The text of a string field: the bytes up to the first zero byte, at most its capacity.
std::string_view DBFieldText(const TDBField& field, const uint8_t* at);

void DBStoreInt(const TDBField& field, uint8_t* at, int32_t value);
void DBStoreFloat(const TDBField& field, uint8_t* at, long double value);
void DBStoreBool(const TDBField& field, uint8_t* at, bool value);
void DBStoreStr(const TDBField& field, uint8_t* at, std::string_view value);

// The four reads by the C++ type of the value.
template <typename T>
T DBFieldAs(const TDBField& field, const uint8_t* at) {
  if constexpr (std::is_same_v<T, int32_t>) {
    return DBFieldAsInt(field, at);
  } else if constexpr (std::is_same_v<T, long double>) {
    return DBFieldAsFloat(field, at);
  } else if constexpr (std::is_same_v<T, bool>) {
    return DBFieldAsBool(field, at);
  } else {
    return DBFieldAsStr(field, at);
  }
}
}  // namespace novu
