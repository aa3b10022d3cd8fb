// The markup of message text: tokens, tags and the glyphs they make.
#include <gtest/gtest.h>

#include "text/markup.h"
#include "text_fixtures.h"

namespace novu::text {
namespace {

using test::CharsOf;
using test::Describe;
using test::Parse;
using test::Sj;

std::vector<std::string> TokenTexts(std::string_view joined) {
  std::vector<std::string> texts;
  for (const MarkupToken& t : TokenizeMarkup(joined)) texts.push_back(t.text);
  return texts;
}

TEST(MarkupTokenizer, CutsTagsTextAndBlocks) {
  struct Case {
    std::string source;
    std::vector<std::string> tokens;
  };
  const std::vector<Case> cases = {
      {"a  b", {"a b"}},
      {"abc\rdef", {"abc def"}},
      {"<B>x</B>", {"<B>", "x", "</B>"}},
      {"<PRE>abc\rdef</PRE>", {"<PRE>", "abc", "<BR>", "def", "</PRE>"}},
      {"<PRE>\rab\r</PRE>", {"<PRE>", "ab", "</PRE>"}},
      {"<pre>a  b\tc</pre>", {"<pre>", "a b        c", "</pre>"}},
      {"a<!-- x\ry -->b", {"a", "<!-- x\r\ny -->", "b"}},
      {"a<script>if(a<b)</SCRIPT>b", {"a", "<script>if(a<b)</SCRIPT>", "b"}},
      {"<FONT NAME=\"a\rb\">", {"<FONT NAME=\"ab\">"}},
      {"\\<B\\>", {"<B>"}},
      {"a\\qb\\", {"aqb\\"}},
      {"x<<B>>y", {"x", "<<B>", "y"}},
      {"a>b", {"a>b"}},
      {"a \x14"
       "b\x14",
       {"a b "}},
      // The second byte of ソ (0x83 0x5C) is not an escape: the tag stays a tag.
      {Sj("ソ<B>表\\<"), {Sj("ソ"), "<B>", Sj("表") + "<"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TokenTexts(c.source), c.tokens) << c.source;
  }
}

TEST(MarkupTokenizer, SplitsTagsIntoNameAndAttributes) {
  const TTag tag =
      SplitTag("< font size=12 color='#FF0000' name=\"ＭＳ 明朝\" border bold=x=1 q=\"open >");
  EXPECT_EQ(tag.head, "font");
  ASSERT_EQ(tag.attributes.size(), 6u);
  EXPECT_EQ(tag.Find("SIZE")->value, "12");
  EXPECT_EQ(tag.Find("Color")->value, "#FF0000");
  EXPECT_EQ(tag.Find("name")->value, "ＭＳ 明朝");
  EXPECT_FALSE(tag.Find("BORDER")->value.has_value());
  EXPECT_EQ(tag.Find("bold")->value, "x=1");
  EXPECT_EQ(tag.Find("q")->value, "open");
  EXPECT_EQ(tag.Find("none"), nullptr);

  EXPECT_EQ(KindOfToken({"<!-- c -->", false}), TokenKind::kComment);
  EXPECT_EQ(KindOfToken({"<STYLE>x</STYLE>", false}), TokenKind::kComment);
  EXPECT_EQ(KindOfToken({"<B>", true}), TokenKind::kText);
  EXPECT_EQ(KindOfToken({"<>", false}), TokenKind::kText);
  EXPECT_EQ(KindOfToken({"<B", false}), TokenKind::kText);
}

TEST(MarkupValues, ColoursAndEscapes) {
  EXPECT_EQ(ParseColour("#FF0000"), 0x0000FF);
  EXPECT_EQ(ParseColour("#00ff80"), 0x80FF00);
  EXPECT_EQ(ParseColour("#FF"), 0xFF0000);
  EXPECT_EQ(ParseColour("#1234567"), 0x563412);
  EXPECT_EQ(ParseColour("FF0000"), std::nullopt);
  EXPECT_EQ(ParseColour("#"), std::nullopt);
  EXPECT_EQ(ParseColour("#GG0000"), std::nullopt);

  EXPECT_EQ(UnescapeValue("a\\\"b\\\\c\\nd\\x"), "a\"b\\c\r\nd\\x");
  // 表 is 0x95 0x5C: its trail byte followed by n is no line break.
  EXPECT_EQ(UnescapeValue(Sj("表") + "n"), Sj("表") + "n");
}

TEST(MarkupParser, TextBecomesOneGlyphPerCharacter) {
  struct Case {
    std::vector<std::string> lines;
    std::string chars;
    int glyphs;
  };
  const std::vector<Case> cases = {
      {{"a  b"}, "a b", 3},
      {{"abc", "def"}, "abc def", 7},
      {{"<PRE>abc", "def</PRE>"}, "abcdef", 7},
      {{"\\<B\\>"}, "<B>", 3},
      {{"x<!-- hidden -->y"}, "xy", 2},
      {{Sj("ソ表能十\\<")}, Sj("ソ表能十") + "<", 5},
  };
  for (const Case& c : cases) {
    TKxWord word;
    Parse(word, c.lines);
    EXPECT_EQ(CharsOf(word), c.chars) << c.lines[0];
    EXPECT_EQ(word.Count(), c.glyphs) << c.lines[0];
  }
}

// The description of the single character glyph "x" made from markup.
std::string CharLine(const std::string& markup) {
  TKxWord word;
  Parse(word, {markup});
  for (int i = 0; i < word.Count(); ++i) {
    if (word.Item(i)->kind() == GlyphKind::kChar) return Describe(word, i);
  }
  return "(no character)";
}

TEST(MarkupParser, TagsSetTheAttributesOfCharacters) {
  const std::string plain = "c-1 b-1 s-1 z0 f0 n nb0 r bw-1 so-1";
  struct Case {
    std::string markup;
    std::string style;
  };
  const std::vector<Case> cases = {
      {"x", plain},
      {"<FONT COLOR=#FF0000>x", "c255 b-1 s-1 z0 f0 n nb0 r bw-1 so-1"},
      {"<FONT COLOR=#FF>x", "c16711680 b-1 s-1 z0 f0 n nb0 r bw-1 so-1"},
      {"<FONT BCOLOR=#000080 SCOLOR=#010203 SIZE=24 NAME=Mincho>x",
       "c-1 b8388608 s197121 z24 f0 nMincho nb0 r bw-1 so-1"},
      {"<FONT BORDER>x", "c-1 b-1 s-1 z0 f0 n nb0 r bw1 so-1"},
      {"<FONT BORDER=-3 SHADOW=2>x", "c-1 b-1 s-1 z0 f0 n nb0 r bw0 so2"},
      {"<FONT BORDER=2><FONT SIZE=8>x", "c-1 b-1 s-1 z8 f0 n nb0 r bw2 so-1"},
      {"<FONT SIZE=8 COLOR=red><FONT SIZE=zz>x", "c-1 b-1 s-1 z8 f0 n nb0 r bw-1 so-1"},
      {"<FONT SIZE=8></FONT></FONT></FONT>x", plain},
      {"<B><I><U><S>x", "c-1 b-1 s-1 z0 f15 n nb0 r bw-1 so-1"},
      {"<B><I></B>x", "c-1 b-1 s-1 z0 f2 n nb0 r bw-1 so-1"},
      {"<NOBR><RUBY VALUE=kana>x", "c-1 b-1 s-1 z0 f0 n nb1 rkana bw-1 so-1"},
      {"<RUBY VALUE=kana></RUBY><NOBR></NOBR>x", plain},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CharLine(c.markup), "@0 char 78 link[] wait50 {" + c.style + "}") << c.markup;
  }
}

TEST(MarkupParser, LinksWaitsAndOperations) {
  TKxWord word;
  Parse(word, {"<DIV ALIGN=center><A HREF=go\\\\n>a</A><WAIT VALUE=7>b<WAIT VALUE=x>c"
               "</WAIT></WAIT>d</DIV><DIV ALIGN=bottom><INDENT><UNDENT><BR><BR CLEAR><CLEAR>"
               "<EVENT VALUE=\"e\\\\1\"><EVENT VALUE=z END><EVENT><VAR NAME=s><VAR NAME=\"\">"
               "<IMG SRC=p.fip ALIGN=top><IMG SRC=q ALIGN=left><IMG><UNKNOWN X=1>"});
  const std::string plain = "{c-1 b-1 s-1 z0 f0 n nb0 r bw-1 so-1}";
  const std::vector<std::string> expected = {
      "@0 align 3",
      "@1 char 61 link[go\r\n] wait50 " + plain,
      "@2 char 62 link[] wait7 " + plain,
      "@3 char 63 link[] wait7 " + plain,
      "@4 char 64 link[] wait50 " + plain,
      "@5 align 1",
      "@6 align 1",
      "@7 indent",
      "@8 undent",
      "@9 return",
      "@10 return clear",
      "@11 return clear",
      "@12 event [e\\1]",
      "@13 event [z] end",
      "@14 event []",
      "@15 var [s] link[] wait50 " + plain,
      "@16 img p.fip a4 link[] wait50",
      "@17 img q a5 link[] wait50",
  };
  EXPECT_EQ(Describe(word), expected);
}

TEST(MarkupParser, LinkWithoutHrefFails) {
  TKxWord word;
  try {
    Parse(word, {"<A>x</A>"});
    FAIL() << "no error";
  } catch (const NovuError& e) {
    EXPECT_EQ(e.message(), Sj("<A>タグにHREF値がありません"));
  }
}

}  // namespace
}  // namespace novu::text
