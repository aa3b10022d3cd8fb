#include "core/binary_writer.h"

#include <limits>

#include "core/extended_float.h"
#include "platform/error.h"

namespace novu {

void BinaryWriter::U16(uint16_t v) {
  U8(static_cast<uint8_t>(v));
  U8(static_cast<uint8_t>(v >> 8));
}

void BinaryWriter::U32(uint32_t v) {
  for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
}

void BinaryWriter::U64(uint64_t v) {
  for (int i = 0; i < 8; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
}

void BinaryWriter::Float80(long double v) {
  uint8_t raw[10];
  EncodeFloat80(v, raw);
  bytes_.insert(bytes_.end(), raw, raw + 10);
}

void BinaryWriter::String(std::string_view s) {
  if (s.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    throw NovuError::FromUtf8("文字列が長すぎます");
  }
  I32(static_cast<int32_t>(s.size()));
  Bytes(s);
}

void BinaryWriter::Bytes(std::span<const uint8_t> data) {
  bytes_.insert(bytes_.end(), data.begin(), data.end());
}

void BinaryWriter::Bytes(std::string_view data) {
  bytes_.insert(bytes_.end(), data.begin(), data.end());
}

void BinaryWriter::PatchU32(size_t offset, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes_.at(offset + i) = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace novu
