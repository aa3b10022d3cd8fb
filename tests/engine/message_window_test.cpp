// The message window driven by the text commands on the 15 ms virtual clock: the reveal pace,
// pages, inline events, links, the read marks, the history and the saved form.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "controls/control_factory.h"
#include "controls/image_fixtures.h"
#include "controls/novu_history.h"
#include "controls/novu_mes.h"
#include "controls/novu_read_list.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "engine/script_texts.h"
#include "objects/base_list.h"
#include "platform/glyph_source.h"
#include "script_world.h"
#include "text/font_pixel.h"

namespace novu {
namespace {

struct MessageWorld : test::ScriptWorld {
  MessageWorld()
      : glyphs(std::make_unique<platform::FixedGlyphSource>()),
        texts([this](std::string_view n) { return files.contains(n); },
              [this](std::string_view n) { return LoadPageFile(n); }),
        pictures(store.Loader()),
        list(MakeControlFactory(ImageEnvironment{&pictures, &state, &vars, nullptr, &glyphs, &texts,
                                                 &reads, &histories})) {
    list.SetSize(320, 240);
    list.SetProcessState(&state);
    list.SetEventQueue(&events);
    histories.SetTextSource(&texts, &vars);
  }
  ~MessageWorld() override { list.SetEventQueue(nullptr); }
  TNovuBaseList* Objects() override { return &list; }
  TNovuHistoryFormatManager* Histories() override { return &histories; }
  TNovuReadList* ReadMarks() override { return &reads; }

  void Run(const std::string& main, int ticks) {
    Page("main.nsb", main);
    Start("main.nsb");
    Frames(ticks);
  }
  void Frames(int ticks) {
    for (int i = 0; i < ticks; ++i) {
      Tick();
      list.input().ProcessInput(15);
      list.Update();
      list.Paint();
    }
  }
  TNovuMes& Window(std::string_view name = "m") {
    auto* mes = dynamic_cast<TNovuMes*>(list.FindByName(name));
    if (mes == nullptr) throw NovuError("no window");
    return *mes;
  }
  // The game clock of the first trace line that starts with `text` after the clock; -1: none.
  int ClockOf(std::string_view text) const {
    for (const std::string& line : trace) {
      if (line.substr(11).starts_with(text)) return std::stoi(line.substr(0, 8), nullptr, 16);
    }
    return -1;
  }

