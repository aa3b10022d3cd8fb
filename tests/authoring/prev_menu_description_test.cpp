#include "authoring/prev_menu_description.h"

#include <gtest/gtest.h>

#include <string>

#include "controls/cont_sel_list.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"

namespace novu {
namespace {

// Every field distinct, so a field read into the wrong place shows.
TContSelButton FullItem(int n) {
  TContSelButton b;
  b.x = 10 + n;
  b.y = 20 + n;
  b.capture_mask = 1;
  b.overlay_x = -3 - n;
  b.overlay_y = 4 + n;
  b.group = -2 + n;
  int k = 0;
  for (std::string* name : b.Names()) *name = "f" + std::to_string(n) + "_" + std::to_string(k++);
  b.name = "Button0" + std::to_string(n);
  return b;
}

// What a file of `version` keeps of `full`: the fields it has no room for stay empty.
TContSelButton KeptBy(int32_t version, TContSelButton b) {
  if (version <= 100) b.disabled.clear();
  if (version <= 101) b.disabled_hover_in_overlay.clear(), b.disabled_hover_out_overlay.clear();
  if (version <= 102) b.disabled_hover_in.clear(), b.disabled_hover_out.clear();
  if (version <= 103) {
    b.checked.clear(), b.checked_hover_in.clear(), b.checked_hover_out.clear();
    b.checked_hover_in_overlay.clear(), b.checked_hover_out_overlay.clear();
    b.group = 0;
  }
  if (version <= 104) b.checked_click_overlay.clear();
  if (version <= 105) b.unchecked_click_overlay.clear();
  return b;
}

std::string Bytes(const TContSelList& menu) {
  BinaryWriter out;
  menu.Write(out);
  return out.TakeString();
}

TContSelList ReadBack(const std::string& bytes, std::string_view folder = {}) {
  BinaryReader in(bytes);
  TContSelList menu = TContSelList::Read(in, folder);
  EXPECT_TRUE(in.AtEnd());
  return menu;
}

TEST(PrevMenuFile, EveryVersionReadsBackFieldByFieldThroughItsDescription) {
  for (int32_t version = 100; version <= 106; ++version) {
    SCOPED_TRACE(version);
    TContSelList full;
    full.version = version;
    full.width = 320;
    full.height = 240;
    full.items = {KeptBy(version, FullItem(0)), KeptBy(version, FullItem(1))};

    // The description written for the file builds the same file again.
    const std::string text = PrintPrevMenuDescription(full);
    const TContSelList parsed = ParsePrevMenuDescription(text);
    const std::string bytes = Bytes(parsed);
    EXPECT_EQ(bytes.substr(0, 15), "NovuPrevMenu" + std::to_string(version));
    const TContSelList back = ReadBack(bytes);
    EXPECT_EQ(back.version, version);
    EXPECT_EQ(back.width, 320);
    EXPECT_EQ(back.height, 240);
    ASSERT_EQ(back.items.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
      const TContSelButton& want = full.items[i];
      const TContSelButton& got = back.items[i];
      EXPECT_EQ(got.x, want.x);
      EXPECT_EQ(got.y, want.y);
      EXPECT_EQ(got.capture_mask, want.capture_mask);
      EXPECT_EQ(got.overlay_x, want.overlay_x);
      EXPECT_EQ(got.overlay_y, want.overlay_y);
      EXPECT_EQ(got.group, want.group);
      const auto want_names = want.Names();
      const auto got_names = got.Names();
      for (size_t k = 0; k < want_names.size(); ++k) EXPECT_EQ(*got_names[k], *want_names[k]) << k;
      EXPECT_EQ(got.name, want.name);
    }
  }
}

TEST(PrevMenuFile, OtherSignaturesAndVersionsAreRefusedWithTheirMessages) {
  TContSelList menu;
  menu.items = {FullItem(0)};
  const std::string good = Bytes(menu);
  const std::string wrong_format = Jp("NovuPreviewMenu:このファイル形式には対応していません");
  const std::string wrong_version =
      Jp("NovuPreviewMenu:このバージョンのファイル形式には対応していません");
  const struct {
    std::string bytes;
    const std::string& message;
  } cases[] = {
      {"NovuPrevMenu099" + good.substr(15), wrong_version},
      {"NovuPrevMenu107" + good.substr(15), wrong_version},
      {"NovuPrevMenu1a6" + good.substr(15), wrong_version},
      {"NovuPrevMenu10", wrong_version},
      {"NovuPrevMenX106" + good.substr(15), wrong_format},
      {"Novu", wrong_format},
  };
  for (const auto& c : cases) {
    BinaryReader in(c.bytes);
    try {
      TContSelList::Read(in);
      ADD_FAILURE() << c.bytes.substr(0, 15) << " was read";
    } catch (const NovuError& e) {
      EXPECT_EQ(e.message(), c.message) << c.bytes.substr(0, 15);
    }
  }
}

TEST(PrevMenuFile, CountsAndStringsBeyondTheDataAreRefused) {
  TContSelList menu;
  menu.items = {FullItem(0)};
  const std::string good = Bytes(menu);
  std::string huge_count = good;
  huge_count[26] = '\x7f';  // the item count's top byte
  std::string negative_count = good;
  negative_count[26] = '\xff';
  std::string long_name = good;
  long_name[38] = '\x40';  // the normal picture's length, now beyond the file
  for (const std::string& bytes : {huge_count, negative_count, long_name, good.substr(0, 60)}) {
    BinaryReader in(bytes);
    EXPECT_THROW(TContSelList::Read(in), NovuError);
  }
}

TEST(PrevMenuFile, RelativeNamesAreJoinedToTheMenuFolder) {
  const struct {
    std::string folder, stored, resolved;
  } cases[] = {
      {"menu\\main", "a.fip", "menu\\main\\a.fip"},
      {"menu\\main", "..\\a.fip", "menu\\a.fip"},
      {"menu\\main", "..\\..\\a.fip", "a.fip"},
      {"menu\\main", "..\\..\\..\\a.fip", "..\\a.fip"},  // no folder left to take off
      {"menu", "\\top\\a.fip", "\\top\\a.fip"},
      {"menu", "C:\\a.fip", "C:\\a.fip"},
      {"menu", "a", "a"},  // a single character stays as stored
      {"menu", "", ""},
      {"", "a.fip", "a.fip"},
      // A trail byte 0x5C inside a double-byte character is not a separator.
      {"\x95\x5C", "a.fip", "\x95\x5C\\a.fip"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveMenuPath(c.folder, c.stored), c.resolved) << c.folder << " " << c.stored;
  }
  EXPECT_EQ(FolderOf("menu\\main\\m.npm"), "menu\\main");
  EXPECT_EQ(FolderOf("m.npm"), "");

  TContSelList menu;
  menu.items = {FullItem(0)};
  const TContSelList read = ReadBack(Bytes(menu), "menu");
  EXPECT_EQ(read.items[0].normal, "menu\\" + menu.items[0].normal);
  EXPECT_EQ(read.items[0].cursor, "menu\\" + menu.items[0].cursor);
  EXPECT_EQ(read.items[0].name, menu.items[0].name);  // the item name is no path
}

TEST(PrevMenuDescription, RefusesFieldsTheVersionCannotHold) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"version 103\nitem\ngroup 1\n", "line 3: 'group' needs a version above 103"},
      {"version 100\nitem\ndisabled \"d.fip\"\n", "line 3: 'disabled' needs a version above 100"},
      {"normal \"a.fip\"\n", "line 1: 'normal' before any item"},
      {"version 107\n", "line 1: versions are 100 to 106"},
      {"item\ncolour 3\n", "line 2: unknown field 'colour'"},
  };
  for (const auto& c : cases) {
    try {
      ParsePrevMenuDescription(c.text);
      ADD_FAILURE() << c.text;
    } catch (const NovuError& e) {
      EXPECT_NE(e.Utf8Message().find(c.error), std::string::npos) << e.Utf8Message();
    }
  }
}

}  // namespace
}  // namespace novu
