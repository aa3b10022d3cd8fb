#include <gtest/gtest.h>

#include <algorithm>

#include "platform/font_face.h"
#include "platform/font_lookup.h"

namespace novu::platform {
namespace {

int InkColumns(const TextBitmap& bitmap) {
  int columns = 0;
  for (int x = 0; x < bitmap.width; ++x) {
    for (int y = 0; y < bitmap.height; ++y) {
      if (bitmap.coverage[static_cast<size_t>(y) * bitmap.width + x] != 0) {
        ++columns;
        break;
      }
    }
  }
  return columns;
}

std::unique_ptr<FontFace> OpenJapaneseFont() {
  std::optional<FontFile> file = FindFontForLanguage("ja");
  return file ? FontFace::Open(*file) : nullptr;
}

TEST(FontLookup, RefusesALanguageNoFontCovers) {
  // Klingon has a language tag fontconfig knows but no installed font covers.
  EXPECT_FALSE(FindFontForLanguage("tlh").has_value());
}

TEST(FontFace, RendersJapaneseText) {
  std::unique_ptr<FontFace> font = OpenJapaneseFont();
  if (!font) GTEST_SKIP() << "no Japanese font installed";
  TextBitmap two = font->RenderLine("終了", 12);
  TextBitmap four = font->RenderLine("画面切替", 12);
  // Full-width characters: about one em each.
  EXPECT_GE(two.width, 22);
  EXPECT_LE(two.width, 26);
  EXPECT_GE(four.width, 44);
  EXPECT_LE(four.width, 52);
  EXPECT_GE(two.height, 12);
  EXPECT_EQ(two.coverage.size(), static_cast<size_t>(two.width) * two.height);
  EXPECT_GT(InkColumns(four), four.width / 2);
  EXPECT_TRUE(std::any_of(two.coverage.begin(), two.coverage.end(), [](uint8_t c) {
    return c > 0 && c < 255;
  })) << "anti-aliased edges expected";
  TextBitmap big = font->RenderLine("終了", 24);
  EXPECT_GE(big.width, 2 * two.width - 2);
}

TEST(FontFace, SurvivesBrokenTextAndOddSizes) {
  std::unique_ptr<FontFace> font = OpenJapaneseFont();
  if (!font) GTEST_SKIP() << "no Japanese font installed";
  struct Case {
    std::string text;
    int size;
  };
  const Case cases[] = {
      {"\xE7\xB5", 12},          // cut-off sequence
      {"\xFF\x80\xC0", 12},      // bytes that never start a character
      {"\xF4\x90\x80\x80", 12},  // beyond U+10FFFF
      {"A", 0},                  // clamped up to one pixel
      {"A", 100000},             // clamped down
  };
  for (const Case& c : cases) {
    TextBitmap bitmap = font->RenderLine(c.text, c.size);
    EXPECT_EQ(bitmap.coverage.size(), static_cast<size_t>(bitmap.width) * bitmap.height);
  }
  EXPECT_EQ(font->RenderLine("", 12).width, 0);
  // Each invalid byte becomes one replacement character, so broken text still takes room.
  EXPECT_GT(font->RenderLine("\xFF\xFF", 12).width, 0);
}

TEST(FontFace, RefusesALineTooLargeToAllocate) {
  std::unique_ptr<FontFace> font = OpenJapaneseFont();
  if (!font) GTEST_SKIP() << "no Japanese font installed";
  std::string long_line;
  for (int i = 0; i < 1000; ++i) long_line += "終了";  // about 512000 x 256 pixels at 256 px
  TextBitmap bitmap = font->RenderLine(long_line, 256);
  EXPECT_EQ(bitmap.width, 0);
  EXPECT_TRUE(bitmap.coverage.empty());
  EXPECT_GT(font->RenderLine(long_line, 8).width, 0);  // the same text small enough is drawn
}

TEST(FontFace, OpeningAMissingOrInvalidFileGivesNothing) {
  EXPECT_EQ(FontFace::Open({"/nonexistent/font.ttf", 0}), nullptr);
  EXPECT_EQ(FontFace::Open({NOVU_SOURCE_DIR "/CMakeLists.txt", 0}), nullptr);
}

}  // namespace
}  // namespace novu::platform
