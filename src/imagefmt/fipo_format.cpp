#include "imagefmt/fipo_format.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "platform/error.h"

namespace novu::imagefmt {
namespace {

constexpr std::string_view kMagic = "Fipo";

int32_t ParseVersionDigits(std::span<const uint8_t> digits) {
  int32_t version = 0;
  for (uint8_t c : digits) {
    if (c < '0' || c > '9') throw NovuError::FromUtf8("Layered image: version is not a number");
    version = version * 10 + (c - '0');
  }
  return version;
}

bool StartsWithMagic(std::span<const uint8_t> data) {
  return data.size() >= kMagic.size() && std::equal(kMagic.begin(), kMagic.end(), data.begin());
}

int32_t RecordI32(const std::array<uint8_t, kHeaderRecordSize>& r, size_t offset) {
  uint32_t v;
  std::memcpy(&v, r.data() + offset, 4);
  return static_cast<int32_t>(v);  // the record is little-endian, like the host
}

Compression CheckedCompression(uint8_t code) {
  if (code > static_cast<uint8_t>(Compression::kJpeg)) {
    throw NovuError::FromUtf8("Layered image: unknown compression " + std::to_string(code));
  }
  return static_cast<Compression>(code);
}

void ReadHeaderRecord(BinaryReader& in, FipoHeader& h) {
  const int32_t stated = in.I32();
  if (stated < 0) throw NovuError::FromUtf8("Layered image: negative header size");
  // A larger record than this version knows is read up to the known size; the rest is skipped.
  std::array<uint8_t, kHeaderRecordSize> record{};
  const size_t known = std::min<size_t>(static_cast<size_t>(stated), record.size());
  const auto bytes = in.Bytes(known);
  std::copy(bytes.begin(), bytes.end(), record.begin());
  in.Skip(static_cast<size_t>(stated) - known);

  h.width = RecordI32(record, 4);
  h.height = RecordI32(record, 8);
  h.bit_count = RecordI32(record, 12);
  h.frame_count = RecordI32(record, 16);
  h.scrambled = record[21] == 1;
  h.compression = CheckedCompression(record[22]);
  h.background = RecordI32(record, 24);
  h.block_width = RecordI32(record, 28);
  h.block_height = RecordI32(record, 32);
  h.base_layer_opaque = h.version >= kVersionBaseOpaque && record[36] != 0;
  h.jpeg_quality = record[37];
  if (h.block_width < 0 || h.block_height < 0) {
    throw NovuError::FromUtf8("Layered image: negative block size");
  }
}

}  // namespace

FipoHeader ReadFipoHeader(BinaryReader& in) {
  FipoHeader h;
  if (StartsWithMagic(in.data().subspan(in.position()))) {
    in.Skip(kMagic.size());
    h.version = ParseVersionDigits(in.Bytes(3));
    if (h.version > kCurrentVersion) {
      throw NovuError::FromUtf8("Layered image: unsupported version " + std::to_string(h.version));
    }
  }
  if (h.version >= kVersionHeaderRecord) {
    ReadHeaderRecord(in, h);
  } else {
    h.frame_count = in.I32();
    in.Skip(1);
    if (h.version >= kVersionBackground) h.background = in.I32();
  }
  if (h.frame_count < 0) throw NovuError::FromUtf8("Layered image: negative frame count");
  return h;
}

void WriteFipoHeader(BinaryWriter& out, const FipoHeader& h) {
  out.Bytes(kMagic);
  out.Bytes(std::to_string(h.version));
  out.I32(kHeaderRecordSize);
  out.I32(h.version);
  out.I32(h.width);
  out.I32(h.height);
  out.I32(h.bit_count);
  out.I32(h.frame_count);
  out.U8(1);
  out.U8(h.scrambled ? 1 : 0);
  out.U8(static_cast<uint8_t>(h.compression));
  out.U8(0);
  out.I32(h.background);
  out.I32(h.block_width);
  out.I32(h.block_height);
  out.U8(h.base_layer_opaque ? 1 : 0);
  out.U8(h.jpeg_quality);
  out.U16(0);
}

bool IsStoredUncompressed(std::span<const uint8_t> data) {
  if (!StartsWithMagic(data)) return false;
  try {
    BinaryReader in(data);
    const FipoHeader h = ReadFipoHeader(in);
    return h.version >= kVersionHeaderRecord && h.compression == Compression::kNone;
  } catch (const NovuError&) {
    return false;
  }
}

}  // namespace novu::imagefmt
