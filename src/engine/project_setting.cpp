#include "engine/project_setting.h"

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"

namespace novu {
namespace {

// The smallest possible variable record (type byte and an empty name) and folder-disc entry.
constexpr size_t kMinVariableRecord = 1 + 4;
constexpr size_t kMinFolderDisc = 4 + 4;

ProjectVariable ReadVariable(BinaryReader& in) {
  ProjectVariable v;
  v.type = in.U8();
  v.name = in.String();
  switch (v.type) {
    case 1:
      v.int_value = in.I32();
      break;
    case 2:
      v.float_value = in.Float80();
      break;
    case 3:
      v.bool_value = in.U8() != 0;
      break;
    case 4:
      v.string_value = in.String();
      break;
    default:
      break;
  }
  return v;
}

void WriteVariable(BinaryWriter& out, const ProjectVariable& v) {
  out.U8(v.type);
  out.String(v.name);
  switch (v.type) {
    case 1:
      out.I32(v.int_value);
      break;
    case 2:
      out.Float80(v.float_value);
      break;
    case 3:
      out.U8(v.bool_value ? 1 : 0);
      break;
    case 4:
      out.String(v.string_value);
      break;
    default:
      break;
  }
}

}  // namespace

TProjectSetting::TProjectSetting()
    : title(Jp("情報")),
      media_extensions("wav.wma.ogg"),
      disc_change_message(Jp("ディスク%dを入れてから[OK]をクリックしてください")),
      exit_message(Jp("終了します")) {}

TProjectSetting TProjectSetting::Parse(std::span<const uint8_t> data) {
  BinaryReader in(data);
  TProjectSetting s;
  s.version = in.I32();
  if (s.version > kNewestProjectVersion) {
    throw NovuError::FromUtf8("このバージョンには対応していません");
  }
  s.title = in.String();
  s.screen_width = in.I32();
  s.screen_height = in.I32();
  s.fullscreen_width = in.I32();
  s.fullscreen_height = in.I32();
  s.start_page = in.String();
  s.exit_page = s.version >= 110 ? in.String() : std::string();
  s.registry_key = in.String();
  s.image_option = in.I32();
  s.store_status = s.version >= 104 ? in.U8() != 0 : true;
  s.frame_sleep = s.version >= 106 ? in.U8() != 0 : true;
  s.media_extensions = s.version >= 109 ? in.String() : std::string(".wav.wma.ogg.mid");
  s.pause_when_inactive = s.version >= 113 ? in.U8() != 0 : false;
  s.reserved = s.version >= 114 ? in.U8() : 0;
  s.disc_change_message = in.String();
  s.exit_message = in.String();
  size_t variable_count = in.Count(kMinVariableRecord);
  s.variables.reserve(variable_count);
  for (size_t i = 0; i < variable_count; ++i) s.variables.push_back(ReadVariable(in));
  size_t folder_count = in.Count(kMinFolderDisc);
  s.folder_discs.reserve(folder_count);
  for (size_t i = 0; i < folder_count; ++i) {
    FolderDisc entry;
    entry.folder = in.String();
    entry.disc = in.I32();
    s.folder_discs.push_back(std::move(entry));
  }
  return s;
}

std::vector<uint8_t> TProjectSetting::Serialize() const {
  BinaryWriter out;
  out.I32(version);
  out.String(title);
  out.I32(screen_width);
  out.I32(screen_height);
  out.I32(fullscreen_width);
  out.I32(fullscreen_height);
  out.String(start_page);
  if (version >= 110) out.String(exit_page);
  out.String(registry_key);
  out.I32(image_option);
  if (version >= 104) out.U8(store_status ? 1 : 0);
  if (version >= 106) out.U8(frame_sleep ? 1 : 0);
  if (version >= 109) out.String(media_extensions);
  if (version >= 113) out.U8(pause_when_inactive ? 1 : 0);
  if (version >= 114) out.U8(reserved);
  out.String(disc_change_message);
  out.String(exit_message);
  out.I32(static_cast<int32_t>(variables.size()));
  for (const ProjectVariable& v : variables) WriteVariable(out, v);
  out.I32(static_cast<int32_t>(folder_discs.size()));
  for (const FolderDisc& f : folder_discs) {
    out.String(f.folder);
    out.I32(f.disc);
  }
  return out.Take();
}

}  // namespace novu
