#include "authoring/page_text.h"

#include <gtest/gtest.h>

#include "core/binary_writer.h"
#include "engine/command_layout.h"
#include "engine/page.h"
#include "platform/error.h"
#include "text/kx_word.h"

namespace novu {
namespace {

void ExpectRoundTrip(const std::vector<uint8_t>& page, const std::string& what) {
  const std::string text = DisassemblePage(page);
  std::vector<uint8_t> again;
  ASSERT_NO_THROW(again = AssemblePage(text, "p.nsb")) << what << "\n" << text;
  EXPECT_EQ(again, page) << what << "\n" << text;
}

TEST(PageText, RoundTripsByteForByte) {
  const char* const pages[] = {
      // control flow, anchors, flags, depth, line numbers
      R"(page version=114 result=int
VarNew "i" type=int value=`0` scope=local
top:
While `i < 10` exit=@end
  If `i % 2 == 0`
    Continue target=@top disabled
  Elseif `i > 8`
    Break target=@end
  Else
    Calc `x = (a + b) * c - -d`
WhileLoop `i = i + 1` loop=@top
end:
Call "sub.nsb" index=3 result="r" args=[ `1` `"a\"b"` `IntToStr(i, 2)` ] line=99
Wait `go` time=`500` block=`TRUE` stop
Comment "日本語 \x81"
Exit depth=-3
)",
      // every property command shape, version-gated fields of an older page
      R"(page version=106 result=none
set BoxNew PR_NAME PR_LEFT PR_TOP
BoxNew PR_NAME=`"b"` PR_LEFT=`1`
Wait time=`1`
SaveCabinet PR_NAME=`"c"` invert=`TRUE` names=[ `"x"` ]
TextIns "\x00\x01text" target=`"mes"`
GameSave `1` page="main.nsb"
)",
      // an operation list no compiler writes
      R"(Calc ops(ocPlus "____0" v"x" i1 f0000000000000080ff3f b1 s"t"; ocFunc "____1" #0 v"____0"; ocTo "x" v"____1"; op77 "")
Calc ops()
)",
      // stored property-set tables of other shapes
      "sets 61 16\nset BoxNew PR_NAME PR_OFFSETX\nBoxNew PR_NAME=`\"a\"`\n",
      "sets 61 25\nset_raw 8 \"01000000000000000000000000000000000000000000000000\"\n"
      "set_raw 9 \"00000000000000000000000000000000000000000001000000\"\nBoxNew\n",
      "sets 70 21\nset_raw 65 \"ffffffffffffffffffffffffffffffffffffffffff\"\nExit\n",
      // a huge count of empty entries
      "sets 2000000000 0\nExit\n",
  };
  for (const char* text : pages) {
    std::vector<uint8_t> page;
    ASSERT_NO_THROW(page = AssemblePage(text, "p.nsb")) << text;
    ExpectRoundTrip(page, text);
  }
}

TEST(PageText, ExpressionsPrintAsTextOnlyWhenItCompilesTheSame) {
  const auto page =
      AssemblePage("Calc `x = a + b * c`\nCalc ops(ocTo \"x\" i1; ocTo \"y\" i2)\n", "p.nsb");
  const std::string text = DisassemblePage(page);
  EXPECT_NE(text.find("Calc `x = a + b * c`"), std::string::npos) << text;
  EXPECT_NE(text.find("Calc ops(ocTo \"x\" i1; ocTo \"y\" i2)"), std::string::npos) << text;
}

TEST(PageText, AssemblesWhatTheLinesSay) {
  const auto data = AssemblePage(R"(page version=110 result=string
a:
  Label "here" stop disabled
Jump "x.nsb" index=@a
)",
                                 "p.nsb");
  TPage page;
  ASSERT_EQ(page.Load("p.nsb", data), TPage::LoadResult::kLoaded);
  EXPECT_EQ(page.version(), 110);
  EXPECT_EQ(page.result_type(), 4);
  ASSERT_EQ(page.Count(), 2);
  const CommandHeader& h = page.Command(0).header();
  EXPECT_EQ(h.depth, 1);
  EXPECT_TRUE(h.disabled);
  EXPECT_FALSE(h.continue_flag);
  EXPECT_EQ(h.line, 3);
  EXPECT_EQ(page.Command(1).fields()[1].number, 0);
  EXPECT_EQ(page.FindLabel("here"), 0);
}

TEST(PageText, MessageMarkupIsStoredAsItsGlyphStream) {
  const auto data = AssemblePage(
      "TextIns markup\"<B>ソ表</B>\\n<A HREF=next>能十</A>\" target=`\"mes\"`\n"
      "TextIns \"raw\" target=`\"mes\"`\n",
      "p.nsb");
  TPage page;
  ASSERT_EQ(page.Load("p.nsb", data), TPage::LoadResult::kLoaded);
  ASSERT_EQ(page.Count(), 2);
  text::TKxWord expected;
  expected.SetSource(std::vector<std::string>{Jp("<B>ソ表</B>"), Jp("<A HREF=next>能十</A>")});
  BinaryWriter stream;
  expected.SaveGlyphs(stream);
  EXPECT_EQ(page.Command(0).fields()[0].text, stream.TakeString());
  EXPECT_EQ(page.Command(1).fields()[0].text, "raw");
  // The stored stream disassembles as bytes and assembles back to the same page.
  ExpectRoundTrip(data, "markup");

  try {
    AssemblePage("TextIns markup\"<A>x</A>\"\n", "p.nsb");
    ADD_FAILURE() << "an A tag without HREF was accepted";
  } catch (const NovuError& e) {
    EXPECT_EQ(e.message(), Jp("line 1: <A>タグにHREF値がありません"));
  }
}

TEST(PageText, MistakesNameTheirLine) {
  const char* const bad[] = {
      "Calc `x = `\n",
      "Nonsense\n",
      "Exit target=@nowhere\n",
      "Calc `1` bogus=1\n",
      "   Exit\n",
      "page version=106\nWait block=`1`\n",
      "Exit \"unterminated\n",
      "sets 61 1\nBoxNew PR_LEFT=`1`\n",
      "Calc `1` `2`\n",
  };
  for (const char* text : bad) {
    try {
      AssemblePage(text, "p.nsb");
      ADD_FAILURE() << "accepted: " << text;
    } catch (const NovuError& e) {
      EXPECT_NE(e.Utf8Message().find("line "), std::string::npos) << text << e.Utf8Message();
    }
  }
}

}  // namespace
}  // namespace novu
