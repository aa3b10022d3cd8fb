#pragma once
// The bytes of one stored picture or mask, either as stored or inflated on the fly. Reading
// goes straight into the destination rows: zlib data are never inflated into a buffer first,
// and stored data are copied once from the file image.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <span>

namespace novu::imagefmt {

class PixelStream {
 public:
  enum class Kind { kStored, kDeflated };
  PixelStream(std::span<const uint8_t> data, Kind kind);
  PixelStream(const PixelStream&) = delete;
  PixelStream& operator=(const PixelStream&) = delete;
  ~PixelStream();

  // Exactly `count` bytes into `out`; throws NovuError when the data end first or are damaged.
  void Read(uint8_t* out, size_t count);
  void Skip(size_t count);
  int32_t ReadI32();

  // An upper bound of the bytes this stream can still produce (for checking counts before
  // allocating): the bytes left when stored; the deflate ratio limit when deflated.
  uint64_t MaxRemaining() const;

 private:
  void Inflate(uint8_t* out, size_t count);

  std::span<const uint8_t> data_;
  Kind kind_;
  size_t position_ = 0;  // stored: bytes consumed
  uint64_t produced_ = 0;
  z_stream z_{};
  bool z_open_ = false;
  bool z_ended_ = false;
};

}  // namespace novu::imagefmt
