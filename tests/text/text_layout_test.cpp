// Line and page layout on the character grid.
#include <gtest/gtest.h>

#include "text/text_layout.h"
#include "text_fixtures.h"

namespace novu::text {
namespace {

using test::Parse;
using test::Sj;

struct Laid {
  TKxWord word;
  PageList pages;
};

// Lays out markup in a document of font size 12 with the given wrap width and visible height.
std::unique_ptr<Laid> Lay(const std::string& markup, int wrap, int visible = 0,
                          const PictureMeasure& measure = {}) {
  auto laid = std::make_unique<Laid>();
  laid->word.settings.wrap_width = wrap;
  laid->word.settings.visible_height = visible;
  Parse(laid->word, {markup});
  LayoutGlyphs(laid->word, laid->pages, 0, -1, measure);
  return laid;
}

std::string RowText(const TWdRow& row) {
  std::string text;
  for (const TWdGlyph* g : row.glyphs) {
    if (g->kind() == GlyphKind::kSpace) text += "_";
    if (g->kind() == GlyphKind::kImg) text += "*";
    text += g->Text();
  }
  return text;
}

// Rows of every page, pages separated by "|".
std::vector<std::string> Rows(const Laid& laid) {
  std::vector<std::string> rows;
  for (size_t p = 0; p < laid.pages.size(); ++p) {
    if (p > 0) rows.push_back("|");
    for (const auto& row : laid.pages[p]->rows) rows.push_back(RowText(*row));
  }
  return rows;
}

TEST(TextLayout, RowsPagesAndLineBreakingRules) {
  const std::string k = Sj("漢");
  auto repeat = [](const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
  };
  struct Case {
    std::string name;
    std::string markup;
    int wrap;
    int visible;
    std::vector<std::string> rows;
  };
  const std::vector<Case> cases = {
      {"size 12 at wrap 120 gives 10 characters a row",
       repeat(k, 25),
       120,
       0,
       {repeat(k, 10), repeat(k, 10), repeat(k, 5)}},
      {"an ideographic comma never starts a row",
       repeat(k, 10) + Sj("、") + k,
       120,
       0,
       {repeat(k, 9), k + Sj("、") + k}},
      {"an opening bracket never ends a row",
       repeat(k, 9) + Sj("「") + k + Sj("」"),
       120,
       0,
       {repeat(k, 9), Sj("「") + k + Sj("」")}},
      {"a long Latin word is not broken",
       "a abcdefghijklmnop c",
       120,
       0,
       {"a ", "abcdefghijklmnop ", "c"}},
      {"no-break text stays together",
       repeat(k, 8) + "<NOBR>" + repeat(k, 3) + "</NOBR>",
       120,
       0,
       {repeat(k, 8), repeat(k, 3)}},
      {"a line break ends the row", "ab<BR>c", 120, 0, {"ab\r\n", "c"}},
      {"CLEAR starts a page",
       "ab<CLEAR>cd<BR CLEAR>e",
       120,
       100,
       {"ab\r\n", "|", "cd\r\n", "|", "e"}},
      {"rows beyond the visible height go to the next page",
       repeat(k, 35),
       120,
       36,
       {repeat(k, 10), repeat(k, 10), repeat(k, 10), "|", repeat(k, 5)}},
      {"a visible height of 0 is unlimited",
       repeat(k, 45),
       120,
       0,
       {repeat(k, 10), repeat(k, 10), repeat(k, 10), repeat(k, 10), repeat(k, 5)}},
      {"no wrap width: one row", repeat(k, 30), 0, 0, {repeat(k, 30)}},
      {"indentation starts the following rows",
       "ab<INDENT>" + repeat(k, 12) + "<UNDENT><BR>c",
       120,
       0,
       {"ab" + repeat(k, 8), "_" + repeat(k, 4) + "\r\n", "c"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto laid = Lay(c.markup, c.wrap, c.visible);
    EXPECT_EQ(Rows(*laid), c.rows);
  }
}

TEST(TextLayout, CellsAlignmentAndBaseline) {
  // Mixed sizes share their bottom line.
  auto mixed = Lay("<FONT SIZE=24>" + Sj("大") + "</FONT>" + Sj("小") + "<BR>x", 120);
  const TWdRow& row = *mixed->pages[0]->rows[0];
  EXPECT_EQ(row.height, 24);
  EXPECT_EQ(row.glyphs[0]->y + row.glyphs[0]->height, 24);
  EXPECT_EQ(row.glyphs[1]->y + row.glyphs[1]->height, 24);
  EXPECT_EQ(row.glyphs[1]->x, 24);
  EXPECT_EQ(mixed->pages[0]->rows[1]->y, 24);

  struct Case {
    std::string markup;
    int wrap;
    int first_x;
    int width;
    int height;
  };
  const std::vector<Case> cases = {
      {"<DIV ALIGN=CENTER>abc</DIV>", 125, 44, 12, 12},  // (125 - 36) / 2 truncated
      {"<DIV ALIGN=RIGHT>abc</DIV>", 125, 89, 12, 12},
      {"abc", 125, 0, 12, 12},
      {"<I>a</I>", 125, 0, 14, 12},
      {"<RUBY VALUE=x>a</RUBY>", 125, 0, 12, 18},
      {"<FONT BORDER=2 SHADOW=3>a</FONT>", 125, 0, 19, 19},
      {"<FONT BORDER=1000>a</FONT>", 125, 0, 28, 28},  // the border is clamped to 8
      {"<FONT SIZE=-20>a</FONT>", 125, 0, 20, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.markup);
    auto laid = Lay(c.markup, c.wrap);
    const TWdGlyph& first = *laid->pages[0]->rows[0]->glyphs[0];
    EXPECT_EQ(first.x, c.first_x);
    EXPECT_EQ(first.width, c.width);
    EXPECT_EQ(first.height, c.height);
  }
}

TEST(TextLayout, RubyPositionsOverTheirRun) {
  struct Case {
    std::string ruby;
    int run_width;
    int size;
    std::vector<int> x;
  };
  const std::vector<Case> cases = {
      {Sj("かんじ"), 24, 6, {1, 9, 17}},  // centres 4, 12, 20 less half of 6
      {"ab", 12, 6, {2, 8}},              // centres 3, 9 less a quarter of 6
      {Sj("あ") + "b", 10, 4, {0, 7}},    // centres 2.5 -> 2, 7.5 -> 8 (halves to even)
      {"", 12, 6, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RubyPositions(c.ruby, c.run_width, c.size), c.x) << c.run_width;
  }
}

TEST(TextLayout, PicturesAlignAndFloat) {
  const PictureMeasure measure = [](const TWdImg& img) {
    return img.source == "tall" ? GlyphSize{20, 30} : GlyphSize{10, 10};
  };
  // Bottom-aligned (default) pictures raise the space above the text; top ones the space below.
  struct Case {
    std::string markup;
    int row_height;
    int picture_y;
    int text_y;
  };
  const std::vector<Case> cases = {
      {"a<IMG SRC=tall>", 30, 0, 18},
      {"a<IMG SRC=tall ALIGN=TOP>", 30, 0, 0},
      {"a<IMG SRC=tall ALIGN=CENTER>", 30, 0, 9},  // overhang (30 - 12 + 1) / 2 = 9 each side
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.markup);
    auto laid = Lay(c.markup, 120, 0, measure);
    const TWdRow& row = *laid->pages[0]->rows[0];
    EXPECT_EQ(row.height, c.row_height);
    EXPECT_EQ(row.glyphs[1]->y, c.picture_y);
    EXPECT_EQ(row.glyphs[0]->y, c.text_y);
  }

  // A left floating picture (glyph streams only): the rows beside it begin to its right.
  Laid laid;
  laid.word.settings.wrap_width = 120;
  std::string text = "ab";
  for (int i = 0; i < 30; ++i) text += Sj("漢");
  Parse(laid.word, {text});
  auto img = std::make_unique<TWdImg>();
  img->source = "tall";
  img->align = kAlignLeft;
  laid.word.Insert(2, std::move(img));
  LayoutGlyphs(laid.word, laid.pages, 0, -1, measure);
  ASSERT_EQ(laid.pages[0]->rows.size(), 5u);
  const TWdRow& first = *laid.pages[0]->rows[0];
  const TWdRow& beside = *laid.pages[0]->rows[1];
  EXPECT_EQ(RowText(first), "ab");
  EXPECT_EQ(beside.glyphs[0]->kind(), GlyphKind::kImg);
  EXPECT_EQ(beside.glyphs[0]->x, 0);
  EXPECT_EQ(beside.left_limit, 20);
  EXPECT_EQ(beside.glyphs[1]->x, 20);
  EXPECT_EQ(beside.glyphs.size(), 9u);  // the picture and 8 characters in 100 pixels
  // The picture covers y 12 to 42: the rows at 24 and 36 are beside it, the row at 48 is not.
  EXPECT_EQ(laid.pages[0]->rows[2]->left_limit, 20);
  EXPECT_EQ(laid.pages[0]->rows[3]->left_limit, 20);
  EXPECT_EQ(laid.pages[0]->rows[4]->left_limit, 0);
  EXPECT_EQ(laid.pages[0]->rows[4]->glyphs.size(), 6u);
}

TEST(TextLayout, HitTestingFindsLinks) {
  auto laid = Lay("ab<A HREF=go>cd</A><BR>e", 120, 50);
  const TWdPage& page = *laid->pages[0];
  struct Case {
    int x;
    int y;
    std::string found;
  };
  const std::vector<Case> cases = {
      {0, 0, "a"}, {25, 5, "c"}, {47, 11, "d"}, {49, 5, ""},  {3, 13, "e"},
      {3, 30, ""}, {-1, 0, ""},  {119, 0, ""},  {120, 0, ""}, {3, 50, ""},
  };
  for (const Case& c : cases) {
    const TWdGlyph* g = page.GlyphAt(c.x, c.y, 50);
    EXPECT_EQ(g ? g->Text() : "", c.found) << c.x << "," << c.y;
  }
  EXPECT_EQ(static_cast<const TWdReal*>(page.GlyphAt(25, 5, 50))->link, "go");
  // A glyph still fading in is not hit.
  static_cast<TWdReal*>(laid->word.Item(2))->SetAlpha(200);
  EXPECT_EQ(page.GlyphAt(25, 5, 50), nullptr);
}

}  // namespace
}  // namespace novu::text
