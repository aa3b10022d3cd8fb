#pragma once
// Builds archives of any version byte by byte, independently of the player's writer, so that
// readers can be checked against layouts the writer never produces (old versions, damage).
#include <cstdint>
#include <string>
#include <vector>

#include "core/binary_writer.h"
#include "storage/kx_random.h"
#include "storage/zlib_codec.h"

namespace novu::testing {

struct RawEntry {
  std::string name;
  std::string content;
  bool stored = false;
  int32_t time = 0;
  bool checksum_before_compression = false;  // the CRC is of `content`, not of the stored bytes
  uint32_t checksum_xor = 0;                 // non-zero damages the recorded CRC
};

inline std::vector<uint8_t> BuildArchive(int32_t version, const std::vector<RawEntry>& entries) {
  constexpr int32_t kKey = 1384620597;
  const bool scrambled = version > 99;
  const bool wide = version > 100;
  std::vector<std::vector<uint8_t>> data;
  for (const RawEntry& e : entries) {
    std::vector<uint8_t> bytes(e.content.begin(), e.content.end());
    data.push_back(e.stored && wide ? bytes : Deflate(bytes));
  }
  BinaryWriter w;
  if (version > 0) {
    w.Bytes(std::string_view("vf"));
    w.I32(version);
  }
  w.I32(static_cast<int32_t>(entries.size()));
  TKxRandom names(kKey);
  for (const RawEntry& e : entries) {
    w.I32(static_cast<int32_t>(e.name.size()));
    for (char c : e.name) {
      w.U8(static_cast<uint8_t>(c) ^ (scrambled ? static_cast<uint8_t>(names.NextValue()) : 0));
    }
  }
  int64_t header = static_cast<int64_t>(w.size()) + int64_t(entries.size() + 1) * (wide ? 8 : 4);
  if (wide) header += int64_t(entries.size()) * 9;
  if (version >= 102) header += int64_t(entries.size());
  TKxRandom offsets(kKey);
  int64_t at = header;
  for (size_t i = 0; i <= entries.size(); ++i) {
    const uint32_t v = scrambled ? offsets.NextValue() : 0;
    if (wide) {
      w.U64(static_cast<uint64_t>(at) ^
            static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(v))));
    } else {
      w.U32(static_cast<uint32_t>(at) ^ v);
    }
    if (i < entries.size()) at += static_cast<int64_t>(data[i].size());
  }
  if (wide) {
    for (const RawEntry& e : entries) w.U8(e.stored ? 1 : 0);
    for (const RawEntry& e : entries) w.I32(e.time);
    for (size_t i = 0; i < entries.size(); ++i) {
      const RawEntry& e = entries[i];
      const bool before = e.checksum_before_compression && version >= 102;
      const std::vector<uint8_t> content(e.content.begin(), e.content.end());
      w.U32((before ? Crc32(content) : Crc32(data[i])) ^ e.checksum_xor);
    }
    if (version >= 102) {
      for (const RawEntry& e : entries) w.U8(e.checksum_before_compression ? 1 : 0);
    }
  }
  for (const auto& d : data) w.Bytes(d);
  return w.Take();
}

}  // namespace novu::testing
