#include "storage/zlib_codec.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <string>

#include "core/error.h"

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

std::vector<uint8_t> Inflate(std::span<const uint8_t> compressed, std::string_view name,
                             size_t max_size) {
  const size_t ratio_limit =
      compressed.size() > (std::numeric_limits<size_t>::max() - kRatioSlack) / kMaxRatio
          ? std::numeric_limits<size_t>::max()
          : compressed.size() * kMaxRatio + kRatioSlack;
  const size_t limit = std::min(max_size, ratio_limit);

  z_stream z{};
  if (inflateInit(&z) != Z_OK) ThrowDamaged(name, "inflateInit");
  std::vector<uint8_t> out(std::min<size_t>(limit, std::max<size_t>(compressed.size() * 4, 4096)));
  size_t produced = 0;
  size_t consumed = 0;
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    if (produced == out.size()) {
      if (out.size() >= limit) {
        inflateEnd(&z);
        ThrowDamaged(name, "inflated data too large");
      }
      out.resize(std::min(limit, out.size() * 2));
    }
    const size_t in_chunk = std::min<size_t>(compressed.size() - consumed, UINT32_MAX);
    const size_t out_chunk = std::min<size_t>(out.size() - produced, UINT32_MAX);
    z.next_in = const_cast<Bytef*>(compressed.data() + consumed);
    z.avail_in = static_cast<uInt>(in_chunk);
    z.next_out = out.data() + produced;
    z.avail_out = static_cast<uInt>(out_chunk);
    status = inflate(&z, Z_NO_FLUSH);
    consumed += in_chunk - z.avail_in;
    produced += out_chunk - z.avail_out;
    if (status == Z_STREAM_END) break;
    if (status == Z_BUF_ERROR && z.avail_out != 0) {
      // No progress possible with output room left: the input ended inside the stream.
      inflateEnd(&z);
      ThrowDamaged(name, "truncated stream");
    }
    if (status != Z_OK && status != Z_BUF_ERROR) {
      const std::string reason = z.msg != nullptr ? z.msg : "inflate failed";
      inflateEnd(&z);
      ThrowDamaged(name, reason);
    }
    if (status == Z_OK && consumed == compressed.size() && z.avail_out != 0) {
      inflateEnd(&z);
      ThrowDamaged(name, "truncated stream");
    }
  }
  inflateEnd(&z);
  out.resize(produced);
  return out;
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
