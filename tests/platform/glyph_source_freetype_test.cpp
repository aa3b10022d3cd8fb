// Glyphs from the installed Japanese fonts (fonts-ipafont-gothic and -mincho); the tests that
// need them are skipped where they are missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "platform/font_lookup.h"
#include "platform/glyph_source.h"
#include "platform/text_encoding.h"

namespace novu::platform {
namespace {

namespace fs = std::filesystem;

constexpr uint16_t kHiraganaA = 0x82A0;   // あ
constexpr uint16_t kKanjiKan = 0x8ABF;    // 漢
constexpr uint16_t kKatakanaKa = 0x834A;  // カ

std::string Cp932(std::string_view utf8) {
  return Utf8ToCp932(utf8);
}

bool IpaFontsInstalled() {
  return FindFontByFamily("IPAGothic") && FindFontByFamily("IPAMincho") &&
         FindFontByFamily("IPAPGothic") && FindFontByFamily("IPAPMincho");
}

bool FileHasFamily(const FontFile& file, std::string_view family) {
  for (const NamedFace& face : FacesInFile(file.path)) {
    if (face.file.face_index != file.face_index) continue;
    for (const std::string& f : face.families) {
      if (f == family) return true;
    }
  }
  return false;
}

TEST(FontNames, WindowsFacesMapToTheirJapaneseStandIns) {
  struct Case {
    const char* name;
    const char* family;
  };
  const Case cases[] = {
      {"ＭＳ ゴシック", "IPAGothic"},
      {"ＭＳ Ｐゴシック", "IPAPGothic"},
      {"ＭＳ 明朝", "IPAMincho"},
      {"ＭＳ Ｐ明朝", "IPAPMincho"},
      {"MS Gothic", "IPAGothic"},
      {"MS PMincho", "IPAPMincho"},
      {"ＭＳ ＵＩ ゴシック", "IPAPGothic"},
      {"MS UI Gothic", "IPAPGothic"},
      {"メイリオ", "IPAPGothic"},
      {"Times New Roman", "IPAPMincho"},
      {"Arial", "IPAPGothic"},
      {"HG丸ｺﾞｼｯｸM-PRO", "IPAPGothic"},
      {"no such face", "IPAGothic"},
      {"", "IPAGothic"},
  };
  for (const Case& c : cases) EXPECT_EQ(StandInFamily(c.name), c.family) << c.name;
  EXPECT_EQ(FoldFaceName("ＭＳ　Ｐゴシック"), "mspゴシック");
  EXPECT_EQ(FoldFaceName("IPA P明朝"), "ipap明朝");
}

TEST(FontNames, GameNamesResolveToTheInstalledOrTheGamesOwnFaces) {
  if (!IpaFontsInstalled()) GTEST_SKIP() << "IPA fonts not installed";
  struct Case {
    const char* name;
    const char* family;
  };
  const Case installed[] = {
      {"ＭＳ ゴシック", "IPAGothic"},
      {"ＭＳ Ｐ明朝", "IPAPMincho"},
      {"no such face", "IPAGothic"},
  };
  for (const Case& c : installed) {
    const auto file = ResolveGameFont(Cp932(c.name), {});
    ASSERT_TRUE(file.has_value()) << c.name;
    EXPECT_TRUE(FileHasFamily(*file, c.family)) << c.name << " -> " << file->path;
  }

  // A game that ships its own copy of a face: names matching it use the game's file.
  const fs::path folder =
      fs::path(testing::TempDir()) / ("game_fonts_" + std::to_string(std::random_device{}()));
  fs::create_directories(folder);
  const auto mincho = FindFontByFamily("IPAMincho");
  ASSERT_TRUE(mincho.has_value());
  fs::copy_file(mincho->path, folder / "Story.TTF");
  const std::vector<NamedFace> game_faces = FacesInFolder(folder);
  ASSERT_EQ(game_faces.size(), 1u);
  for (const char* name : {"IPA明朝", "ipamincho", "ＩＰＡ明朝"}) {
    const auto file = ResolveGameFont(Cp932(name), game_faces);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(fs::path(file->path), folder / "Story.TTF") << name;
  }
  const auto other = ResolveGameFont(Cp932("ＭＳ 明朝"), game_faces);
  ASSERT_TRUE(other.has_value());
  EXPECT_NE(fs::path(other->path), folder / "Story.TTF");
  EXPECT_TRUE(FacesInFolder(folder / "missing").empty());
  fs::remove_all(folder);
}

struct Ink {
  int count = 0;
  int highest = 0;
};

Ink InkOf(const GlyphOutline& outline) {
  Ink ink;
  for (uint8_t g : outline.grey) {
    ink.count += g != 0;
    ink.highest = std::max<int>(ink.highest, g);
  }
  return ink;
}

TEST(FreeTypeGlyphs, KanaAndKanjiHaveInkInsideTheirCells) {
  if (!IpaFontsInstalled()) GTEST_SKIP() << "IPA fonts not installed";
  auto source = MakeFreeTypeGlyphSource();
  for (const char* face : {"ＭＳ ゴシック", "ＭＳ Ｐ明朝"}) {
    for (int height : {12, 24, 40}) {
      const FontRequest font{Cp932(face), height, 0};
      const auto metrics = source->Metrics(font);
      ASSERT_TRUE(metrics.has_value());
      EXPECT_EQ(metrics->ascent + metrics->descent, height) << "a positive height is the cell";
      for (uint16_t code : {kHiraganaA, kKanjiKan, kKatakanaKa}) {
        for (int level = 0; level <= 3; ++level) {
          SCOPED_TRACE(testing::Message()
                       << face << " " << height << " code " << code << " level " << level);
          const auto outline = source->Outline(font, code, level);
          ASSERT_TRUE(outline.has_value());
          ASSERT_GT(outline->width, 0);
          ASSERT_EQ(outline->grey.size(), static_cast<size_t>(outline->width) * outline->height);
          const Ink ink = InkOf(*outline);
          EXPECT_GT(ink.count, outline->width * outline->height / 8);
          EXPECT_GT(ink.highest, MaxGrey(level) / 2);
          EXPECT_LE(ink.highest, MaxGrey(level));
          // The black box lies in the cell: within the advance and between ascent and descent.
          EXPECT_GE(outline->origin_x, 0);
          EXPECT_LE(outline->origin_x + outline->width, outline->advance + 1);
          EXPECT_LE(outline->origin_y, metrics->ascent);
          EXPECT_GE(outline->origin_y - outline->height, -metrics->descent - 1);
          EXPECT_LE(outline->advance, height);
        }
      }
    }
  }
}

TEST(FreeTypeGlyphs, GreyLevelsHaveTheirStepsAndOneBitHasNone) {
  if (!IpaFontsInstalled()) GTEST_SKIP() << "IPA fonts not installed";
  auto source = MakeFreeTypeGlyphSource();
  const FontRequest font{Cp932("ＭＳ 明朝"), 32, 0};
  for (int level = 0; level <= 3; ++level) {
    SCOPED_TRACE(testing::Message() << "level " << level);
    const auto outline = source->Outline(font, kKanjiKan, level);
    ASSERT_TRUE(outline.has_value());
    int partial = 0;
    for (uint8_t g : outline->grey) {
      ASSERT_LE(g, MaxGrey(level));
      partial += g != 0 && g != MaxGrey(level);
    }
    if (level == 0) {
      EXPECT_EQ(partial, 0);
    } else {
      EXPECT_GT(partial, 0) << "anti-aliased edges";
    }
  }
}

TEST(FreeTypeGlyphs, StylesSizesAndBlanks) {
  if (!IpaFontsInstalled()) GTEST_SKIP() << "IPA fonts not installed";
  auto source = MakeFreeTypeGlyphSource();
  const std::string gothic = Cp932("ＭＳ ゴシック");
  const auto plain = source->Outline({gothic, 24, 0}, kKanjiKan, 3);
  const auto bold = source->Outline({gothic, 24, kFontBold}, kKanjiKan, 3);
  const auto italic = source->Outline({gothic, 24, kFontItalic}, 'l', 3);
  const auto upright = source->Outline({gothic, 24, 0}, 'l', 3);
  ASSERT_TRUE(plain && bold && italic && upright);
  EXPECT_GE(bold->width, plain->width + 1);
  EXPECT_EQ(bold->advance, plain->advance + 1);
  EXPECT_GT(InkOf(*bold).count, InkOf(*plain).count);
  EXPECT_GT(italic->width, upright->width) << "slanted";

  // A negative height is the em: the cell is taller than 24.
  const auto em = source->Metrics({gothic, -24, 0});
  ASSERT_TRUE(em.has_value());
  EXPECT_GT(em->ascent + em->descent, 24);
  // Fixed-pitch gothic: a full-width character advances twice a half-width one.
  EXPECT_EQ(source->TextWidth({gothic, 24, 0}, kHiraganaA),
            2 * source->TextWidth({gothic, 24, 0}, 'a'));

  for (uint16_t blank : {uint16_t{0x20}, uint16_t{0x8140}}) {
    const auto space = source->Outline({gothic, 24, 0}, blank, 3);
    ASSERT_TRUE(space.has_value());
    EXPECT_EQ(space->width, 0);
    EXPECT_TRUE(space->grey.empty());
    EXPECT_GT(source->TextWidth({gothic, 24, 0}, blank), 0);
  }
  const AbcWidths abc = source->Abc({gothic, 24, 0}, 'i');
  EXPECT_EQ(abc.a + abc.b + abc.c, source->TextWidth({gothic, 24, 0}, 'i'));
  EXPECT_GT(abc.a, 0) << "a narrow letter has room on its left";

  // Sizes from broken styles are clamped rather than refused or allocated without bound.
  for (int height : {0, 1, 100000, -100000}) {
    const auto metrics = source->Metrics({gothic, height, 0});
    ASSERT_TRUE(metrics.has_value()) << height;
    EXPECT_LE(metrics->ascent + metrics->descent, 1024) << height;
    EXPECT_TRUE(source->Outline({gothic, height, 0}, kHiraganaA, 3).has_value()) << height;
  }
}

}  // namespace
}  // namespace novu::platform
