#include "authoring/prev_menu_description.h"

#include <sstream>
#include <vector>

#include "authoring/description_syntax.h"

namespace novu {
namespace {

using Line = DescriptionSyntax::Line;
const DescriptionSyntax kSyntax("preview menu description");

struct NameField {
  std::string_view key;
  std::string TContSelButton::*member;
  int32_t after;  // the field is in files of versions above this
};

constexpr int32_t kAlways = 0;

const std::vector<NameField>& NameFields() {
  using B = TContSelButton;
  static const std::vector<NameField> fields{
      {"name", &B::name, kAlways},
      {"normal", &B::normal, kAlways},
      {"hover_in", &B::hover_in, kAlways},
      {"hover_out", &B::hover_out, kAlways},
      {"click", &B::click, kAlways},
      {"disabled", &B::disabled, 100},
      {"disabled_hover_in", &B::disabled_hover_in, 102},
      {"disabled_hover_out", &B::disabled_hover_out, 102},
      {"hover_in_overlay", &B::hover_in_overlay, kAlways},
      {"hover_out_overlay", &B::hover_out_overlay, kAlways},
      {"click_overlay", &B::click_overlay, kAlways},
      {"disabled_hover_in_overlay", &B::disabled_hover_in_overlay, 101},
      {"disabled_hover_out_overlay", &B::disabled_hover_out_overlay, 101},
      {"cursor", &B::cursor, kAlways},
      {"checked", &B::checked, 103},
      {"checked_hover_in", &B::checked_hover_in, 103},
      {"checked_hover_out", &B::checked_hover_out, 103},
      {"checked_hover_in_overlay", &B::checked_hover_in_overlay, 103},
      {"checked_hover_out_overlay", &B::checked_hover_out_overlay, 103},
      {"checked_click_overlay", &B::checked_click_overlay, 104},
      {"unchecked_click_overlay", &B::unchecked_click_overlay, 105},
  };
  return fields;
}

constexpr int32_t kGroupAfter = 103;

void NeedVersion(const TContSelList& menu, const Line& line, int32_t after) {
  if (menu.version <= after) {
    kSyntax.Fail(line.number,
                 "'" + line.words[0] + "' needs a version above " + std::to_string(after));
  }
}

TContSelButton& CurrentItem(TContSelList& menu, const Line& line) {
  if (menu.items.empty()) kSyntax.Fail(line.number, "'" + line.words[0] + "' before any item");
  return menu.items.back();
}

void ParseItemField(TContSelList& menu, const Line& line) {
  const std::string& key = line.words[0];
  TContSelButton& item = CurrentItem(menu, line);
  if (key == "pos") {
    item.x = kSyntax.Int(line, 1);
    item.y = kSyntax.Int(line, 2);
  } else if (key == "overlay_pos") {
    item.overlay_x = kSyntax.Int(line, 1);
    item.overlay_y = kSyntax.Int(line, 2);
  } else if (key == "capture_mask") {
    const int32_t v = kSyntax.Int(line, 1);
    if (v < 0 || v > 255) kSyntax.Fail(line.number, "capture_mask is one byte");
    item.capture_mask = static_cast<uint8_t>(v);
  } else if (key == "group") {
    NeedVersion(menu, line, kGroupAfter);
    item.group = kSyntax.Int(line, 1);
  } else {
    for (const NameField& field : NameFields()) {
      if (key != field.key) continue;
      NeedVersion(menu, line, field.after);
      item.*field.member = kSyntax.Str(line, 1);
      return;
    }
    kSyntax.Fail(line.number, "unknown field '" + key + "'");
  }
}

}  // namespace

TContSelList ParsePrevMenuDescription(std::string_view text) {
  TContSelList menu;
  std::istringstream in{std::string(text)};
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    Line line{number, kSyntax.SplitWords(raw, number)};
    if (line.words.empty() || line.words[0].starts_with("#")) continue;
    const std::string& key = line.words[0];
    if (key == "version") {
      if (!menu.items.empty()) kSyntax.Fail(number, "the version comes before the items");
      menu.version = kSyntax.Int(line, 1);
      if (menu.version < kPrevMenuOldestVersion || menu.version > kPrevMenuNewestVersion)
        kSyntax.Fail(number, "versions are 100 to 106");
    } else if (key == "size") {
      menu.width = kSyntax.Int(line, 1);
      menu.height = kSyntax.Int(line, 2);
    } else if (key == "item") {
      menu.items.emplace_back();
    } else {
      ParseItemField(menu, line);
    }
  }
  return menu;
}

std::string PrintPrevMenuDescription(const TContSelList& menu) {
  std::ostringstream out;
  out << "version " << menu.version << "\n"
      << "size " << menu.width << " " << menu.height << "\n";
  for (const TContSelButton& item : menu.items) {
    out << "item\n"
        << "pos " << item.x << " " << item.y << "\n"
        << "capture_mask " << int{item.capture_mask} << "\n"
        << "overlay_pos " << item.overlay_x << " " << item.overlay_y << "\n";
    if (menu.version > kGroupAfter) out << "group " << item.group << "\n";
    for (const NameField& field : NameFields()) {
      const std::string& value = item.*field.member;
      if (menu.version > field.after && (!value.empty() || field.key == "name"))
        out << field.key << " " << DescriptionSyntax::Quote(value) << "\n";
    }
  }
  return out.str();
}

}  // namespace novu
