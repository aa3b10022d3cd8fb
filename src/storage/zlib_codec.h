#pragma once
// zlib-stream compression of archive entries, with the checks that untrusted data needs.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "storage/big_stream.h"

namespace novu {

// No real entry comes near this; a bigger output means damaged or hostile data.
inline constexpr size_t kMaxInflatedSize = size_t{1} << 30;

// Inflates a complete zlib stream. The archive stores no uncompressed size, so the output is
// capped at `max_size` and at what deflate can possibly produce from the input (about 1032:1).
// Damaged, truncated or oversized data throws NovuError naming `name`.
std::vector<uint8_t> Inflate(std::span<const uint8_t> compressed, std::string_view name,
                             size_t max_size = kMaxInflatedSize);

// The same for `count` bytes read from the source's current position.
std::vector<uint8_t> Inflate(TKxBigStream& source, int64_t count, std::string_view name,
                             size_t max_size = kMaxInflatedSize);

// A zlib stream at the default level.
std::vector<uint8_t> Deflate(std::span<const uint8_t> data);

// CRC-32 as zlib and PNG define it.
uint32_t Crc32(std::span<const uint8_t> data);

}  // namespace novu
