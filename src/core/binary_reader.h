#pragma once
// The bounded little-endian reader every file format goes through. Files from disk, archives
// and saves are untrusted: every read is checked against the bytes left and fails with a
// NovuError (never an assert, never a huge allocation from a count in the data).
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace novu {

class BinaryReader {
 public:
  explicit BinaryReader(std::span<const uint8_t> data) : data_(data) {}
  explicit BinaryReader(std::string_view data)
      : data_(reinterpret_cast<const uint8_t*>(data.data()), data.size()) {}

  uint8_t U8();
  int8_t I8() { return static_cast<int8_t>(U8()); }
  uint16_t U16();
  int16_t I16() { return static_cast<int16_t>(U16()); }
  uint32_t U32();
  int32_t I32() { return static_cast<int32_t>(U32()); }
  uint64_t U64();
  int64_t I64() { return static_cast<int64_t>(U64()); }
  bool Bool() { return U8() != 0; }
  // A 10-byte extended-precision float.
  long double Float80();
  // A length-prefixed CP932 string: i32 byte count (0 or less: empty), then the bytes.
  std::string String();
  // Exactly `count` raw bytes.
  std::span<const uint8_t> Bytes(size_t count);
  std::string BytesAsString(size_t count);
  void Skip(size_t count);

  // An element count read as i32: negative counts and counts whose elements (each at least
  // `min_element_size` bytes) cannot fit in the bytes left, or that exceed `max_count`, are errors.
  size_t Count(size_t min_element_size, size_t max_count = SIZE_MAX);
  // Checks an already-read count the same way.
  size_t CheckCount(int64_t count, size_t min_element_size, size_t max_count = SIZE_MAX) const;

  size_t position() const { return pos_; }
  size_t size() const { return data_.size(); }
  size_t remaining() const { return data_.size() - pos_; }
  bool AtEnd() const { return pos_ >= data_.size(); }
  void Seek(size_t position);
  std::span<const uint8_t> data() const { return data_; }

 private:
  void Need(size_t count) const;

  std::span<const uint8_t> data_;
  size_t pos_ = 0;
};

}  // namespace novu
