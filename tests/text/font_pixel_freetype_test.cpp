// The glyph cache over FreeType and the installed IPA fonts (skipped where they are missing).
#include <gtest/gtest.h>

#include "platform/font_lookup.h"
#include "platform/text_encoding.h"
#include "render/dibx.h"
#include "text/font_pixel.h"

namespace novu::text {
namespace {

TEST(FontPixelFreeType, DrawsKanaAndKanjiInsideTheirCells) {
  if (!platform::FindFontByFamily("IPAGothic") || !platform::FindFontByFamily("IPAMincho")) {
    GTEST_SKIP() << "IPA fonts not installed";
  }
  TFontPixelManager cache(platform::MakeFreeTypeGlyphSource());
  struct Case {
    const char* character;
    const char* face;
    int flags, level, border, shadow;
  };
  const Case cases[] = {
      {"あ", "ＭＳ ゴシック", 0, 3, 0, 0},
      {"漢", "ＭＳ 明朝", kStyleBold, 2, 0, 0},
      {"ル", "ＭＳ Ｐゴシック", kStyleItalic, 1, 2, 0},
      {"字", "ＭＳ ゴシック", kStyleUnderline | kStyleStrikeOut, 0, 1, 2},
      {"A", "ＭＳ Ｐ明朝", 0, 3, 0, 2},
  };
  constexpr int kSize = 24;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.character);
    const std::string bytes = platform::Utf8ToCp932(c.character);
    const uint16_t code = bytes.size() == 2
                              ? static_cast<uint16_t>(static_cast<uint8_t>(bytes[0]) << 8 |
                                                      static_cast<uint8_t>(bytes[1]))
                              : static_cast<uint8_t>(bytes[0]);
    cache.SetLevel(c.level);
    const auto pixel = cache.Get(code, platform::Utf8ToCp932(c.face), c.flags, kSize);
    ASSERT_TRUE(pixel->HasBitmap());
    EXPECT_EQ(pixel->level, c.level);

    render::TDIBX colour, coverage;
    colour.SetSize(80, 80, 32);
    coverage.SetSize(80, 80, 8);
    const int cell_size = kSize + 2 * c.border + c.shadow;
    GlyphDrawSpec draw;
    draw.cell = MakeRect(20, 20, cell_size, cell_size);
    draw.text_colour = 0xFFFFFF;
    draw.border_colour = 0x202020;
    draw.shadow_colour = 0x808080;
    draw.border_width = c.border;
    draw.shadow_offset = c.shadow;
    const Rect touched = TFontPixelManager::Draw(*pixel, colour, coverage, draw);
    ASSERT_FALSE(touched.IsEmpty());
    int ink_inside = 0, ink_outside = 0;
    for (int y = 0; y < 80; ++y) {
      for (int x = 0; x < 80; ++x) {
        if (coverage.GetPixel(x, y) == 0) continue;
        (draw.cell.Contains(x, y) ? ink_inside : ink_outside)++;
        EXPECT_TRUE(touched.Contains(x, y)) << x << "," << y;
      }
    }
    EXPECT_GT(ink_inside, kSize * kSize / 20);
    EXPECT_EQ(ink_outside, 0);
  }
}

}  // namespace
}  // namespace novu::text
