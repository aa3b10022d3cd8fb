#include "engine/install_settings.h"

#include "core/binary_reader.h"
#include "core/binary_writer.h"

namespace novu {
namespace {

constexpr int32_t kWrittenVersion = 108;
// Each list entry holds at least its i32 length.
constexpr size_t kMinStringBytes = 4;

void SkipStrings(BinaryReader& in, int count) {
  for (int i = 0; i < count; ++i) in.String();
}

void SkipStringList(BinaryReader& in) {
  const size_t count = in.Count(kMinStringBytes);
  for (size_t i = 0; i < count; ++i) in.String();
}

int32_t ReadMagic(BinaryReader& in) {
  if (in.remaining() >= 5) {
    const std::string magic = in.BytesAsString(5);
    bool digits = magic.starts_with("is");
    int32_t version = 0;
    for (size_t i = 2; i < 5; ++i) {
      digits = digits && magic[i] >= '0' && magic[i] <= '9';
      version = version * 10 + (magic[i] - '0');
    }
    if (digits) return version;
  }
  in.Seek(0);
  return 0;
}

}  // namespace

TNovuInstallSet TNovuInstallSet::Parse(std::span<const uint8_t> data) {
  BinaryReader in(data);
  TNovuInstallSet set;
  set.version = ReadMagic(in);
  const int32_t v = set.version;
  set.disc_index = in.I32();
  set.title = in.String();
  SkipStrings(in, 3);
  in.U8();
  in.String();
  in.U8();
  const int32_t items = in.I32();
  in.String();
  in.I32();
  in.Skip(2);
  SkipStrings(in, 2);
  const size_t size_width = v > 99 ? 8 : 4;
  const size_t records = in.CheckCount(items, 4 * size_width);
  in.Skip(records * 4 * size_width);
  in.Skip(4 * size_width);  // totals
  in.U8();
  if (v > 100) in.U8();
  if (v > 101) SkipStringList(in);
  if (v > 102) set.data_installed = in.U8() != 0;
  if (v > 103) in.U8();
  if (v > 104) in.U8();
  if (v > 105) SkipStringList(in);
  if (v > 106) in.String();
  if (v > 107) SkipStrings(in, 2);
  return set;
}

std::vector<uint8_t> TNovuInstallSet::Serialize() const {
  BinaryWriter out;
  out.Bytes(std::string_view("is108"));
  out.I32(disc_index);
  out.String(title);
  for (int i = 0; i < 3; ++i) out.String({});
  out.U8(0);
  out.String({});
  out.U8(0);
  out.I32(0);  // no size records
  out.String({});
  out.I32(0);
  out.U8(0);
  out.U8(0);
  out.String({});
  out.String({});
  for (int i = 0; i < 4; ++i) out.I64(0);  // totals
  out.U8(0);
  out.U8(0);
  out.I32(0);  // string list
  out.U8(data_installed ? 1 : 0);
  out.U8(0);
  out.U8(0);
  out.I32(0);  // string list
  out.String({});
  out.String({});
  out.String({});
  static_assert(kWrittenVersion == 108);
  return out.Take();
}

}  // namespace novu
