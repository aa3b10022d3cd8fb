#pragma once
// The preview-menu file the editor writes: a menu of picture items, each with the pictures and
// overlay animations it shows when hovered, clicked, disabled or checked, and its group.
//   "NovuPrevMenu", three version digits (100-106), width and height, the item count, then
//   one record per item; every field after the first version came in with a later one.
// TContSelList holds a file's content; Read/Write are its one reader and writer.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace novu {

class BinaryReader;
class BinaryWriter;

inline constexpr std::string_view kPrevMenuSignature = "NovuPrevMenu";
inline constexpr int32_t kPrevMenuOldestVersion = 100;
inline constexpr int32_t kPrevMenuNewestVersion = 106;

struct TContSelButton {
  int32_t x = 0, y = 0;
  std::string normal;
  uint8_t capture_mask = 0;
  std::string name;
  std::string hover_in, hover_out, click;
  std::string disabled;                               // version > 100
  std::string disabled_hover_in, disabled_hover_out;  // version > 102
  std::string hover_in_overlay, hover_out_overlay, click_overlay;
  std::string disabled_hover_in_overlay, disabled_hover_out_overlay;  // version > 101
  int32_t overlay_x = 0, overlay_y = 0;
  std::string cursor;
  // version > 103
  std::string checked, checked_hover_in, checked_hover_out;
  std::string checked_hover_in_overlay, checked_hover_out_overlay;
  int32_t group = 0;
  std::string checked_click_overlay;    // version > 104
  std::string unchecked_click_overlay;  // version > 105

  // Every picture, cursor and overlay name of the record, in file order.
  std::vector<std::string*> Names();
  std::vector<const std::string*> Names() const;
  friend bool operator==(const TContSelButton&, const TContSelButton&) = default;
};

struct TContSelList {
  int32_t version = kPrevMenuNewestVersion;
  int32_t width = 0, height = 0;
  std::vector<TContSelButton> items;

  // Reads a whole file. Relative picture and cursor names are resolved against `folder` (the
  // folder of the menu file; empty keeps them as stored). A wrong signature, a version outside
  // 100-106 or a truncated or inconsistent file throws NovuError.
  static TContSelList Read(BinaryReader& in, std::string_view folder = {});
  // Writes the file in `version`'s layout (fields newer than it are left out).
  void Write(BinaryWriter& out) const;
  friend bool operator==(const TContSelList&, const TContSelList&) = default;
};

// A name stored in a menu file, as the game's file system finds it: a name of at least two
// characters that neither starts with '\' nor has ':' second is relative to `folder`, each
// leading "..\" taking one folder off while there are folders left.
std::string ResolveMenuPath(std::string_view folder, std::string_view name);
// The folder part of a file name ("menus\a.npm" -> "menus"; none -> "").
std::string_view FolderOf(std::string_view file_name);

}  // namespace novu
