// The text document: shared style records, copies, variables and text positions.
#include <gtest/gtest.h>

#include "expr/param_collection.h"
#include "text_fixtures.h"

namespace novu::text {
namespace {

using test::CharsOf;
using test::Describe;
using test::Parse;
using test::Sj;

const TWdChar& CharAt(const TKxWord& word, int i) {
  return static_cast<const TWdChar&>(*word.Item(i));
}

TEST(KxWordStyles, GlyphsShareRecordsAndChangeThemSafely) {
  TKxWord word;
  Parse(word, {"ab<B>c</B>"});
  ASSERT_EQ(word.styles().size(), 2u);
  EXPECT_EQ(CharAt(word, 0).style_record(), CharAt(word, 1).style_record());
  EXPECT_EQ(CharAt(word, 0).style_record()->users(), 2);

  auto bold = [](DecorateAttributes& a) { a.flags = FS_BOLD; };
  auto red = [](DecorateAttributes& a) { a.colour = 0xFF; };
  // a record shared with another glyph: a is moved onto c's existing record.
  static_cast<TWdChar&>(*word.Item(0)).ChangeStyle(bold);
  EXPECT_EQ(CharAt(word, 0).style_record(), CharAt(word, 2).style_record());
  EXPECT_EQ(CharAt(word, 2).style_record()->users(), 2);
  // b is now the only user of the plain record: it is changed in place.
  const TDecorate* plain = CharAt(word, 1).style_record();
  static_cast<TWdChar&>(*word.Item(1)).ChangeStyle(red);
  EXPECT_EQ(CharAt(word, 1).style_record(), plain);
  EXPECT_EQ(plain->attributes().colour, 0xFF);
  // c shares the bold record with a: it gets a new one, a keeps the old.
  static_cast<TWdChar&>(*word.Item(2)).ChangeStyle(red);
  EXPECT_NE(CharAt(word, 2).style_record(), CharAt(word, 0).style_record());
  EXPECT_EQ(word.styles().size(), 3u);
  // Freed with their last user.
  word.Delete(2);
  word.Delete(1);
  EXPECT_EQ(word.styles().size(), 1u);
  EXPECT_EQ(word.styles().at(0).users(), 1);
}

TEST(KxWordCopy, CopyGlyphsClampsBothEnds) {
  TKxWord from;
  Parse(from, {"<B>ab</B>cd"});
  struct Case {
    int first;
    int last;
    std::string chars;
  };
  const std::vector<Case> cases = {
      {0, -1, "abcd"}, {1, 2, "bc"}, {-5, 1, "ab"}, {2, 99, "cd"},
      {3, 1, ""},      {9, -1, "d"}, {9, 2, ""},    {-3, -7, "abcd"},
  };
  for (const Case& c : cases) {
    TKxWord to;
    Parse(to, {"<I>x</I>"});
    to.CopyGlyphs(from, c.first, c.last);
    EXPECT_EQ(CharsOf(to), "x" + c.chars) << c.first << ".." << c.last;
  }
  TKxWord to;
  to.CopyGlyphs(from, 0, -1);
  std::vector<std::string> expected = Describe(from);
  EXPECT_EQ(Describe(to), expected);
  EXPECT_EQ(to.styles().size(), 2u);
  TKxWord empty;
  to.CopyGlyphs(empty, 0, -1);
  EXPECT_EQ(to.Count(), 4);
}

TEST(KxWordVariables, ExpandCollapseAndRecord) {
  TParamCollection table;
  table.Declare("name", PT_STR, VarScope::kGlobal, nullptr)->value().SetAsStr(Sj("表\r十\x02"));
  table.Declare("n", PT_INT, VarScope::kGlobal, nullptr)->value().SetAsStr("42");
  TKxWord word;
  word.variables = &table;
  Parse(word, {"<FONT COLOR=#FF0000><VAR NAME=name></FONT>!<VAR NAME=\"n + 1\"><VAR NAME=\"(\">z"});
  const int z_position = word.TextPositionOf(word.Item(4));
  EXPECT_EQ(z_position, 4);

  word.ExpandVariables();
  EXPECT_EQ(CharsOf(word), Sj("表十") + "!43z");
  // Variable output does not count: the text position of z stays the same.
  EXPECT_EQ(word.GlyphAtTextPosition(z_position), word.Count() - 1);
  EXPECT_EQ(word.Item(2)->kind(), GlyphKind::kVarReturn);
  EXPECT_EQ(CharAt(word, 1).style().colour, 0xFF);
  EXPECT_EQ(CharAt(word, 1).kind(), GlyphKind::kVarChar);

  std::vector<std::string> recorded = {"N + 1=kept"};
  word.RecordVariables(recorded);
  EXPECT_EQ(recorded,
            (std::vector<std::string>{"N + 1=kept", "name=" + Sj("表") + "\x01" + Sj("十"), "(="}));
  // Expanding again replaces the output; recorded values win over the table.
  word.recorded_values = recorded;
  word.ExpandVariables();
  EXPECT_EQ(CharsOf(word), Sj("表十") + "!keptz");
  EXPECT_EQ(word.Item(2)->kind(), GlyphKind::kVarReturn);

  word.CollapseVariables();
  EXPECT_EQ(word.Count(), 5);
  EXPECT_EQ(CharsOf(word), "!z");
  EXPECT_EQ(word.styles().size(), 2u);
}

TEST(KxWordPositions, TextPositionsAndGlyphs) {
  TKxWord word;
  Parse(word, {"a<BR>b<VAR NAME=v>c"});
  // a, return, b, var, c: the var counts as one character.
  struct Case {
    int position;
    int glyph;
  };
  for (const Case& c :
       std::vector<Case>{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, -1}, {99, -1}}) {
    EXPECT_EQ(word.GlyphAtTextPosition(c.position), c.glyph) << c.position;
    if (c.glyph >= 0) {
      EXPECT_EQ(word.TextPositionOf(word.Item(c.glyph)), c.position);
    }
  }
  EXPECT_EQ(word.Text(), "a\r\nbc");
  EXPECT_EQ(word.Item(5), nullptr);
  EXPECT_EQ(word.Item(-1), nullptr);
  word.Clear();
  EXPECT_EQ(word.Count(), 0);
  EXPECT_EQ(word.styles().size(), 0u);
}

}  // namespace
}  // namespace novu::text
