// Fuzzes the archive directory reader and entry extraction: the input is a whole archive file.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/error.h"
#include "storage/archive_format.h"
#include "storage/big_stream.h"
#include "storage/zlib_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  const std::span<const uint8_t> bytes(data, size);
  TKxBigMemoryStream container(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  try {
    const ArchiveDirectory directory =
        ReadArchiveDirectory(container, 0, static_cast<int64_t>(size));
    for (const ArchiveEntryInfo& entry : directory.entries) {
      // The reader guarantees every entry lies inside the data.
      if (entry.offset < 0 || entry.size < 0 ||
          static_cast<uint64_t>(entry.offset + entry.size) > size) {
        __builtin_trap();
      }
      const auto stored =
          bytes.subspan(static_cast<size_t>(entry.offset), static_cast<size_t>(entry.size));
      try {
        if (!entry.stored) Inflate(stored, entry.name, size_t{16} << 20);
        Crc32(stored);
      } catch (const NovuError&) {
      }
    }
  } catch (const NovuError&) {
  }
  return 0;
}
