#include "engine/project_setting.h"

#include <gtest/gtest.h>

#include "authoring/project_description.h"
#include "core/binary_writer.h"
#include "platform/error.h"

namespace novu {
namespace {

// A project file written field by field at `version`, as the editor writes it.
std::vector<uint8_t> ProjectFile(int32_t version) {
  BinaryWriter w;
  w.I32(version);
  w.String("Game");
  w.I32(800);
  w.I32(600);
  w.I32(1024);
  w.I32(768);
  w.String("main.nsb");
  if (version >= 110) w.String("exit.nsb");
  w.String("RegKey");
  w.I32(7);
  if (version >= 104) w.U8(0);
  if (version >= 106) w.U8(0);
  if (version >= 109) w.String(".ogg");
  if (version >= 113) w.U8(1);
  if (version >= 114) w.U8(9);
  w.String("disc %d");
  w.String("bye");
  w.I32(4);
  w.U8(1), w.String("i"), w.I32(-5);
  w.U8(2), w.String("f"), w.Float80(2.5L);
  w.U8(3), w.String("b"), w.U8(1);
  w.U8(4), w.String("s"), w.String("text");
  w.I32(1);
  w.String("DATA\\");
  w.I32(2);
  return w.Take();
}

TEST(ProjectSetting, VersionGates) {
  struct Case {
    int32_t version;
    std::string exit_page;
    bool store_status;
    bool frame_sleep;
    std::string extensions;
    bool pause;
    uint8_t reserved;
  };
  const Case cases[] = {
      {103, "", true, true, ".wav.wma.ogg.mid", false, 0},
      {104, "", false, true, ".wav.wma.ogg.mid", false, 0},
      {108, "", false, false, ".wav.wma.ogg.mid", false, 0},
      {109, "", false, false, ".ogg", false, 0},
      {110, "exit.nsb", false, false, ".ogg", false, 0},
      {113, "exit.nsb", false, false, ".ogg", true, 0},
      {114, "exit.nsb", false, false, ".ogg", true, 9},
  };
  for (const Case& c : cases) {
    TProjectSetting s = TProjectSetting::Parse(ProjectFile(c.version));
    SCOPED_TRACE(c.version);
    EXPECT_EQ(s.title, "Game");
    EXPECT_EQ(s.screen_width, 800);
    EXPECT_EQ(s.fullscreen_height, 768);
    EXPECT_EQ(s.start_page, "main.nsb");
    EXPECT_EQ(s.exit_page, c.exit_page);
    EXPECT_EQ(s.registry_key, "RegKey");
    EXPECT_EQ(s.image_option, 7);
    EXPECT_EQ(s.store_status, c.store_status);
    EXPECT_EQ(s.frame_sleep, c.frame_sleep);
    EXPECT_EQ(s.media_extensions, c.extensions);
    EXPECT_EQ(s.pause_when_inactive, c.pause);
    EXPECT_EQ(s.reserved, c.reserved);
    EXPECT_EQ(s.disc_change_message, "disc %d");
    EXPECT_EQ(s.exit_message, "bye");
    ASSERT_EQ(s.variables.size(), 4u);
    EXPECT_EQ(s.variables[0].int_value, -5);
    EXPECT_EQ(s.variables[1].float_value, 2.5L);
    EXPECT_TRUE(s.variables[2].bool_value);
    EXPECT_EQ(s.variables[3].string_value, "text");
    ASSERT_EQ(s.folder_discs.size(), 1u);
    EXPECT_EQ(s.folder_discs[0], (FolderDisc{"DATA\\", 2}));
    EXPECT_EQ(s.Serialize(), ProjectFile(c.version)) << "writing gives the same bytes";
  }
}

TEST(ProjectSetting, DefaultsBeforeReading) {
  TProjectSetting s;
  EXPECT_EQ(s.title, Jp("情報"));
  EXPECT_EQ(s.media_extensions, "wav.wma.ogg");
  EXPECT_TRUE(s.store_status);
  EXPECT_TRUE(s.frame_sleep);
  EXPECT_FALSE(s.pause_when_inactive);
  EXPECT_EQ(s.disc_change_message, Jp("ディスク%dを入れてから[OK]をクリックしてください"));
  EXPECT_EQ(s.exit_message, Jp("終了します"));
}

TEST(ProjectSetting, TooNewIsRefused) {
  try {
    TProjectSetting::Parse(ProjectFile(115));
    FAIL();
  } catch (const NovuError& e) {
    EXPECT_EQ(e.Utf8Message(), "このバージョンには対応していません");
  }
}

TEST(ProjectSetting, DamagedFilesFailCleanly) {
  std::vector<uint8_t> good = ProjectFile(114);
  for (size_t cut : {size_t{2}, size_t{10}, good.size() / 2, good.size() - 1}) {
    std::vector<uint8_t> truncated(good.begin(), good.begin() + static_cast<long>(cut));
    EXPECT_THROW(TProjectSetting::Parse(truncated), NovuError) << cut;
  }
  TProjectSetting s;
  s.variables.clear();
  std::vector<uint8_t> bytes = s.Serialize();
  // Claim two billion variables: refused before anything is allocated.
  size_t count_at = bytes.size() - 8;
  bytes[count_at] = 0x00, bytes[count_at + 1] = 0x94, bytes[count_at + 2] = 0x35,
  bytes[count_at + 3] = 0x77;
  EXPECT_THROW(TProjectSetting::Parse(bytes), NovuError);
}

TEST(ProjectDescription, RoundTripsThroughText) {
  TProjectSetting s = TProjectSetting::Parse(ProjectFile(114));
  s.title = Jp("テスト \"引用\"\\");
  ProjectVariable opaque;
  opaque.type = 7;
  opaque.name = "opaque";
  ProjectVariable third;
  third.type = 2;
  third.name = "third";
  third.float_value = 1.0L / 3.0L;
  s.variables.push_back(opaque);
  s.variables.push_back(third);
  s.registry_key = std::string("\x80\xFF raw", 6);
  std::string text = PrintProjectDescription(s);
  TProjectSetting back = ParseProjectDescription(text);
  EXPECT_EQ(back.Serialize(), s.Serialize()) << text;
}

TEST(ProjectDescription, ErrorsNameTheLine) {
  try {
    ParseProjectDescription("version 114\nscreen 640 wide\n");
    FAIL();
  } catch (const NovuError& e) {
    EXPECT_NE(e.Utf8Message().find("line 2"), std::string::npos) << e.Utf8Message();
  }
  EXPECT_THROW(ParseProjectDescription("titel \"x\"\n"), NovuError);
  EXPECT_THROW(ParseProjectDescription("title \"open\n"), NovuError);
}

}  // namespace
}  // namespace novu
