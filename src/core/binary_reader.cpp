#include "core/binary_reader.h"

#include <cstring>

#include "core/extended_float.h"
#include "platform/error.h"

namespace novu {

void BinaryReader::Need(size_t count) const {
  if (count > remaining()) {
    throw NovuError(Jp("データが壊れています") + " (need " + std::to_string(count) +
                    " bytes at offset " + std::to_string(pos_) + ", " +
                    std::to_string(remaining()) + " left)");
  }
}

uint8_t BinaryReader::U8() {
  Need(1);
  return data_[pos_++];
}

uint16_t BinaryReader::U16() {
  Need(2);
  uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
  pos_ += 2;
  return v;
}

uint32_t BinaryReader::U32() {
  Need(4);
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | data_[pos_ + i];
  pos_ += 4;
  return v;
}

uint64_t BinaryReader::U64() {
  Need(8);
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | data_[pos_ + i];
  pos_ += 8;
  return v;
}

long double BinaryReader::Float80() {
  Need(10);
  long double v = DecodeFloat80(data_.subspan(pos_, 10));
  pos_ += 10;
  return v;
}

std::string BinaryReader::String() {
  int32_t count = I32();
  if (count <= 0) return {};
  return BytesAsString(static_cast<size_t>(count));
}

std::span<const uint8_t> BinaryReader::Bytes(size_t count) {
  Need(count);
  auto out = data_.subspan(pos_, count);
  pos_ += count;
  return out;
}

std::string BinaryReader::BytesAsString(size_t count) {
  auto bytes = Bytes(count);
  return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void BinaryReader::Skip(size_t count) {
  Need(count);
  pos_ += count;
}

size_t BinaryReader::Count(size_t min_element_size, size_t max_count) {
  size_t at = pos_;
  int32_t count = I32();
  try {
    return CheckCount(count, min_element_size, max_count);
  } catch (...) {
    pos_ = at;
    throw;
  }
}

size_t BinaryReader::CheckCount(int64_t count, size_t min_element_size, size_t max_count) const {
  if (count < 0 || static_cast<uint64_t>(count) > max_count ||
      (min_element_size > 0 && static_cast<uint64_t>(count) > remaining() / min_element_size)) {
    throw NovuError(Jp("データが壊れています") + " (count " + std::to_string(count) +
                    " at offset " + std::to_string(pos_) + " does not fit the " +
                    std::to_string(remaining()) + " bytes left)");
  }
  return static_cast<size_t>(count);
}

void BinaryReader::Seek(size_t position) {
  if (position > data_.size()) {
    throw NovuError(Jp("データが壊れています") + " (seek to " + std::to_string(position) +
                    " past the end " + std::to_string(data_.size()) + ")");
  }
  pos_ = position;
}

}  // namespace novu
