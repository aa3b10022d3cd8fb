#pragma once
// The archive layout shared by game data and save files. All integers are little-endian and all
// offsets are relative to the archive's start B within its container:
//   ["vf" version:i32]  (absent: version 0)
//   count:i32, count names (i32 length + bytes), count+1 offsets (i64 when version > 100,
//   else i32), then when version > 100: stored flags (u8), file times (i32), CRC-32s (u32),
//   and when version >= 102: checksum-taken-before-compression flags (u8); then the data.
// From version 100 on, name bytes and offsets are XORed with a TKxRandom stream.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "storage/big_stream.h"

namespace novu {

inline constexpr int32_t kArchiveKey = 1384620597;
inline constexpr int32_t kArchiveWriteVersion = 102;

struct ArchiveEntryInfo {
  std::string name;
  int64_t offset = 0;  // relative to B when parsed
  int64_t size = 0;
  bool stored = false;  // false: the data is a zlib stream
  int32_t time = 0;
  uint32_t checksum = 0;
  bool checksum_before_compression = false;
};

struct ArchiveDirectory {
  int32_t version = 0;
  std::vector<ArchiveEntryInfo> entries;
};

// Parses a directory from `bytes` (which start at B). `archive_size` is the number of bytes of
// the container from B on: every offset must lie within it and none may decrease. Damaged
// directories throw NovuError.
ArchiveDirectory ParseArchiveDirectory(std::span<const uint8_t> bytes, int64_t archive_size);

// Reads the directory of the archive at `base` of `container`, taking only as many bytes as the
// directory needs. `archive_size` as above.
ArchiveDirectory ReadArchiveDirectory(TKxBigStream& container, int64_t base, int64_t archive_size);

// Writes "vf", version 102 and the directory of `entries` (whose offsets are relative to the
// archive start) to `out`; used to lay out the header before and after the data is written.
void WriteArchiveHeader(TKxBigStream& out, const std::vector<ArchiveEntryInfo>& entries,
                        int64_t end_offset, bool with_tables);

// Size of the header written by WriteArchiveHeader for these names.
int64_t ArchiveHeaderSize(const std::vector<ArchiveEntryInfo>& entries);

// The trailer of an archive appended to a program: i32 B then "nv".
inline constexpr int64_t kAppendedTrailerSize = 6;
std::vector<uint8_t> AppendedTrailer(int32_t base);

}  // namespace novu
