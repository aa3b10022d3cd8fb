#pragma once
// The project file novu.npb: title, screen sizes, start and exit pages, options, the
// project-defined variables and the folder-disc list, with the version gates of each field.
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace novu {

// Newest project-file version this player reads.
inline constexpr int32_t kNewestProjectVersion = 114;

// One project-defined variable: its type code (1 integer, 2 float, 3 boolean, 4 string; any
// other code carries no initial value), its name and its initial value.
struct ProjectVariable {
  uint8_t type = 0;
  std::string name;
  int32_t int_value = 0;
  long double float_value = 0;
  bool bool_value = false;
  std::string string_value;

  bool operator==(const ProjectVariable&) const = default;
};

struct FolderDisc {
  std::string folder;
  int32_t disc = 0;  // 1-based

  bool operator==(const FolderDisc&) const = default;
};

class TProjectSetting {
 public:
  // Values before a project file is read.
  TProjectSetting();

  // Parses a whole project file. A version above kNewestProjectVersion raises
  // "このバージョンには対応していません"; truncated or malformed data raises NovuError.
  static TProjectSetting Parse(std::span<const uint8_t> data);
  // The file for this setting, written at `version` (fields newer than it are left out).
  std::vector<uint8_t> Serialize() const;

  int32_t version = kNewestProjectVersion;
  std::string title;
  int32_t screen_width = 0;
  int32_t screen_height = 0;
  int32_t fullscreen_width = 0;
  int32_t fullscreen_height = 0;
  std::string start_page;
  std::string exit_page;  // version >= 110
  std::string registry_key;
  int32_t image_option = 0;
  bool store_status = true;          // version >= 104
  bool frame_sleep = true;           // version >= 106; no effect
  std::string media_extensions;      // version >= 109, dot-separated and dot-led
  bool pause_when_inactive = false;  // version >= 113
  uint8_t reserved = 0;              // version >= 114
  std::string disc_change_message;   // "%d" is the disc number
  std::string exit_message;
  std::vector<ProjectVariable> variables;
  std::vector<FolderDisc> folder_discs;
};

}  // namespace novu
