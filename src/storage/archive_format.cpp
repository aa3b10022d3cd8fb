#include "storage/archive_format.h"

#include <algorithm>
#include <string>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"
#include "storage/kx_random.h"

namespace novu {
namespace {

// Directories beyond this are not credible and are not read into memory.
constexpr int64_t kMaxDirectorySize = int64_t{256} << 20;

bool HasScrambledDirectory(int32_t version) {
  return version > 99;
}
bool HasWideOffsets(int32_t version) {
  return version > 100;
}
bool HasEntryTables(int32_t version) {
  return version > 100;
}
bool HasChecksumOrderFlags(int32_t version) {
  return version >= 102;
}

uint64_t OffsetMask(uint32_t value) {
  // The high half is XORed with the sign extension of the 32-bit value.
  return static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(value)));
}

[[noreturn]] void ThrowDamaged(const std::string& reason) {
  throw NovuError(Jp("アーカイブが壊れています") + " (" + reason + ")");
}

size_t MinimumEntrySize(int32_t version) {
  return 4 + (HasWideOffsets(version) ? 8 : 4) + (HasEntryTables(version) ? 9 : 0) +
         (HasChecksumOrderFlags(version) ? 1 : 0);
}

// The smallest directory the header at the start of `bytes` can have, so that an absurd entry
// count is refused before the directory is read; 0 when the header itself is incomplete.
int64_t MinimumDirectorySize(std::span<const uint8_t> bytes) {
  BinaryReader r(bytes);
  int32_t version = 0;
  if (r.remaining() >= 2 && bytes[0] == 'v' && bytes[1] == 'f') {
    if (r.remaining() < 10) return 0;
    r.Skip(2);
    version = r.I32();
  }
  if (r.remaining() < 4) return 0;
  const int64_t count = r.I32();
  if (count < 0) return INT64_MAX;
  const int64_t offset_size = HasWideOffsets(version) ? 8 : 4;
  return static_cast<int64_t>(r.position()) + offset_size +
         count * static_cast<int64_t>(MinimumEntrySize(version));
}

}  // namespace

ArchiveDirectory ParseArchiveDirectory(std::span<const uint8_t> bytes, int64_t archive_size) {
  BinaryReader r(bytes);
  ArchiveDirectory dir;
  if (r.remaining() >= 2 && bytes[0] == 'v' && bytes[1] == 'f') {
    r.Skip(2);
    dir.version = r.I32();
  }
  const int32_t v = dir.version;
  const size_t offset_size = HasWideOffsets(v) ? 8 : 4;
  const size_t per_entry =
      4 + offset_size + (HasEntryTables(v) ? 9 : 0) + (HasChecksumOrderFlags(v) ? 1 : 0);
  const size_t count = r.Count(per_entry);
  if (r.remaining() < offset_size) ThrowDamaged("no end offset");

  dir.entries.resize(count);
  TKxRandom names(kArchiveKey);
  for (ArchiveEntryInfo& e : dir.entries) {
    e.name = r.String();
    if (HasScrambledDirectory(v)) {
      for (char& c : e.name) c = static_cast<char>(c ^ static_cast<uint8_t>(names.NextValue()));
    }
  }

  std::vector<int64_t> offsets(count + 1);
  TKxRandom scramble(kArchiveKey);
  for (int64_t& offset : offsets) {
    if (HasWideOffsets(v)) {
      uint64_t raw = r.U64();
      if (HasScrambledDirectory(v)) raw ^= OffsetMask(scramble.NextValue());
      if (raw > static_cast<uint64_t>(INT64_MAX)) ThrowDamaged("negative offset");
      offset = static_cast<int64_t>(raw);
    } else {
      uint32_t raw = r.U32();
      if (HasScrambledDirectory(v)) raw ^= scramble.NextValue();
      offset = raw;
    }
  }
  for (size_t i = 0; i < count; ++i) {
    if (offsets[i + 1] < offsets[i]) ThrowDamaged("offsets decrease at entry " + std::to_string(i));
  }
  if (offsets[count] > archive_size) ThrowDamaged("data runs past the end of the container");

  if (HasEntryTables(v)) {
    for (ArchiveEntryInfo& e : dir.entries) e.stored = r.U8() != 0;
    for (ArchiveEntryInfo& e : dir.entries) e.time = r.I32();
    for (ArchiveEntryInfo& e : dir.entries) e.checksum = r.U32();
    if (HasChecksumOrderFlags(v)) {
      for (ArchiveEntryInfo& e : dir.entries) e.checksum_before_compression = r.U8() != 0;
    }
  }
  for (size_t i = 0; i < count; ++i) {
    dir.entries[i].offset = offsets[i];
    dir.entries[i].size = offsets[i + 1] - offsets[i];
  }
  return dir;
}

