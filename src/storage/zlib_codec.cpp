#include "storage/zlib_codec.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <string>

#include "platform/error.h"

namespace novu {
namespace {

// Deflate cannot expand data by more than about 1032:1; anything beyond means a bomb.
constexpr size_t kMaxRatio = 1100;
constexpr size_t kRatioSlack = 64 * 1024;

[[noreturn]] void ThrowDamaged(std::string_view name, std::string_view reason) {
  throw NovuError(FormatOne(Jp("%s:圧縮データが壊れています"), name) + " (" + std::string(reason) +
                  ")");
}

}  // namespace

namespace {

struct InflateStream {
  z_stream z{};
  bool open = false;
  ~InflateStream() {
    if (open) inflateEnd(&z);
  }
};

// Inflates `input_size` bytes that `next_input` hands out piece by piece (an empty piece when
// it has no more).
template <class NextInput>
std::vector<uint8_t> InflatePieces(NextInput next_input, size_t input_size, std::string_view name,
                                   size_t max_size) {
  const size_t ratio_limit =
      input_size > (std::numeric_limits<size_t>::max() - kRatioSlack) / kMaxRatio
          ? std::numeric_limits<size_t>::max()
          : input_size * kMaxRatio + kRatioSlack;
  const size_t limit = std::min(max_size, ratio_limit);

  InflateStream stream;
  z_stream& z = stream.z;
  if (inflateInit(&z) != Z_OK) ThrowDamaged(name, "inflateInit");
  stream.open = true;
  std::vector<uint8_t> out(std::min<size_t>(limit, std::max<size_t>(input_size * 4, 4096)));
  size_t produced = 0;
  bool input_left = true;
  for (;;) {
    if (z.avail_in == 0 && input_left) {
      const std::span<const uint8_t> piece = next_input();
      input_left = !piece.empty();
      z.next_in = const_cast<Bytef*>(piece.data());
      z.avail_in = static_cast<uInt>(piece.size());
    }
    if (produced == out.size()) {
      if (out.size() >= limit) ThrowDamaged(name, "inflated data too large");
      out.resize(std::min(limit, out.size() * 2));
    }
    const size_t out_chunk = std::min<size_t>(out.size() - produced, UINT32_MAX);
    z.next_out = out.data() + produced;
    z.avail_out = static_cast<uInt>(out_chunk);
    const int status = inflate(&z, Z_NO_FLUSH);
    produced += out_chunk - z.avail_out;
    if (status == Z_STREAM_END) break;
    if (status != Z_OK && status != Z_BUF_ERROR) {
      ThrowDamaged(name, z.msg != nullptr ? z.msg : "inflate failed");
    }
    // With room left for output and no input to come, the data ended inside the stream.
    if (z.avail_in == 0 && !input_left && z.avail_out != 0) ThrowDamaged(name, "truncated stream");
  }
  out.resize(produced);
  return out;
}

constexpr size_t kInputPiece = 256 * 1024;

}  // namespace

std::vector<uint8_t> Inflate(std::span<const uint8_t> compressed, std::string_view name,
                             size_t max_size) {
  size_t taken = 0;
  auto next = [&]() {
    const size_t n = std::min<size_t>(compressed.size() - taken, size_t{1} << 30);
    const std::span<const uint8_t> piece = compressed.subspan(taken, n);
    taken += n;
    return piece;
  };
  return InflatePieces(next, compressed.size(), name, max_size);
}

std::vector<uint8_t> Inflate(TKxBigStream& source, int64_t count, std::string_view name,
                             size_t max_size) {
  std::unique_ptr<uint8_t[]> buffer = std::make_unique_for_overwrite<uint8_t[]>(kInputPiece);
  int64_t left = std::max<int64_t>(count, 0);
  auto next = [&]() {
    const int64_t got = source.Read(buffer.get(), std::min<int64_t>(left, kInputPiece));
    if (got <= 0) return std::span<const uint8_t>();
    left -= got;
    return std::span<const uint8_t>(buffer.get(), static_cast<size_t>(got));
  };
  return InflatePieces(next, static_cast<size_t>(std::max<int64_t>(count, 0)), name, max_size);
}

std::vector<uint8_t> Deflate(std::span<const uint8_t> data) {
  z_stream z{};
  if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK) {
    throw NovuError::FromUtf8("deflateInit failed");
  }
  std::vector<uint8_t> out(deflateBound(&z, static_cast<uLong>(data.size())) + 16);
  size_t consumed = 0;
  size_t produced = 0;
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    if (produced == out.size()) out.resize(out.size() * 2);
    const size_t in_chunk = std::min<size_t>(data.size() - consumed, UINT32_MAX);
    const size_t out_chunk = std::min<size_t>(out.size() - produced, UINT32_MAX);
    z.next_in = const_cast<Bytef*>(data.data() + consumed);
    z.avail_in = static_cast<uInt>(in_chunk);
    z.next_out = out.data() + produced;
    z.avail_out = static_cast<uInt>(out_chunk);
    const bool last = consumed + in_chunk == data.size();
    status = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
    consumed += in_chunk - z.avail_in;
    produced += out_chunk - z.avail_out;
    if (status == Z_STREAM_ERROR) {
      deflateEnd(&z);
      throw NovuError::FromUtf8("deflate failed");
    }
  }
  deflateEnd(&z);
  out.resize(produced);
  return out;
}

uint32_t Crc32(std::span<const uint8_t> data) {
  uLong crc = crc32(0L, Z_NULL, 0);
  size_t done = 0;
  while (done < data.size()) {
    const size_t chunk = std::min<size_t>(data.size() - done, UINT32_MAX);
    crc = crc32(crc, data.data() + done, static_cast<uInt>(chunk));
    done += chunk;
  }
  return static_cast<uint32_t>(crc);
}

}  // namespace novu
