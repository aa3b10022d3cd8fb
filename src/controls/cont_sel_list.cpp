#include "controls/cont_sel_list.h"

#include <algorithm>
#include <string>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/cp932.h"
#include "platform/error.h"

namespace novu {
namespace {

// The smallest record of each version: every count-prefixed string empty.
size_t MinimumRecordSize(int32_t version) {
  size_t strings = 1 + 1 + 3 + 3 + 1;  // normal, name, hover/click, overlays, cursor
  if (version > 100) strings += 1;
  if (version > 101) strings += 2;
  if (version > 102) strings += 2;
  if (version > 103) strings += 5;
  if (version > 104) strings += 1;
  if (version > 105) strings += 1;
  size_t ints = 4 + (version > 103 ? 1 : 0);  // x, y, overlay x, y, group
  return strings * 4 + ints * 4 + 1;
}

int32_t ReadVersion(BinaryReader& in) {
  const std::string digits = in.BytesAsString(3);
  int32_t version = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    version = version * 10 + (c - '0');
  }
  return version;
}

// Where each path separator is, CP932-aware: a trail byte 0x5C is not a separator.
std::vector<size_t> SeparatorPositions(std::string_view text) {
  std::vector<size_t> at;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<uint8_t>(text[i]);
    if (cp932::IsLeadByte(b)) {
      ++i;
    } else if (b == '\\' || b == '/') {
      at.push_back(i);
    }
  }
  return at;
}

template <class Record, class Io>
void SyncRecord(Record& r, int32_t version, Io&& io) {
  io.Int(r.x);
  io.Int(r.y);
  io.Str(r.normal);
  io.Byte(r.capture_mask);
  io.Str(r.name);
  io.Str(r.hover_in);
  io.Str(r.hover_out);
  io.Str(r.click);
  if (version > 100) io.Str(r.disabled);
  if (version > 102) {
    io.Str(r.disabled_hover_in);
    io.Str(r.disabled_hover_out);
  }
  io.Str(r.hover_in_overlay);
  io.Str(r.hover_out_overlay);
  io.Str(r.click_overlay);
  if (version > 101) {
    io.Str(r.disabled_hover_in_overlay);
    io.Str(r.disabled_hover_out_overlay);
  }
  io.Int(r.overlay_x);
  io.Int(r.overlay_y);
  io.Str(r.cursor);
  if (version > 103) {
    io.Str(r.checked);
    io.Str(r.checked_hover_in);
    io.Str(r.checked_hover_out);
    io.Str(r.checked_hover_in_overlay);
    io.Str(r.checked_hover_out_overlay);
    io.Int(r.group);
  }
  if (version > 104) io.Str(r.checked_click_overlay);
  if (version > 105) io.Str(r.unchecked_click_overlay);
}

struct RecordReader {
  BinaryReader& in;
  void Int(int32_t& v) { v = in.I32(); }
  void Byte(uint8_t& v) { v = in.U8(); }
  void Str(std::string& v) { v = in.String(); }
};

struct RecordWriter {
  BinaryWriter& out;
  void Int(int32_t v) { out.I32(v); }
  void Byte(uint8_t v) { out.U8(v); }
  void Str(const std::string& v) { out.String(v); }
};

}  // namespace

std::vector<std::string*> TContSelButton::Names() {
  return {&normal,
          &hover_in,
          &hover_out,
          &click,
          &disabled,
          &disabled_hover_in,
          &disabled_hover_out,
          &hover_in_overlay,
          &hover_out_overlay,
          &click_overlay,
          &disabled_hover_in_overlay,
          &disabled_hover_out_overlay,
          &cursor,
          &checked,
          &checked_hover_in,
          &checked_hover_out,
          &checked_hover_in_overlay,
          &checked_hover_out_overlay,
          &checked_click_overlay,
          &unchecked_click_overlay};
}

std::vector<const std::string*> TContSelButton::Names() const {
  std::vector<const std::string*> out;
  for (std::string* name : const_cast<TContSelButton*>(this)->Names()) out.push_back(name);
  return out;
}

TContSelList TContSelList::Read(BinaryReader& in, std::string_view folder) {
  if (in.remaining() < kPrevMenuSignature.size() ||
      in.BytesAsString(kPrevMenuSignature.size()) != kPrevMenuSignature) {
    throw NovuError(Jp("NovuPreviewMenu:このファイル形式には対応していません"));
  }
  TContSelList list;
  list.version = in.remaining() >= 3 ? ReadVersion(in) : -1;
  if (list.version < kPrevMenuOldestVersion || list.version > kPrevMenuNewestVersion) {
    throw NovuError(Jp("NovuPreviewMenu:このバージョンのファイル形式には対応していません"));
  }
  list.width = in.I32();
  list.height = in.I32();
  const size_t count = in.Count(MinimumRecordSize(list.version));
  list.items.resize(count);
  for (TContSelButton& item : list.items) {
    SyncRecord(item, list.version, RecordReader{in});
    if (!folder.empty()) {
      for (std::string* name : item.Names()) *name = ResolveMenuPath(folder, *name);
    }
  }
  return list;
}

void TContSelList::Write(BinaryWriter& out) const {
  out.Bytes(kPrevMenuSignature);
  const int32_t v = std::clamp(version, kPrevMenuOldestVersion, kPrevMenuNewestVersion);
  out.Bytes(std::to_string(v));
  out.I32(width);
  out.I32(height);
  out.I32(static_cast<int32_t>(items.size()));
  for (const TContSelButton& item : items) SyncRecord(item, v, RecordWriter{out});
}

std::string_view FolderOf(std::string_view file_name) {
  const std::vector<size_t> at = SeparatorPositions(file_name);
  return at.empty() ? std::string_view{} : file_name.substr(0, at.back());
}

std::string ResolveMenuPath(std::string_view folder, std::string_view name) {
  if (name.size() < 2 || name[0] == '\\' || name[1] == ':' || folder.empty()) {
    return std::string(name);
  }
  std::string_view base = folder;
  while (name.size() >= 3 && name.substr(0, 3) == "..\\" && !base.empty()) {
    name.remove_prefix(3);
    base = FolderOf(base);
  }
  if (base.empty()) return std::string(name);
  std::string joined(base);
  joined += '\\';
  joined += name;
  return joined;
}

}  // namespace novu
