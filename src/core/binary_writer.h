#pragma once
// Little-endian writer into a growing byte buffer; the counterpart of BinaryReader.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace novu {

class BinaryWriter {
 public:
  void U8(uint8_t v) { bytes_.push_back(v); }
  void I8(int8_t v) { U8(static_cast<uint8_t>(v)); }
  void U16(uint16_t v);
  void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
  void U32(uint32_t v);
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void U64(uint64_t v);
  void I64(int64_t v) { U64(static_cast<uint64_t>(v)); }
  void Bool(bool v) { U8(v ? 1 : 0); }
  void Float80(long double v);
  // Length-prefixed CP932 string.
  void String(std::string_view s);
  void Bytes(std::span<const uint8_t> data);
  void Bytes(std::string_view data);
  // Overwrites 4 bytes at `offset` (for sizes known only after the body is written).
  void PatchU32(size_t offset, uint32_t v);

  size_t size() const { return bytes_.size(); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  std::vector<uint8_t> Take() { return std::move(bytes_); }
  std::string TakeString() { return std::string(bytes_.begin(), bytes_.end()); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace novu
