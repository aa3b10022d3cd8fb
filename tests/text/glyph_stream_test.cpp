// The glyph stream of compiled message text: round trips, version gates and bad input.
#include <gtest/gtest.h>

#include "expr/param_collection.h"
#include "text_fixtures.h"

namespace novu::text {
namespace {

using test::CharsOf;
using test::Describe;
using test::Load;
using test::Parse;
using test::Sj;
using test::StreamOf;

std::vector<std::string> RichText() {
  return {Sj("<DIV ALIGN=CENTER><FONT SIZE=24 COLOR=#102030 BORDER=2 BCOLOR=#FFFFFF>ソ表能十\\\\"),
          Sj("</FONT><B><I>太字</I></B><U>u</U><S>s</S><NOBR>ab</NOBR></DIV>"),
          Sj("<RUBY VALUE=かんじ>漢字</RUBY><A HREF=next>リンク</A><WAIT VALUE=-30>待</WAIT>"),
          Sj("<INDENT>x<UNDENT><BR><FONT SHADOW=3 SCOLOR=#000001 NAME=\"ＭＳ 明朝\">影</FONT>"),
          Sj("<EVENT VALUE=ev1><EVENT VALUE=ev2 END><A HREF=v><VAR NAME=name></A><CLEAR>"),
          Sj("<IMG SRC=face.fip ALIGN=CENTER><IMG SRC=\"b g.fip\">end")};
}

TEST(GlyphStream, MarkupStreamDocumentRoundTrip) {
  TKxWord source;
  Parse(source, RichText());
  ASSERT_GT(source.Count(), 30);
  const std::vector<uint8_t> first = StreamOf(source);
  ASSERT_EQ(std::string(first.begin(), first.begin() + 9), "KxWord102");

  TKxWord loaded;
  Load(loaded, first);
  EXPECT_EQ(Describe(loaded), Describe(source));
  EXPECT_EQ(loaded.styles().size(), source.styles().size());
  EXPECT_EQ(loaded.loaded_version(), 102);
  EXPECT_EQ(StreamOf(loaded), first);
  // The text survives with the 0x5C trail bytes of ソ 表 能 十 and the escaped backslash.
  EXPECT_EQ(CharsOf(loaded).substr(0, 9), Sj("ソ表能十\\"));
}

TEST(GlyphStream, LoadingAppendsToTheDocument) {
  TKxWord first;
  Parse(first, {"<B>ab</B>"});
  TKxWord second;
  Parse(second, {"<I>cd</I>"});
  TKxWord joined;
  Load(joined, StreamOf(first));
  Load(joined, StreamOf(second));
  EXPECT_EQ(CharsOf(joined), "abcd");
  ASSERT_EQ(joined.styles().size(), 2u);
  EXPECT_EQ(static_cast<const TWdChar*>(joined.Item(3))->style().flags, FS_ITALIC);
  EXPECT_EQ(joined.styles().at(0).users(), 2);
}

TEST(GlyphStream, EveryVersionReads) {
  struct Case {
    int version;
    std::string header;
    int32_t border_width;
    int32_t shadow_offset;
    int32_t shadow_colour;
    int32_t var_wait;
    std::string var_link;
    bool compiled;
  };
  const std::vector<Case> cases = {
      {0, "", 1, 0, 0, 0, "", true},
      {99, "KxWord099", 1, 0, 0, 0, "", true},
      {100, "KxWord100", 3, 2, 0x030201, 0, "", true},
      {101, "KxWord101", 3, 2, 0x030201, 9, "l", true},
      {102, "KxWord102", 3, 2, 0x030201, 9, "l", false},
  };
  TKxWord source;
  Parse(source, {"<FONT BORDER=3 SHADOW=2 SCOLOR=#010203><A HREF=l><WAIT VALUE=9><VAR NAME=s>x"});
  TParamCollection table;
  table.Declare("s", PT_STR, VarScope::kGlobal, nullptr)->value().SetAsStr("AB");

  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    const std::vector<uint8_t> stream = StreamOf(source, c.version);
    EXPECT_EQ(std::string(stream.begin(), stream.begin() + c.header.size()), c.header);
    TKxWord loaded;
    Load(loaded, stream);
    EXPECT_EQ(loaded.loaded_version(), c.version);
    ASSERT_EQ(loaded.Count(), 2);
    const auto& var = static_cast<const TWdOpeVar&>(*loaded.Item(0));
    const auto& x = static_cast<const TWdChar&>(*loaded.Item(1));
    for (const DecorateAttributes* style : {&var.style(), &x.style()}) {
      EXPECT_EQ(style->border_width, c.border_width);
      EXPECT_EQ(style->shadow_offset, c.shadow_offset);
      EXPECT_EQ(style->shadow_colour, c.shadow_colour);
    }
    EXPECT_EQ(var.wait, c.var_wait);
    EXPECT_EQ(var.link, c.var_link);
    EXPECT_EQ(var.compiled != nullptr, c.compiled);
    EXPECT_EQ(var.expression, c.compiled ? "" : "s");
    EXPECT_EQ(x.wait, 9);
    EXPECT_EQ(x.link, "l");
    // A compiled expression is evaluated directly; text is compiled when expanded.
    loaded.variables = &table;
    loaded.ExpandVariables();
    EXPECT_EQ(CharsOf(loaded), "ABx");
    loaded.CollapseVariables();
    EXPECT_EQ(StreamOf(loaded, c.version), stream);
  }
}

// A stream written by hand: header, styles and glyph records.
struct StreamBuilder {
  BinaryWriter out;

