// Labels laid out and drawn over the fixed glyph source: a single-byte character of font height
// h advances h / 2 with a box max(1, h / 2 - 2) wide starting one pixel right of the pen, a
// two-byte one advances h with a box h - 2 wide; both boxes are ascent - 1 high.
#include <gtest/gtest.h>

#include "controls/novu_label.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "label_fixtures.h"

namespace novu {
namespace {

using testing::LabelScene;
using testing::Raw32;

constexpr int32_t kWhite = 0xffffff;
const std::string kHiragana = "\x82\xa0";  // あ, one two-byte character

// The columns of screen row `y` between x0 and x1 that are not background, as a string of
// '#' and '.'.
std::string Row(LabelScene& s, int y, int x0, int x1) {
  std::string out;
  for (int x = x0; x < x1; ++x) out += s.PixelAt(x, y) != 0 ? '#' : '.';
  return out;
}

TNovuLabel& MakeLabel(LabelScene& s, const std::string& text, int32_t height = 12,
                      int32_t spacing = 0) {
  auto& label = s.Add<TNovuLabel>(LT_LABEL, "label");
  label.SetProperty(PR_FONTHEIGHT, height);
  label.SetProperty(PR_LINESPACE, spacing);
  label.SetProperty(PR_FONTCOLOR, kWhite);
  label.SetProperty(PR_TEXT, text);
  return label;
}

TEST(Label, TextSizeCountsTheSpacingAfterEveryLine) {
  LabelScene s;
  TNovuLabel& label = MakeLabel(s, "A\r\nBC", 12, 4);
  EXPECT_EQ(label.text_height(), 32);  // (12 + 4) * 2
  EXPECT_EQ(label.text_width(), 12);   // the wider line: two advances of 6
  EXPECT_EQ(label.width(), 12);
  EXPECT_EQ(label.height(), 32);
  EXPECT_EQ(PropAsStr(label.GetProperty(PR_TEXT)), "A\r\nBC");
  // A film places the block without the spacing after the last line.
  EXPECT_EQ(label.TextBlockSize(), (Point{12, 28}));

  label.SetProperty(PR_ZOOMY, 512);
  EXPECT_EQ(label.height(), 64);
  label.SetProperty(PR_ZOOMX, 0);
  EXPECT_EQ(PropAsInt(label.GetProperty(PR_ZOOMX)), 1);
  EXPECT_EQ(label.width(), 0);  // 1 * 12 / 256
}

TEST(Label, LineEndsOfEveryKindSplitAndATrailingOneIsDropped) {
  struct Case {
    std::string text;
    size_t lines;
  };
  const Case cases[] = {{"A\nBC\n", 2}, {"A\rBC", 2}, {"A\r\n\r\nBC", 3}, {"", 0}, {"\n", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    LabelScene s;
    TNovuLabel& label = MakeLabel(s, c.text);
    EXPECT_EQ(label.lines().size(), c.lines);
    EXPECT_EQ(label.text_height(), static_cast<int32_t>(12 * c.lines));
  }
}

TEST(Label, EmptyTextHasNoSizeAndDrawsNothing) {
  LabelScene s;
  TNovuLabel& label = MakeLabel(s, "");
  label.SetBounds(10, 10, label.width(), label.height());
  s.Draw();
  EXPECT_EQ(label.width(), 0);
  EXPECT_EQ(label.height(), 0);
  EXPECT_EQ(Row(s, 12, 0, 40), std::string(40, '.'));
}

TEST(Label, LinesAlignLeftCentreAndRight) {
  // "A" (advance 6, box 1..4) beside the 12-pixel line "BC".
  struct Case {
    uint8_t alignment;
    std::string first_row;
  };
  const Case cases[] = {
      {0, ".####......."},
      {1, "....####...."},
      {2, ".......####."},
      {7, ".......####."},  // any other value aligns right
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int{c.alignment});
    LabelScene s;
    TNovuLabel& label = MakeLabel(s, "A\r\nBC");
    label.SetProperty(PR_HALIGN, int32_t{c.alignment});
    label.SetLeft(20);
    label.SetTop(30);
    s.Draw();
    EXPECT_EQ(Row(s, 30 + 5, 20, 32), c.first_row);
    EXPECT_EQ(Row(s, 30 + 12 + 5, 20, 32), ".####..####.");
    ASSERT_EQ(label.line_rects().size(), 2u);
  }
}

TEST(Label, FlipsMirrorOnlyWhenTheLabelIsScaled) {
  // "Aあ" is 18 pixels wide: the A box at 1..4, the あ box at 7..16.
  const std::string plain = ".####..##########.";
  const std::string mirrored = ".##########..####.";
  struct Case {
    int32_t zoom;
    bool flip;
    std::string row;  // every other column at zoom 512
  };
  const Case cases[] = {
      {256, false, plain},
      {256, true, plain},  // the flat path paints the coverage as it lies
      {512, false, plain},
      {512, true, mirrored},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.zoom) + (c.flip ? " flipped" : ""));
    LabelScene s;
    TNovuLabel& label = MakeLabel(s, "A" + kHiragana);
    label.SetProperty(PR_ZOOMX, c.zoom);
    label.SetProperty(PR_FLIPH, c.flip);
    label.SetLeft(100);
    label.SetTop(0);
    s.Draw();
    // A flip also moves the anchor point to the other edge (as for every control).
    const int x0 = label.ScreenX();
    const int step = c.zoom / 256;
    std::string row;
    for (int x = 0; x < 18; ++x) row += s.PixelAt(x0 + x * step, 5) != 0 ? '#' : '.';
    EXPECT_EQ(row, c.row);
  }
}

