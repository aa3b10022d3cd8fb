// A page of Japanese markup drawn with the glyph cache over the installed IPA fonts, as
// `novutool text render` draws it: every character's cell has ink and nothing lies outside the
// page.
#include "text/text_preview.h"

#include <gtest/gtest.h>

#include "platform/font_lookup.h"
#include "platform/text_encoding.h"
#include "text/font_pixel_painter.h"

namespace novu::text {
namespace {

constexpr int32_t kBackground = 0x402020;

bool IsBlank(uint16_t code) {
  return code == 0x20 || code == 0x8140;
}

int InkIn(const render::TDIBX& picture, const Rect& area) {
  const auto background = static_cast<uint32_t>(picture.ColorToPixel(kBackground));
  const Rect r = Intersect(area, Rect{0, 0, picture.Width(), picture.Height()});
  int ink = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) ink += picture.GetPixel(x, y) != background;
  }
  return ink;
}

TEST(TextPreview, JapanesePageHasInkInEveryCellAndNoneOutsideThePage) {
  if (!platform::FindFontByFamily("IPAGothic") || !platform::FindFontByFamily("IPAMincho")) {
    GTEST_SKIP() << "IPA fonts not installed";
  }
  struct Case {
    const char* name;
    int level;
    int visible_height;
  };
  const Case cases[] = {{"grey, whole page", 3, 0}, {"one bit, first page of two", 0, 60}};
  const std::vector<std::string> lines = {
      platform::Utf8ToCp932("<FONT SIZE=24>吾輩は<B>猫</B>である。<RUBY VALUE=\"なまえ\">名前"
                            "</RUBY>はまだ無い。<BR>"),
      platform::Utf8ToCp932("<FONT BORDER=2 BCOLOR=#000080>どこで生れたか</FONT>"
                            "<FONT SHADOW=2 SCOLOR=#000000 NAME=\"ＭＳ 明朝\">とんと見当がつかぬ。"
                            "</FONT><U>下線</U>と<S>取消線</S>、<I>italic</I> text.</FONT>"),
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TFontPixelManager cache(platform::MakeFreeTypeGlyphSource());
    FontPixelPainter painter(cache);
    TextPreview preview;
    preview.word.settings.colour = 0xFFFFFF;
    preview.word.settings.wrap_width = 400;
    preview.word.settings.visible_height = c.visible_height;
    preview.word.settings.anti_alias = c.level;
    TextPreviewOptions options;
    options.background = kBackground;
    options.margin = 10;
    preview.Render(lines, painter, options);
    ASSERT_NE(preview.shown_page(), nullptr);
    if (c.visible_height) {
      EXPECT_GT(preview.pages.size(), 1u);
    } else {
      EXPECT_EQ(preview.pages.size(), 1u);
    }
    const Rect page = preview.PageRect();
    ASSERT_EQ(page, MakeRect(10, 10, 400, c.visible_height ? 60 : preview.shown_page()->height));

    int characters = 0, ruby_characters = 0;
    for (const auto& row : preview.shown_page()->rows) {
      for (const TWdGlyph* g : row->glyphs) {
        if (g->kind() != GlyphKind::kChar) continue;
        const auto& ch = static_cast<const TWdChar&>(*g);
        if (IsBlank(ch.code())) continue;
        const Rect cell =
            MakeRect(page.left + row->x + g->x, page.top + row->y + g->y, g->width, g->height);
        if (cell.bottom > page.bottom) continue;  // cut by the visible height
        ++characters;
        // Kana and kanji fill a good part of their cell; punctuation and Latin letters less.
        const int least = ch.code() >= 0x829F ? g->width * g->height / 20 : 1;
        EXPECT_GE(InkIn(preview.picture, cell), least)
            << "character " << ch.code() << " at " << cell.left << "," << cell.top;
        if (!ch.style().ruby.empty()) {
          ++ruby_characters;
          const Rect band{cell.left, cell.top, cell.right, cell.top + RubyBandHeight(24)};
          EXPECT_GT(InkIn(preview.picture, band), 0) << "ruby over " << ch.code();
        }
      }
    }
    EXPECT_GT(characters, 15);
    EXPECT_EQ(ruby_characters, 2);

    const int width = preview.picture.Width(), height = preview.picture.Height();
    EXPECT_EQ(InkIn(preview.picture, Rect{0, 0, width, page.top}), 0);
    EXPECT_EQ(InkIn(preview.picture, Rect{0, page.bottom, width, height}), 0);
    EXPECT_EQ(InkIn(preview.picture, Rect{0, 0, page.left, height}), 0);
    EXPECT_EQ(InkIn(preview.picture, Rect{page.right, 0, width, height}), 0);
  }
}

}  // namespace
}  // namespace novu::text
