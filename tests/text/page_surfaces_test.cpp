// Page surfaces: rendering a page once and compositing its glyphs with their own alpha.
#include <gtest/gtest.h>

#include "text/page_surfaces.h"
#include "text_fixtures.h"

namespace novu::text {
namespace {

using test::Parse;
using test::Sj;

// Paints each character as a plain box: the border colour over the whole cell, the text colour
// inside the border, full coverage. Remembers what it was asked to paint.
class BoxPainter : public GlyphPainter {
 public:
  Rect Paint(const CharacterPaint& p, render::TCustomDIBX& colour,
             render::TCustomDIBX& coverage) override {
    paints.push_back(p);
    const int b = p.border_width;
    colour.FillRect(p.cell, static_cast<uint32_t>(colour.ColorToPixel(p.border_colour)));
    colour.FillRect(Grown(p.cell, -b), static_cast<uint32_t>(colour.ColorToPixel(p.text_colour)));
    coverage.FillRect(p.cell, 255);
    return p.cell;
  }
  std::vector<CharacterPaint> paints;
};

struct Page {
  TKxWord word;
  PageList pages;
  TextPageSurfaces surfaces;
  BoxPainter painter;

  Page(const std::string& markup, int wrap, int visible) {
    word.settings.wrap_width = wrap;
    word.settings.visible_height = visible;
    Parse(word, {markup});
    LayoutGlyphs(word, pages, 0, -1);
    surfaces.Redraw(word, *pages[0], painter, false);
  }
};

TEST(TextPageSurfaces, SurfacesAreSizedToThePageAndCapped) {
  struct Case {
    int wrap;
    int visible;
    int width;
    int height;
  };
  const std::vector<Case> cases = {
      {120, 50, 120, 50},
      {120, 0, 120, 36},  // unlimited: three rows of 12
      {0, 0, 360, 12},    // no wrap: the widest row
      {10000, 20, TextPageSurfaces::kMaxWidth, 20},
  };
  std::string text;
  for (int i = 0; i < 30; ++i) text += Sj("字");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wrap);
    Page page(text, c.wrap, c.visible);
    EXPECT_EQ(page.surfaces.colour().Width(), c.width);
    EXPECT_EQ(page.surfaces.colour().Height(), c.height);
    EXPECT_EQ(page.surfaces.coverage().Width(), c.width);
    EXPECT_EQ(page.surfaces.coverage().Height(), c.height);
    EXPECT_EQ(page.surfaces.coverage().BitCount(), 8);
  }
}

TEST(TextPageSurfaces, RenderingAsksForEachCharacterWithItsStyle) {
  Page page("a<A HREF=x>b</A><FONT COLOR=#00FF00 BORDER=2 BCOLOR=#0000FF>c</FONT>" +
                Sj("<RUBY VALUE=かな>漢字</RUBY>"),
            120, 0);
  const std::vector<CharacterPaint>& p = page.painter.paints;
  ASSERT_EQ(p.size(), 7u);
  EXPECT_EQ(p[0].cell, MakeRect(0, 6, 12, 12));
  EXPECT_EQ(p[0].font_name, std::string(kDefaultTextFont));
  EXPECT_EQ(p[0].text_colour, 0);
  EXPECT_EQ(p[1].flags, FS_UNDERLINE);  // link text is underlined in the link colour
  EXPECT_EQ(p[1].text_colour, 0xFF0000);
  EXPECT_EQ(p[2].text_colour, 0x00FF00);
  EXPECT_EQ(p[2].border_colour, 0xFF0000);
  EXPECT_EQ(p[2].border_width, 2);
  EXPECT_EQ(p[2].cell, MakeRect(24, 2, 16, 16));
  EXPECT_TRUE(p[2].previous_differs);
  // Ruby over 漢字 (run 24 wide at x 40): かな centred at 6 and 18, less half of size 6.
  EXPECT_EQ(p[3].cell, MakeRect(40 + 3, 0, 6, 6));
  EXPECT_EQ(p[4].cell, MakeRect(40 + 15, 0, 6, 6));
  EXPECT_EQ(p[3].size, 6);
  EXPECT_EQ(p[5].cell, MakeRect(40, 6, 12, 12));
  EXPECT_TRUE(p[5].previous_differs);  // c before it has a border
  EXPECT_EQ(p[6].cell, MakeRect(52, 6, 12, 12));
  EXPECT_FALSE(p[6].previous_differs);
  EXPECT_TRUE(p[6].next_differs);
}