ArchiveDirectory ReadArchiveDirectory(TKxBigStream& container, int64_t base, int64_t archive_size) {
  const int64_t limit = std::min(archive_size, kMaxDirectorySize);
  int64_t window = std::min<int64_t>(limit, 64 * 1024);
  std::vector<uint8_t> bytes;
  for (;;) {
    bytes.resize(static_cast<size_t>(window));
    container.SetPosition(base);
    const int64_t got = container.Read(bytes.data(), window);
    bytes.resize(static_cast<size_t>(std::max<int64_t>(got, 0)));
    const int64_t minimum = MinimumDirectorySize(bytes);
    if (minimum > archive_size) ThrowDamaged("entry count beyond the data");
    if (minimum > window && window < limit) {
      window = std::min(limit, minimum);
      continue;
    }
    try {
      return ParseArchiveDirectory(bytes, archive_size);
    } catch (const NovuError&) {
      // A directory longer than the window fails the same way as a damaged one; only a
      // failure with every available byte in hand is final.
      if (got < window || window >= limit) throw;
    }
    window = std::min(limit, window * 4);
  }
}

int64_t ArchiveHeaderSize(const std::vector<ArchiveEntryInfo>& entries) {
  int64_t size = 2 + 4 + 4 + 8;  // magic, version, count, end offset
  for (const ArchiveEntryInfo& e : entries)
    size += 4 + static_cast<int64_t>(e.name.size()) + 8 + 10;
  return size;
}

void WriteArchiveHeader(TKxBigStream& out, const std::vector<ArchiveEntryInfo>& entries,
                        int64_t end_offset, bool with_tables) {
  BinaryWriter w;
  w.Bytes(std::string_view("vf"));
  w.I32(kArchiveWriteVersion);
  w.I32(static_cast<int32_t>(entries.size()));
  TKxRandom names(kArchiveKey);
  for (const ArchiveEntryInfo& e : entries) {
    w.I32(static_cast<int32_t>(e.name.size()));
    for (char c : e.name) w.U8(static_cast<uint8_t>(c) ^ static_cast<uint8_t>(names.NextValue()));
  }
  TKxRandom scramble(kArchiveKey);
  auto offset = [&](int64_t value) {
    w.U64(with_tables ? static_cast<uint64_t>(value) ^ OffsetMask(scramble.NextValue()) : 0);
  };
  for (const ArchiveEntryInfo& e : entries) offset(e.offset);
  offset(end_offset);
  for (const ArchiveEntryInfo& e : entries) w.U8(with_tables && e.stored ? 1 : 0);
  for (const ArchiveEntryInfo& e : entries) w.I32(with_tables ? e.time : 0);
  for (const ArchiveEntryInfo& e : entries) w.U32(with_tables ? e.checksum : 0);
  for (const ArchiveEntryInfo& e : entries) {
    w.U8(with_tables && e.checksum_before_compression ? 1 : 0);
  }
  const std::vector<uint8_t>& bytes = w.bytes();
  if (out.Write(bytes.data(), static_cast<int64_t>(bytes.size())) !=
      static_cast<int64_t>(bytes.size())) {
    throw NovuError(Jp("ファイルに書き込めません"));
  }
}

std::vector<uint8_t> AppendedTrailer(int32_t base) {
  BinaryWriter w;
  w.I32(base);
  w.Bytes(std::string_view("nv"));
  return w.Take();
}

}  // namespace novu
