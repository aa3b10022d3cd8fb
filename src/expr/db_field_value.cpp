#include "expr/db_field_value.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/extended_float.h"
#include "expr/value_text.h"

namespace novu {
namespace {

int32_t LoadInt(const uint8_t* at) {
  return DBLoadInt(at);
}

void PutInt(uint8_t* at, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}

long double LoadFloat(const uint8_t* at) {
  return DecodeFloat80(std::span<const uint8_t>(at, 10));
}

}  // namespace

int32_t RoundToInt32(long double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0L) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0L) return std::numeric_limits<int32_t>::min();
  const long double floor = std::floor(value);
  const long double fraction = value - floor;
  auto result = static_cast<int64_t>(floor);
  if (fraction > 0.5L || (fraction == 0.5L && (result & 1) != 0)) ++result;
  return static_cast<int32_t>(
      std::clamp<int64_t>(result, std::numeric_limits<int32_t>::min(), INT32_MAX));
}

std::string_view DBFieldText(const TDBField& field, const uint8_t* at) {
  const auto* text = reinterpret_cast<const char*>(at);
  const auto capacity = static_cast<size_t>(field.capacity());
  const void* zero = std::memchr(text, 0, capacity);
  return {text,
          zero == nullptr ? capacity : static_cast<size_t>(static_cast<const char*>(zero) - text)};
}

int32_t DBFieldAsInt(const TDBField& field, const uint8_t* at) {
  switch (field.type) {
    case PT_INT:
      return LoadInt(at);
    case PT_FLOAT:
      return RoundToInt32(LoadFloat(at));
    case PT_BOOL:
      return at[0] != 0 ? 1 : 0;
    default:
      return ParseInt(DBFieldText(field, at)).value_or(0);
  }
}

long double DBFieldAsFloat(const TDBField& field, const uint8_t* at) {
  switch (field.type) {
    case PT_INT:
      return LoadInt(at);
    case PT_FLOAT:
      return LoadFloat(at);
    case PT_BOOL:
      return at[0] != 0 ? 1.0L : 0.0L;
    default:
      return ParseFloat(DBFieldText(field, at)).value_or(0.0L);
  }
}

bool DBFieldAsBool(const TDBField& field, const uint8_t* at) {
  switch (field.type) {
    case PT_INT:
      return LoadInt(at) != 0;
    case PT_FLOAT:
      return LoadFloat(at) != 0.0L;
    case PT_BOOL:
      return at[0] != 0;
    default:
      return TextToBool(DBFieldText(field, at));
  }
}

std::string DBFieldAsStr(const TDBField& field, const uint8_t* at) {
  switch (field.type) {
    case PT_INT:
      return IntToText(LoadInt(at));
    case PT_FLOAT:
      return FloatToText(LoadFloat(at));
    case PT_BOOL:
      return std::string(BoolToText(at[0] != 0));
    default:
      return std::string(DBFieldText(field, at));
  }
}

void DBStoreInt(const TDBField& field, uint8_t* at, int32_t value) {
  switch (field.type) {
    case PT_INT:
      PutInt(at, value);
      break;
    case PT_FLOAT:
      EncodeFloat80(value, at);
      break;
    case PT_BOOL:
      at[0] = value != 0 ? 1 : 0;
      break;
    default:
      DBStoreStr(field, at, IntToText(value));
  }
}

void DBStoreFloat(const TDBField& field, uint8_t* at, long double value) {
  switch (field.type) {
    case PT_INT:
      PutInt(at, RoundToInt32(value));
      break;
    case PT_FLOAT:
      EncodeFloat80(value, at);
      break;
    case PT_BOOL:
      at[0] = value != 0.0L ? 1 : 0;
      break;
    default:
      DBStoreStr(field, at, FloatToText(value));
  }
}

void DBStoreBool(const TDBField& field, uint8_t* at, bool value) {
  switch (field.type) {
    case PT_INT:
      PutInt(at, value ? 1 : 0);
      break;
    case PT_FLOAT:
      EncodeFloat80(value ? 1.0L : 0.0L, at);
      break;
    case PT_BOOL:
      at[0] = value ? 1 : 0;
      break;
    default:
      DBStoreStr(field, at, BoolToText(value));
  }
}

void DBStoreStr(const TDBField& field, uint8_t* at, std::string_view value) {
  switch (field.type) {
    case PT_INT:
      PutInt(at, ParseInt(value).value_or(0));
      break;
    case PT_FLOAT:
      EncodeFloat80(ParseFloat(value).value_or(0.0L), at);
      break;
    case PT_BOOL:
      at[0] = TextToBool(value) ? 1 : 0;
      break;
    default: {
      const size_t kept = std::min(value.size(), static_cast<size_t>(field.capacity()));
      std::memcpy(at, value.data(), kept);
      at[kept] = 0;
    }
  }
}

}  // namespace novu
