#pragma once
// The layered image file: magic, version and header record, shared by the reader and the writer.
//
// A file starts with "Fipo" and three ASCII digits of version; files without the magic are
// legacy files of version 0. Versions 103 and later carry a 40-byte header record (preceded by
// its stated size); older ones a frame count, one ignored byte and, from 102, a background
// colour.
#include <cstdint>
#include <span>

#include "core/binary_reader.h"
#include "core/binary_writer.h"

namespace novu::imagefmt {

inline constexpr int32_t kCurrentVersion = 106;
inline constexpr int32_t kHeaderRecordSize = 40;

// Version gates of the fields that came and went.
inline constexpr int32_t kVersionMaskData = 100;
inline constexpr int32_t kVersionMaskEnabled = 102;
inline constexpr int32_t kVersionBackground = 102;
inline constexpr int32_t kVersionHeaderRecord = 103;
inline constexpr int32_t kVersionRegions = 104;
inline constexpr int32_t kVersionBaseOpaque = 105;

enum class Compression : uint8_t {
  kDeflate = 0,  // "Default compression": zlib
  kNone = 1,     // "No compression"
  kJpeg = 2,     // "Nonreversible compression": JPEG colour data, zlib masks
};

struct FipoHeader {
  int32_t version = 0;
  int32_t width = 0;  // of frame 0, informative
  int32_t height = 0;
  int32_t bit_count = 0;
  int32_t frame_count = 0;
  bool scrambled = false;
  Compression compression = Compression::kDeflate;
  int32_t background = 0;  // 0x00BBGGRR
  int32_t block_width = 0;
  int32_t block_height = 0;
  bool base_layer_opaque = false;
  uint8_t jpeg_quality = 0;

  bool HasBlocks() const { return block_width > 0 && block_height > 0; }
};

// Reads magic, version and header (whatever the version). Throws NovuError for unknown
// versions, compression codes, negative sizes and counts, and truncated headers.
FipoHeader ReadFipoHeader(BinaryReader& in);

// Writes "Fipo" + version digits, the stated size 40 and the header record.
void WriteFipoHeader(BinaryWriter& out, const FipoHeader& header);

// True when the data start with the magic, the version is 103 or later and the header says
// "No compression". The archive writer asks this of ".fip" entries when it decides whether to
// deflate them.
bool IsStoredUncompressed(std::span<const uint8_t> data);

}  // namespace novu::imagefmt
