#include "imagefmt/pixel_stream.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string>

#include "platform/error.h"

namespace novu::imagefmt {
namespace {

// Deflate cannot expand data by more than about 1032:1.
constexpr uint64_t kMaxDeflateRatio = 1100;
constexpr uint64_t kRatioSlack = 64 * 1024;

[[noreturn]] void ThrowTruncated() {
  throw NovuError::FromUtf8("Layered image: pixel data end too early");
}

}  // namespace

PixelStream::PixelStream(std::span<const uint8_t> data, Kind kind) : data_(data), kind_(kind) {
  if (kind_ != Kind::kDeflated) return;
  if (inflateInit(&z_) != Z_OK) throw NovuError::FromUtf8("Layered image: inflateInit failed");
  z_open_ = true;
  z_.next_in = const_cast<Bytef*>(data_.data());
  z_.avail_in = static_cast<uInt>(std::min<size_t>(data_.size(), std::numeric_limits<uInt>::max()));
}

PixelStream::~PixelStream() {
  if (z_open_) inflateEnd(&z_);
}

void PixelStream::Read(uint8_t* out, size_t count) {
  if (kind_ == Kind::kStored) {
    if (count > data_.size() - position_) ThrowTruncated();
    std::memcpy(out, data_.data() + position_, count);
    position_ += count;
    return;
  }
  Inflate(out, count);
}

void PixelStream::Skip(size_t count) {
  std::array<uint8_t, 4096> scratch;
  while (count > 0) {
    const size_t n = std::min(count, scratch.size());
    Read(scratch.data(), n);
    count -= n;
  }
}

int32_t PixelStream::ReadI32() {
  uint8_t b[4];
  Read(b, 4);
  return static_cast<int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) |
                              (static_cast<uint32_t>(b[3]) << 24));
}

uint64_t PixelStream::MaxRemaining() const {
  if (kind_ == Kind::kStored) return data_.size() - position_;
  const uint64_t limit = static_cast<uint64_t>(data_.size()) * kMaxDeflateRatio + kRatioSlack;
  return limit > produced_ ? limit - produced_ : 0;
}

void PixelStream::Inflate(uint8_t* out, size_t count) {
  while (count > 0) {
    if (z_ended_) ThrowTruncated();
    const uInt chunk = static_cast<uInt>(std::min<size_t>(count, std::numeric_limits<uInt>::max()));
    z_.next_out = out;
    z_.avail_out = chunk;
    const int status = inflate(&z_, Z_NO_FLUSH);
    const size_t got = chunk - z_.avail_out;
    out += got;
    count -= got;
    produced_ += got;
    if (status == Z_STREAM_END) {
      z_ended_ = true;
      continue;
    }
    if (status == Z_BUF_ERROR && got == 0) ThrowTruncated();
    if (status != Z_OK && status != Z_BUF_ERROR) {
      throw NovuError::FromUtf8(std::string("Layered image: damaged compressed data (") +
                                (z_.msg ? z_.msg : "inflate") + ")");
    }
  }
}

}  // namespace novu::imagefmt