TEST(TextPageSurfaces, GlyphsAreComposedWithTheirOwnAlpha) {
  Page page("ab<FONT BORDER=1 BCOLOR=#0000FF COLOR=#FF0000>c</FONT>d", 120, 12);
  render::TDIBX target;
  target.SetSize(100, 30, 32);
  auto pixel = [&](int32_t colour) { return static_cast<uint32_t>(target.ColorToPixel(colour)); };
  const std::vector<std::pair<int, int>> alphas = {{0, 255}, {1, 0}, {2, 255}, {3, 128}};
  for (auto [index, alpha] : alphas) {
    static_cast<TWdReal*>(page.word.Item(index))->SetAlpha(alpha);
  }
  target.Clear(pixel(0xFFFFFF));
  page.surfaces.Draw(page.word, *page.pages[0], target, 10, 5, {0, 0, 100, 30});
  struct Case {
    int x;
    int y;
    uint32_t expected;
  };
  // The row is 14 high (c's border): a, b and d sit on its bottom line at y 2; the page shows
  // y 5 to 17 on the target.
  const std::vector<Case> cases = {
      {10, 7, pixel(0)},                                    // a: black through its coverage
      {21, 16, pixel(0)},        {10, 5, pixel(0xFFFFFF)},  // above a
      {22, 7, pixel(0xFFFFFF)},                             // b: alpha 0, nothing drawn
      {34, 5, pixel(0xFF0000)},                             // c: border from the colour surface
      {36, 8, pixel(0x0000FF)},                             // c: text colour inside the border
      {9, 7, pixel(0xFFFFFF)},                              // left of the page
      {10, 17, pixel(0xFFFFFF)},                            // below the visible height
  };
  for (const Case& c : cases) {
    EXPECT_EQ(target.GetPixel(c.x, c.y), c.expected) << c.x << "," << c.y;
  }
  // d at alpha 128: half way between white and black.
  const uint32_t d = target.GetPixel(50, 10) & 0xFF;
  EXPECT_GT(d, 100u);
  EXPECT_LT(d, 160u);

  // Only the clip rectangle is drawn.
  target.Clear(pixel(0xFFFFFF));
  page.surfaces.Draw(page.word, *page.pages[0], target, 10, 5, {0, 0, 16, 30});
  EXPECT_EQ(target.GetPixel(15, 7), pixel(0));
  EXPECT_EQ(target.GetPixel(16, 7), pixel(0xFFFFFF));
}

TEST(TextPageSurfaces, NeighboursComposedTogetherMatchOneByOne) {
  Page page("abcdef<FONT BORDER=1>gh</FONT>" + Sj("<FONT SIZE=20>字</FONT>") + "ij", 400, 0);
  const std::vector<int> alphas = {255, 255, 128, 128, 0, 255, 90, 90, 90, 255, 255};
  for (size_t i = 0; i < alphas.size(); ++i) {
    static_cast<TWdReal*>(page.word.Item(static_cast<int>(i)))->SetAlpha(alphas[i]);
  }
  render::TDIBX together;
  together.SetSize(300, 40, 32);
  together.Clear(0x808080);
  page.surfaces.Draw(page.word, *page.pages[0], together, 3, 4, {0, 0, 300, 40});

  render::TDIBX alone;
  alone.SetSize(300, 40, 32);
  alone.Clear(0x808080);
  const TWdRow& row = *page.pages[0]->rows[0];
  for (const TWdGlyph* g : row.glyphs) {
    const int alpha = static_cast<const TWdReal*>(g)->alpha();
    const Rect source = MakeRect(g->x, g->y, g->width, g->height);
    const int x = 3 + g->x;
    const int y = 4 + g->y;
    if (alpha == 0) continue;
    if (static_cast<const TWdChar*>(g)->style().border_width > 0) {
      alone.DrawAlphaMasked(x, y, alpha, page.surfaces.coverage(), {}, source,
                            page.surfaces.colour());
    } else {
      alone.DrawMaskColor(x, y, alpha, 0, {}, source, page.surfaces.coverage());
    }
  }
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 300; ++x) {
      ASSERT_EQ(together.GetPixel(x, y), alone.GetPixel(x, y)) << x << "," << y;
    }
  }
}

TEST(TextPageSurfaces, RedrawCanHideEveryGlyph) {
  Page page("abc", 120, 0);
  page.surfaces.Redraw(page.word, *page.pages[0], page.painter, true);
  for (int i = 0; i < page.word.Count(); ++i) {
    EXPECT_EQ(static_cast<TWdReal*>(page.word.Item(i))->alpha(), 0);
  }
  EXPECT_EQ(page.surfaces.changed().size(), 3u);
}

TEST(TextPageSurfaces, PictureAlphaFollowsTheDocumentAlpha) {
  struct Case {
    int glyph;
    int document;
    int code;
  };
  for (const Case& c :
       std::vector<Case>{{200, 255, 200}, {200, 128, 100}, {200, 384, 356}, {255, 0, 0}}) {
    EXPECT_EQ(PictureAlphaCode(c.glyph, c.document), c.code) << c.glyph << "," << c.document;
  }
}

}  // namespace
}  // namespace novu::text