TEST(Label, AlphaFollowsTheBlendConvention) {
  struct Case {
    int32_t alpha;
    uint32_t expected;
  };
  const Case cases[] = {
      // Full coverage at 255 blends with weight 255: ((255 - 255) * 0 + 255 * 255) >> 8.
      {255, Raw32(0xfefefe)}, {128, Raw32(0x7f7f7f)}, {0, 0}, {-1, 0}, {512, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alpha);
    LabelScene s;
    TNovuLabel& label = MakeLabel(s, "A");
    label.SetProperty(PR_ALPHA, c.alpha);
    s.Draw();
    EXPECT_EQ(s.PixelAt(2, 5), c.expected);
  }
}

TEST(Label, TurnedLabelReachesBeyondItsRectangleAndHitsWhereItIsDrawn) {
  LabelScene s;
  TNovuLabel& label = MakeLabel(s, "AAAAAAAA");  // 48 x 12
  label.SetLeft(100);
  label.SetTop(100);
  label.SetProperty(PR_ANGLE, 64);  // a quarter turn about the top left corner
  const Rect bounds = label.GetBoundsRect();
  EXPECT_GE(bounds.Height(), 47);
  EXPECT_LE(bounds.Width(), 14);
  s.Draw();
  int inked = 0;
  for (int y = bounds.top; y < bounds.bottom; ++y) {
    for (int x = bounds.left; x < bounds.right; ++x) inked += s.PixelAt(x, y) != 0;
  }
  EXPECT_GT(inked, 0);
  const MouseModeSet all{IM_NONE, IM_ALL, IM_CLICK, IM_LCLICK, IM_RCLICK};
  EXPECT_EQ(label.HitTest({bounds.left + bounds.Width() / 2, bounds.top + 40}, all), &label);
  EXPECT_EQ(label.HitTest({130, 105}, all), nullptr);  // where the unturned text would lie
}

TEST(Label, HugeFontsAndLongTextsKeepTheSurfacesBounded) {
  LabelScene s;
  std::string many_lines;
  for (int i = 0; i < 3000; ++i) many_lines += "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA\n";
  TNovuLabel& tall = MakeLabel(s, many_lines, 400, 2000000000);
  EXPECT_LE(tall.text_height(), kMaxLabelSide);
  EXPECT_LE(int64_t{tall.colour_surface().Width()} * tall.colour_surface().Height(), kMaxLabelArea);
  EXPECT_EQ(tall.coverage_surface().Width(), tall.colour_surface().Width());
  s.Draw();  // draws what fits
}

TEST(Label, SavedRecordReadsBackIntoTheSameLabel) {
  LabelScene s;
  TNovuLabel& label = MakeLabel(s, "A\r\n" + kHiragana + "B", 16, 3);
  label.SetProperty(PR_FONTNAME, std::string("font"));
  label.SetProperty(PR_FONTSTYLE, 3);
  label.SetProperty(PR_ALPHA, 300);
  label.SetProperty(PR_HALIGN, 2);
  label.SetProperty(PR_ANTIALIAS, true);
  label.SetProperty(PR_FLIPH, true);
  label.SetProperty(PR_FLIPV, true);
  label.SetProperty(PR_ANGLE, 9);
  label.SetProperty(PR_ZOOMX, 300);
  label.SetProperty(PR_ZOOMY, 400);
  label.SetProperty(PR_ONIDLE, std::string("idle.nsb"));
  label.SetProperty(PR_SOURCE, std::string("m.nmt"));
  label.SetProperty(PR_REPEAT, true);
  label.SetProperty(PR_AUTOSCRAP, true);
  label.SetProperty(PR_ONPLAYEND, std::string("end.nsb"));
  label.SetProperty(PR_PAUSED, true);
  BinaryWriter out;
  label.SaveToStream(out);
  const std::string bytes = out.TakeString();

  LabelScene again;
  auto& copy = again.Add<TNovuLabel>(LT_LABEL, "copy");
  BinaryReader in(bytes);
  copy.LoadFromStream(in, ObjectLoadContext{kObjectLayoutVersion});
  EXPECT_TRUE(in.AtEnd());
  BinaryWriter out_again;
  copy.SaveToStream(out_again);
  EXPECT_EQ(out_again.TakeString(), bytes);
  EXPECT_EQ(copy.lines(), label.lines());
  EXPECT_EQ(copy.width(), label.width());
  EXPECT_EQ(copy.height(), label.height());
  EXPECT_EQ(copy.line_rects(), label.line_rects());
}

}  // namespace
}  // namespace novu