  StreamBuilder& Header() {
    out.Bytes(std::string_view("KxWord102"));
    return *this;
  }
  StreamBuilder& Style(int32_t users, int32_t colour) {
    out.I32(users);
    out.I32(colour);
    out.I32(-1);
    out.I32(0);
    out.U8(0);
    out.U8(0);
    out.I32(0);
    out.String("");
    out.String("");
    out.I32(0);
    out.I32(0);
    return *this;
  }
  StreamBuilder& Char(uint8_t kind, uint16_t code, int32_t style) {
    out.U8(kind);
    out.String("");
    out.I32(0);
    out.U16(code);
    out.I32(style);
    return *this;
  }
  std::vector<uint8_t> Bytes() { return out.Take(); }
};

TEST(GlyphStream, BadInputFailsOrFallsBackToThePlainStyle) {
  struct Case {
    std::string name;
    std::vector<uint8_t> stream;
    std::string result;  // the characters and colours, or "error"
  };
  auto counts = [](int32_t styles, int32_t glyphs) {
    StreamBuilder b;
    b.Header();
    b.out.I32(styles);
    if (styles == 1) b.Style(1, 5);
    b.out.I32(glyphs);
    return b.Bytes();
  };
  std::vector<Case> cases;
  cases.push_back({"negative style count", counts(-1, 0), "error"});
  cases.push_back({"style count beyond the data", counts(1000, 0), "error"});
  cases.push_back({"negative glyph count", counts(1, -2), "error"});
  cases.push_back({"glyph count beyond the data", counts(1, 0x7FFFFFFF), "error"});
  {
    StreamBuilder b;
    b.out.Bytes(std::string_view("KxWord1x2"));
    b.out.I32(0);
    b.out.I32(0);
    cases.push_back({"header digits not a number", b.Bytes(), "error"});
  }
  {
    StreamBuilder b;
    b.Header();
    b.out.I32(1);
    b.Style(999, 5);
    b.out.I32(5);
    b.Char(1, 'a', 0).Char(1, 'b', 7).Char(1, 'c', -1);
    b.out.U8(8);  // no such kind: no record
    b.Char(0x81, 'd', 0);
    cases.push_back(
        {"style indexes outside the table, unknown kind, top bit", b.Bytes(), "a5 b-1 c-1 d5"});
  }
  {
    StreamBuilder b;
    b.Header();
    b.out.I32(1);
    b.Style(1, 5);
    b.out.I32(2);
    b.Char(1, 'a', 0);
    b.out.U8(1);
    b.out.String("");
    cases.push_back({"glyph cut short", b.Bytes(), "error"});
  }
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    TKxWord word;
    Parse(word, {"<FONT COLOR=#000001>kept"});
    const std::vector<std::string> before = Describe(word);
    std::string result;
    try {
      Load(word, c.stream);
      for (int i = 4; i < word.Count(); ++i) {
        const auto& ch = static_cast<const TWdChar&>(*word.Item(i));
        result += (result.empty() ? "" : " ") + ch.Text() + std::to_string(ch.style().colour);
      }
    } catch (const NovuError&) {
      result = "error";
      EXPECT_EQ(Describe(word), before);
    }
    EXPECT_EQ(result, c.result);
    // Every record counts its real users, whatever the stream said.
    for (size_t i = 0; i < word.styles().size(); ++i) {
      int users = 0;
      for (int g = 0; g < word.Count(); ++g) {
        const auto* ch = dynamic_cast<const TWdChar*>(word.Item(g));
        if (ch && ch->style_record() == &word.styles().at(i)) ++users;
      }
      EXPECT_EQ(word.styles().at(i).users(), users);
    }
  }
}

TEST(GlyphStream, StreamWithoutHeaderIsVersionZero) {
  BinaryWriter b;
  b.I32(1);
  b.I32(1);   // users
  b.I32(7);   // colour
  b.I32(-1);  // border colour
  b.I32(16);  // size
  b.U8(FS_BOLD);
  b.U8(1);  // no-break
  b.U8(5);  // border flag: width 1
  b.String("face");
  b.String("ruby");
  b.I32(1);
  b.U8(kCodeChar);
  b.String("");
  b.I32(3);
  b.U16(0x8140);
  b.I32(0);
  TKxWord word;
  Load(word, b.Take());
  EXPECT_EQ(word.loaded_version(), 0);
  ASSERT_EQ(word.Count(), 1);
  EXPECT_EQ(test::DescribeStyle(static_cast<const TWdChar&>(*word.Item(0)).style()),
            "c7 b-1 s0 z16 f1 nface nb1 rruby bw1 so0");
}

// Styles an old version cannot tell apart share one record, so an old stream read and written
// again is the same stream (two equal records used to merge on the reread and shift the indexes).
TEST(GlyphStream, StylesAnOldVersionCannotTellApartShareOneRecord) {
  TKxWord source;
  Parse(source, {Sj("<FONT BORDER=0>a</FONT><FONT BORDER=2>b</FONT><FONT SHADOW=3>c</FONT>d")});
  const std::vector<uint8_t> modern = StreamOf(source);
  const std::vector<uint8_t> old = StreamOf(source, 0);
  auto record_count = [](const std::vector<uint8_t>& stream, size_t at) {
    return stream.at(at) | stream.at(at + 1) << 8;
  };
  EXPECT_EQ(record_count(modern, 9), 4) << "borders 0 and 2, a shadow and the plain style";
  EXPECT_EQ(record_count(old, 0), 2)
      << "no border, and a border for the rest (the plain style's is the document's)";
  TKxWord reread;
  Load(reread, old);
  EXPECT_EQ(CharsOf(reread), "abcd");
  EXPECT_EQ(StreamOf(reread, 0), old);
}

}  // namespace
}  // namespace novu::text