  text::TFontPixelManager glyphs;
  ScriptTexts texts;
  TNovuReadList reads;
  TNovuHistoryFormatManager histories;
  testing::FileStore store;
  TFipoCollection pictures;
  TNovuBaseList list;
};

std::string Window(std::string_view extra = "") {
  return "MesNew PR_NAME=`\"m\"` PR_LEFT=`10` PR_TOP=`20` PR_WIDTH=`300` PR_HEIGHT=`100` "
         "PR_FONTHEIGHT=`16` PR_FONTCOLOR=`$FFFFFF` " +
         std::string(extra) + "\n";
}

// ---- the pace ----

struct PaceCase {
  const char* name;
  const char* markup;
  int rate;
  int fade;
  int end_clock;  // when the play-end handler runs
};

// A page ends in the frame after its last glyph has faded in; the handler runs a tick later.
// With a fade time the first frame after the page start only counts down; the first glyph is
// taken (wait 0 of its own) in the next one. Glyph k then comes when the waits before it have
// run out: 2 + ceil(k * w * R / 256 / 15) ticks after the TextIns.
const PaceCase kPaceCases[] = {
    // 5 glyphs waiting 40 ms: the last at tick 2 + ceil(160 / 15) = 13, the end seen in tick 14.
    {"paced", "<WAIT VALUE=40>abcde", 256, 1, 15 * 15},
    // Twice the rate: waits of 80 ms, the last at 2 + ceil(320 / 15) = 24.
    {"double_rate", "<WAIT VALUE=40>abcde", 512, 1, 26 * 15},
    // Rate 0: the whole page in its first revealing frame (tick 2), faded in the next.
    {"rate_zero", "<WAIT VALUE=40>abcde", 0, 1, 5 * 15},
    // No fade time: no counting-down frame, full alpha at once.
    {"rate_zero_no_fade", "<WAIT VALUE=40>abcde", 0, 0, 3 * 15},
    // A negative wait is absolute whatever the rate: "a" and "b" at once, "c" 200 ms later.
    {"negative_wait", "<WAIT VALUE=0>a</WAIT><WAIT VALUE=-200>b</WAIT><WAIT VALUE=0>c", 0, 1,
     (2 + 14 + 2) * 15},
    {"negative_wait_scaled_rate", "<WAIT VALUE=0>a</WAIT><WAIT VALUE=-200>b</WAIT><WAIT VALUE=0>c",
     1024, 1, (2 + 14 + 2) * 15},
};

class MessagePace : public ::testing::TestWithParam<PaceCase> {};

TEST_P(MessagePace, PlayEndComesWhenTheWaitsHaveRunOut) {
  const PaceCase& c = GetParam();
  MessageWorld w;
  w.Page("end.nsb", "VarNew \"ended\" type=int value=`1`\n");
  w.Run(Window("PR_DELAY=`" + std::to_string(c.fade) + "` PR_TEXTDELAY=`" + std::to_string(c.rate) +
               "` PR_ONPLAYEND=`\"end.nsb\"`") +
            "TextIns markup\"" + c.markup + "\" target=`\"m\"`\n",
        40);
  EXPECT_EQ(w.ClockOf("<Event>end.nsb"), c.end_clock);
  EXPECT_EQ(w.Int("ended"), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, MessagePace, ::testing::ValuesIn(kPaceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MessageWindow, GlyphsAppearEveryWaitAndFadeOverTheFadeTime) {
  MessageWorld w;
  // Waits of 30 ms at rate 256, fade over 60 ms: alpha rises 15 * 256 / 60 = 64 a frame.
  w.Run(Window("PR_DELAY=`60` PR_TEXTDELAY=`256`") +
            "TextIns markup\"<WAIT VALUE=30>abc\" target=`\"m\"`\n",
        1);
  TNovuMes& m = w.Window();
  auto alpha = [&m](int i) { return static_cast<const text::TWdReal*>(m.word().Item(i))->alpha(); };
  EXPECT_EQ(alpha(0), 0);
  w.Frames(1);  // the first glyph is taken, not yet faded (no time has passed on the page)
  EXPECT_EQ(alpha(0), 0);
  EXPECT_EQ(m.RevealedText(), "");
  w.Frames(1);
  EXPECT_EQ(alpha(0), 64);
  EXPECT_EQ(alpha(1), 0);
  w.Frames(1);  // 30 ms gone: "b" is taken
  EXPECT_EQ(alpha(0), 128);
  EXPECT_EQ(alpha(1), 64);
  EXPECT_EQ(m.RevealedText(), "ab");
  w.Frames(10);
  EXPECT_EQ(alpha(2), 255);
  EXPECT_TRUE(m.Finished());
  EXPECT_FALSE(m.Playing());
}

// A picture in the text takes the size of its first frame, fades in like a character and runs
// its frames on the window's clock; a missing file lays out as nothing and the text goes on.
TEST(MessageWindow, InlinePicturesTakeTheirSizeAndAnimate) {
  MessageWorld w;
  w.store.files["face.fip"] = testing::MakeFip(
      {testing::Solid(testing::kRed, 6, 10, 60), testing::Solid(testing::kGreen, 6, 10, 60)});
  w.Run(Window("PR_DELAY=`0` PR_TEXTDELAY=`0`") +
            "TextIns markup\"a<IMG SRC=face.fip>b<IMG SRC=none.fip>c\" target=`\"m\"`\n",
        4);
  TNovuMes& m = w.Window();
  EXPECT_EQ(m.RevealedText(), "abc");
  const text::TWdPage& page = *m.pages().at(0);
  std::vector<std::pair<const text::TWdRow*, const text::TWdGlyph*>> pictures;
  for (const auto& row : page.rows) {
    for (const text::TWdGlyph* g : row->glyphs) {
      if (g->kind() == text::GlyphKind::kImg) pictures.emplace_back(row.get(), g);
    }
  }
  ASSERT_EQ(pictures.size(), 2u);
  const auto [row, face] = pictures[0];
  EXPECT_EQ(face->width, 6);
  EXPECT_EQ(face->height, 10);
  EXPECT_EQ(pictures[1].second->width, 0) << "a missing picture is 0 x 0";
  EXPECT_EQ(pictures[1].second->height, 0);
  const int x = 10 + row->x + face->x + 3;
  const int y = 20 + row->y + face->y + 5;
  auto pixel = [&] {
    w.list.base(0).InvalidateAll();
    w.list.Paint();
    return w.list.ScreenSurface().GetPixel(x, y);
  };
  const uint32_t red = pixel();
  EXPECT_EQ(red, testing::Raw32(testing::kRed));
  w.Frames(5);  // 75 ms: past the first frame's 61
  EXPECT_EQ(pixel(), testing::Raw32(testing::kGreen));
}

TEST(MessageWindow, AHugeRateNeverOverflowsTheWait) {
  MessageWorld w;
  // 50 × INT32_MAX / 256 ms: the second glyph waits for days, it does not wrap round to now.
  w.Run(Window("PR_DELAY=`0` PR_TEXTDELAY=`2147483647`") +
            "TextIns markup\"<WAIT VALUE=50>ab\" target=`\"m\"`\n",
        30);
  EXPECT_EQ(w.Window().RevealedText(), "a");
  EXPECT_TRUE(w.Window().Playing());
}

TEST(MessageWindow, ExtremeScrollsAndSpacingsAreKeptInRange) {
  MessageWorld w;
  w.Run(Window("PR_DELAY=`60` PR_TEXTDELAY=`0`") + "TextIns markup\"ab<BR>cd\" target=`\"m\"`\n",
        2);
  TNovuMes& m = w.Window();
  m.SetProperty(PR_SCROLLY, int32_t{INT32_MAX});
  m.SetProperty(PR_LINESPACE, int32_t{INT32_MIN});
  m.SetProperty(PR_HEIGHT, int32_t{INT32_MAX});
  w.Frames(3);  // glyph rectangles and the page drawn at those values
  EXPECT_EQ(PropAsInt(m.GetProperty(PR_SCROLLY)), kCoordinateLimit);
  EXPECT_EQ(PropAsInt(m.GetProperty(PR_LINESPACE)), -text::TextPageSurfaces::kMaxHeight);
}

// ---- pages ----

TEST(MessageWindow, PagesAreTurnedByScriptsOnly) {
  MessageWorld w;
  w.Run(Window("PR_DELAY=`0` PR_TEXTDELAY=`0`") +
            "TextIns markup\"one<BR CLEAR>two<BR CLEAR>three\" target=`\"m\"`\n",
        5);
  TNovuMes& m = w.Window();
  ASSERT_EQ(m.PageCount(), 3);
  EXPECT_EQ(m.page_index(), 0);
  EXPECT_EQ(m.RevealedText(), "one\r\n");
  m.SetProperty(PR_INDEX, int32_t{3});  // the page count: ignored
  m.SetProperty(PR_INDEX, int32_t{-1});
  EXPECT_EQ(m.page_index(), 0);
  m.SetProperty(PR_INDEX, int32_t{1});
  w.Frames(3);
  EXPECT_EQ(PropAsStr(m.GetProperty(PR_TEXT)), "two\r\n");
  EXPECT_TRUE(PropAsBool(m.GetProperty(PR_PLAYING)));  // not the last page
  m.SetProperty(PR_INDEX, int32_t{2});
  w.Frames(3);
  EXPECT_FALSE(PropAsBool(m.GetProperty(PR_PLAYING)));
}

TEST(MessageWindow, TextInsWithWaitHoldsTheScriptUntilTextClr) {
  MessageWorld w;
  // The TextIns carries the continue byte: waiting, it still ends each tick.
  w.Page("clear.nsb", "TextClr `\"m\"`\n");
  w.Run(Window("PR_DELAY=`0` PR_TEXTDELAY=`0`") +
            "TextIns markup\"text\" target=`\"m\"` wait=`TRUE`\n"
            "VarNew \"after\" type=int value=`1`\n",
        10);
  EXPECT_FALSE(w.Has("after"));
  EXPECT_EQ(w.calls->index(), 1);
  w.Window().SetProperty(PR_ONLBTNDOWN, std::string("clear.nsb"));
  w.list.input().MouseMove(20, 30);
  w.list.input().MouseDown(true);
  w.Frames(2);
  EXPECT_EQ(w.Int("after"), 1);
  EXPECT_EQ(w.Window().PageCount(), 0);
}

TEST(MessageWindow, TextInsWithoutWaitOrWithoutAWindowGoesOnAtOnce) {
  MessageWorld w;
  w.Run(Window() +
            "TextIns markup\"text\" target=`\"m\"`\n"
            "TextIns markup\"text\" target=`\"nobody\"` wait=`TRUE`\n"
            "VarNew \"after\" type=int value=`1`\n",
        1);
  EXPECT_EQ(w.Int("after"), 1);
}

// ---- events ----

TEST(MessageWindow, AdjacentInlineEventsAreHandedOnInOrderAfterTheFade) {
  MessageWorld w;
  w.Page("notify.nsb", "Calc `got = got ++ @ParamStr[0] ++ \";\"`\n");
  w.Run("VarNew \"got\" type=string\n" +
            Window("PR_DELAY=`60` PR_TEXTDELAY=`0` PR_ONNOTIFY=`\"notify.nsb\"`") +
            "TextIns markup\"ab<EVENT VALUE=\\\"one\\\"><EVENT VALUE=\\\"two\\\">c\" "
            "target=`\"m\"`\n",
        3);
  // The fade takes four frames (64 a frame): nothing yet.
  EXPECT_EQ(w.Str("got"), "");
  EXPECT_EQ(w.Window().RevealedText(), "ab");
  w.Frames(8);
  EXPECT_EQ(w.Str("got"), "one;two;");
  w.Frames(8);
  EXPECT_EQ(w.Window().RevealedText(), "abc");
}

TEST(MessageWindow, PageStartSaysWhetherThePageWasReadBefore) {
  MessageWorld w;
  w.Page("start.nsb", "Calc `starts = starts ++ @ParamStr[0]`\n");
  w.Run("VarNew \"starts\" type=string\n" +
            Window("PR_DELAY=`0` PR_TEXTDELAY=`0` PR_ONPLAYSTART=`\"start.nsb\"`") +
            "TextIns markup\"read me\" target=`\"m\"` history=`TRUE`\n"
            "Wait time=`200`\n"
            "TextIns markup\"read me\" target=`\"m\"` history=`TRUE`\n",
        30);
  // The second TextIns is another command: its page is new. Showing the first again is not.
  EXPECT_EQ(w.Str("starts"), "00");
  EXPECT_TRUE(w.reads.IsRead("main.nsb", 2, 0));
  EXPECT_TRUE(w.reads.IsRead("main.nsb", 4, 0));
  w.Window().InsertText(true, "main.nsb", 2);
  w.Frames(3);
  EXPECT_EQ(w.Str("starts"), "001");
}

TEST(MessageWindow, APageLeftBeforeItsEndIsInTheHistoryButNotRead) {
  MessageWorld w;
  w.Run(Window("PR_DELAY=`0` PR_TEXTDELAY=`256`") +
            "TextIns markup\"<WAIT VALUE=500>slow<BR CLEAR>next\" target=`\"m\"` history=`TRUE`\n",
        3);
  w.Window().SetPageIndex(1);
  w.Frames(3);
  EXPECT_FALSE(w.reads.IsRead("main.nsb", 1, 0));
  const auto& entries = w.histories.Default().history.entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].page, "main.nsb");
  EXPECT_EQ(entries[0].page_index, 0);
}

TEST(MessageWindow, ALinkClickRunsItsHandlerWithTheLinkText) {
  MessageWorld w;
  w.Page("link.nsb",
         "Calc `got = @ParamStr[0] ++ \"|\" ++ @ParamStr[1] ++ \"|\" ++ @ParamStr[2]`\n");
  w.Run("VarNew \"got\" type=string\n" +
            Window("PR_DELAY=`0` PR_TEXTDELAY=`0` PR_ONLINK=`\"link.nsb\"` "
                   "PR_ONLBTNDOWN=`\"never.nsb\"`") +
            "TextIns markup\"<A HREF=\\\"go\\\\nnow\\\">ab</A>cd\" target=`\"m\"`\n",
        5);
  // Over "b": the hover runs from "a"; the window's own button-down label is not posted.
  w.list.input().MouseMove(10 + 12, 20 + 4);
  w.Frames(1);
  w.list.input().MouseDown(true);
  w.Frames(2);
  EXPECT_EQ(w.Str("got"), "ab|go|now");
  EXPECT_EQ(w.ClockOf("<Event>never.nsb"), -1);
}

// ---- history ----

TEST(MessageHistory, AnUnformattedHistoryKeepsItsMaximumAndTheNames) {
  TNovuNewHistory history;
  history.max_count = 3;
  for (int i = 0; i < 5; ++i) {
    TNovuNewHistory::Pending entry;
    entry.page = "p.nsb";
    entry.command_index = i;
    entry.window = "m";
    history.Open({}, entry);
    history.Close("m", nullptr, nullptr);
  }
  ASSERT_EQ(history.entries().size(), 3u);
  EXPECT_EQ(history.EntryName(0), "p.nsb");
  EXPECT_EQ(history.entries()[0].command_index, 2);
  EXPECT_EQ(history.Count(), 3);
}

TEST(MessageHistory, AFormattedHistoryStacksPagesToItsHeightAndCallHistClamps) {
  MessageWorld w;
  // Pages of 3 rows of 30 pixels 10 apart (110) plus 10 of line spacing after each (120): two
  // fit in a record of 300.
  std::string text;
  for (int p = 0; p < 4; ++p) text += std::string(p > 0 ? "<BR CLEAR>" : "") + "x<BR>x<BR>x";
  w.Run(Window("PR_HEIGHT=`300` PR_FONTHEIGHT=`30` PR_DELAY=`0` PR_TEXTDELAY=`0`") +
            "MesNew PR_NAME=`\"fmt\"` PR_WIDTH=`300` PR_HEIGHT=`300` PR_FONTHEIGHT=`30` "
            "PR_LINESPACE=`10`\n"
            "FormatHist `\"fmt\"` `\"log\"`\n"
            "TextIns markup\"" +
            text + "\" target=`\"m\"` history=`TRUE`\n",
        3);
  TNovuMes& m = w.Window();
  ASSERT_EQ(m.PageCount(), 4);
  for (int p = 1; p < 4; ++p) m.SetPageIndex(p);
  m.ClearText();
  const TNovuHistoryFormat* log = w.histories.Find("log");
  ASSERT_NE(log, nullptr);
  ASSERT_EQ(log->history.records().size(), 2u);
  EXPECT_EQ(log->history.records()[0].entries.size(), 2u);
  EXPECT_EQ(log->history.records()[0].total_height, 240);
  EXPECT_EQ(w.histories.Count(*log), 480);
  // The unformatted default history counts pages.
  EXPECT_EQ(w.histories.Count(w.histories.Default()), 4);
  // From pixel 50, 100 pixels: the first two entries, the first 50 pixels above the top.
  w.Page("show.nsb", "CallHist `\"m\"` `50` `100` `FALSE` `\"log\"`\n");
  w.Page("far.nsb", "CallHist `\"m\"` `-5` `100000` `FALSE` `\"log\"`\n");
  w.Page("beyond.nsb", "CallHist `\"m\"` `480` `10` `FALSE` `\"log\"`\n");
  w.Start("show.nsb");
  w.Frames(2);
  EXPECT_EQ(m.record_mode(), kMesShowsHistory);
  EXPECT_EQ(m.history_offset(), -50);
  EXPECT_EQ(m.history_record().entries.size(), 2u);
  ASSERT_EQ(m.PageCount(), 1);
  EXPECT_EQ(m.pages()[0]->rows.size(), 6u);
  EXPECT_EQ(m.pages()[0]->rows[0]->y, -50);
  // Start -5 is 0, the count is cut to what there is: all four entries.
  w.Start("far.nsb");
  w.Frames(2);
  EXPECT_EQ(m.history_offset(), 0);
  EXPECT_EQ(m.history_record().entries.size(), 4u);
  // A start beyond the history shows nothing and leaves the window as it is.
  w.Start("beyond.nsb");
  w.Frames(2);
  EXPECT_EQ(m.history_record().entries.size(), 4u);
}

TEST(MessageHistory, FormatHistTakesTheTemplatesSettingsOrResets) {
  MessageWorld w;
  w.Run(
      "MesNew PR_NAME=`\"fmt\"` PR_WIDTH=`300` PR_HEIGHT=`200` PR_FONTHEIGHT=`20` "
      "PR_FONTBORDER=`1` PR_FONTSHADOW=`2` PR_LINESPACE=`4`\n"
      "FormatHist `\"fmt\"` `\"log\"`\n"
      "FormatHist `\"fmt\"` `\"gone\"`\n"
      "FormatHist `\"\"` `\"gone\"`\n",
      1);
  const TNovuHistoryFormat* log = w.histories.Find("log");
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(log->layout.font_size, 20);
  EXPECT_EQ(log->layout.border_width, 1);
  EXPECT_EQ(log->layout.shadow_offset, 2);
  EXPECT_EQ(log->layout.width, 300);
  EXPECT_EQ(log->layout.height, 200);
  EXPECT_EQ(log->layout.line_spacing, 4);
  // No template (the empty name is not the screen here): every setting 0, an unformatted history.
  const TNovuHistoryFormat* gone = w.histories.Find("gone");
  ASSERT_NE(gone, nullptr);
  EXPECT_EQ(gone->layout.width, 0);
  EXPECT_EQ(gone->layout.font_size, 0);
}

// ---- the saved form ----

std::vector<uint8_t> Saved(const TNovuObject& object) {
  BinaryWriter out;
  object.SaveToStream(out);
  return out.Take();
}

TEST(MessageSavedForm, AWindowMidRevealRoundTripsByteForByte) {
  MessageWorld w;
  w.Run(Window("PR_DELAY=`60` PR_TEXTDELAY=`256` PR_ONNOTIFY=`\"n.nsb\"` PR_ONLINK=`\"l.nsb\"`") +
            "VarNew \"who\" type=string value=`\"ななし\"`\n"
            "TextIns markup\"<WAIT VALUE=30>ab<VAR NAME=\\\"who\\\">cd<BR CLEAR>two\" "
            "target=`\"m\"` history=`TRUE`\n",
        4);
  TNovuMes& m = w.Window();
  const std::vector<uint8_t> bytes = Saved(m);

  auto copy = w.list.CreateByType(LT_MES);
  BinaryReader in(bytes);
  copy->LoadFromStream(in, ObjectLoadContext{kObjectLayoutVersion});
  EXPECT_TRUE(in.AtEnd());
  auto& loaded = dynamic_cast<TNovuMes&>(*copy);
  EXPECT_EQ(loaded.PageCount(), 2);
  EXPECT_EQ(loaded.page_index(), 0);
  EXPECT_EQ(loaded.RevealedText(), m.RevealedText());
  EXPECT_EQ(Saved(loaded), bytes);
}

TEST(MessageSavedForm, APageStateBlockThatDoesNotMatchThePagesIsSkipped) {
  MessageWorld w;
  w.Run(Window("PR_DELAY=`0` PR_TEXTDELAY=`0`") + "TextIns markup\"ab\" target=`\"m\"`\n", 3);
  std::vector<uint8_t> bytes = Saved(w.Window());
  // The block is last: its length, then the state of the one page. Cut it short by one alpha,
  // as a save of a text that lays out differently now would be.
  const size_t block_length_at = bytes.size() - 4 - 4 - 4 - 4 - 1 - 4 - 4 * 2;
  int32_t length = 0;
  std::memcpy(&length, bytes.data() + block_length_at, 4);
  ASSERT_EQ(length, 4 + 4 + 4 + 1 + 4 + 4 * 2);
  length -= 4;
  std::memcpy(bytes.data() + block_length_at, &length, 4);
  bytes.resize(bytes.size() - 4);
  auto copy = w.list.CreateByType(LT_MES);
  BinaryReader in(bytes);
  copy->LoadFromStream(in, ObjectLoadContext{kObjectLayoutVersion});
  EXPECT_TRUE(in.AtEnd());
  auto& loaded = dynamic_cast<TNovuMes&>(*copy);
  ASSERT_EQ(loaded.PageCount(), 1);
  // The page starts over: nothing of the damaged block was taken.
  EXPECT_EQ(loaded.reveal()->row, 0);
  EXPECT_EQ(loaded.RevealedText(), "");
}

}  // namespace
}  // namespace novu
