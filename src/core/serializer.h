#pragma once
// Serializer: one pass over a saved record that either writes it or reads it back. The code that
// describes a record calls the same methods in the same order for both directions, so the saved
// layout is written down once: `s.I32(left_)` writes left_ when saving and fills it when loading.
//
// Fields that came into the format later carry the first save version holding them: `Has(v)` is
// true when the record being read is at least that new (and always when writing, which writes
// the newest layout).
#include <cstdint>
#include <string>

#include "core/binary_reader.h"
#include "core/binary_writer.h"

namespace novu {

class Serializer {
 public:
  // Writes with the newest layout.
  explicit Serializer(BinaryWriter& out) : out_(&out) {}
  // Reads a record of save version `version`.
  Serializer(BinaryReader& in, int32_t version) : in_(&in), version_(version) {}

  bool loading() const { return in_ != nullptr; }
  bool saving() const { return out_ != nullptr; }
  // The version of the record being read; 0 while writing.
  int32_t version() const { return version_; }
  // True when the record holds the fields that came in with version `since`.
  bool Has(int32_t since) const { return saving() || version_ >= since; }

  void I32(int32_t& v) {
    if (loading()) {
      v = in_->I32();
    } else {
      out_->I32(v);
    }
  }
  void U8(uint8_t& v) {
    if (loading()) {
      v = in_->U8();
    } else {
      out_->U8(v);
    }
  }
  // One byte, 1 for true; any non-zero byte reads as true.
  void Bool(bool& v) {
    if (loading()) {
      v = in_->Bool();
    } else {
      out_->Bool(v);
    }
  }
  // A bool kept as a 32-bit 0 or 1.
  void BoolAsI32(bool& v) {
    if (loading()) {
      v = in_->I32() != 0;
    } else {
      out_->I32(v ? 1 : 0);
    }
  }
  void String(std::string& v) {
    if (loading()) {
      v = in_->String();
    } else {
      out_->String(v);
    }
  }
  void Float80(long double& v) {
    if (loading()) {
      v = in_->Float80();
    } else {
      out_->Float80(v);
    }
  }
  // The overloads the property tables use: the field's type picks the encoding.
  void Field(int32_t& v) { I32(v); }
  void Field(uint8_t& v) { U8(v); }
  void Field(bool& v) { Bool(v); }
  void Field(std::string& v) { String(v); }
  void Field(long double& v) { Float80(v); }

  // The underlying stream, for records that nest a form of their own (an expression, a child).
  BinaryReader& reader() const { return *in_; }
  BinaryWriter& writer() const { return *out_; }

 private:
  BinaryWriter* out_ = nullptr;
  BinaryReader* in_ = nullptr;
  int32_t version_ = 0;
};

}  // namespace novu
