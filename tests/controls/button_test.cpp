#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/novu_button.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "image_fixtures.h"
#include "platform/glyph_source.h"
#include "text/font_pixel.h"

namespace novu {
namespace {

using testing::ImageScene;
using testing::MakeFip;
using testing::Raw32;
using testing::Solid;

constexpr int32_t kGrey = 0x808080;

// A scene with a 20 x 10 button at (100, 50): normal red, hover green, pressed blue, and two
// 30 ms clicked frames in white and grey.
struct ButtonScene {
  ButtonScene() {
    s.list.SetProcessState(&s.state);
    s.store.files["n.fip"] = MakeFip({Solid(testing::kRed, 20, 10)});
    s.store.files["h.fip"] = MakeFip({Solid(testing::kGreen, 20, 10)});
    s.store.files["p.fip"] = MakeFip({Solid(testing::kBlue, 20, 10)});
    s.store.files["c.fip"] =
        MakeFip({Solid(testing::kWhite, 20, 10, 30), Solid(kGrey, 20, 10, 30)});
  }

  TNovuButton& Add(const std::string& name, int32_t left = 100, int32_t top = 50,
                   bool clicked_pictures = false) {
    auto& b = s.Add<TNovuButton>(LT_BUTTON, name);
    b.SetProperty(PR_SOURCE, std::string("n.fip"));
    b.SetProperty(PR_HOVERSOURCE, std::string("h.fip"));
    b.SetProperty(PR_PRESSEDSOURCE, std::string("p.fip"));
    if (clicked_pictures) b.SetProperty(PR_CLICKEDSOURCE, std::string("c.fip"));
    b.SetLeft(left);
    b.SetTop(top);
    return b;
  }

  // One frame of input: the pointer at (x, y), the left button as given.
  void Input(int32_t x, int32_t y, bool press = false, bool release = false) {
    s.list.input().MouseMove(x, y);
    if (press) s.list.input().MouseDown(true);
    if (release) s.list.input().MouseUp();
    s.list.input().ProcessInput(15);
  }

  int Posted(uint8_t event_id) {
    int n = 0;
    for (const auto& e : s.list.queue().entries()) n += e.event_id == event_id ? 1 : 0;
    return n;
  }

  ImageScene s;
};

TEST(Button, HoverAndPressShowTheirPicturesAndAReleaseOverTheButtonClicks) {
  ButtonScene t;
  TNovuButton& b = t.Add("b");
  b.SetProperty(PR_ONNOTIFY, std::string("click.nsb"));
  EXPECT_EQ(t.s.Draw().GetPixel(105, 55), Raw32(testing::kRed));

  t.Input(105, 55);
  EXPECT_EQ(b.state(), TNovuButton::kHover);
  EXPECT_EQ(t.s.Draw().GetPixel(105, 55), Raw32(testing::kGreen));

  t.Input(105, 55, /*press=*/true);
  EXPECT_EQ(b.state(), TNovuButton::kPressed);
  EXPECT_EQ(t.s.Draw().GetPixel(105, 55), Raw32(testing::kBlue));
  EXPECT_EQ(t.Posted(PR_ONLBTNDOWN), 0);  // the press is the button's own
  EXPECT_EQ(t.Posted(PR_ONNOTIFY), 0);

  t.Input(106, 55, false, /*release=*/true);
  ASSERT_EQ(t.Posted(PR_ONNOTIFY), 1);
  EXPECT_EQ(t.s.list.queue().entries().back().handler, "click.nsb");
  EXPECT_TRUE(t.s.list.queue().entries().back().arguments.empty());
  EXPECT_EQ(b.state(), TNovuButton::kHover);  // released, and the pointer still over it
}

TEST(Button, DraggingOffBeforeTheReleaseDoesNotClick) {
  ButtonScene t;
  TNovuButton& b = t.Add("b");
  b.SetProperty(PR_ONNOTIFY, std::string("click.nsb"));
  t.Input(105, 55);
  t.Input(105, 55, /*press=*/true);
  t.Input(300, 300);  // still held, off the button
  EXPECT_EQ(b.state(), TNovuButton::kNormal);
  t.Input(105, 55);  // back on it while held: pressed again
  EXPECT_EQ(b.state(), TNovuButton::kPressed);
  t.Input(300, 300);
  t.Input(300, 300, false, /*release=*/true);
  EXPECT_EQ(t.Posted(PR_ONNOTIFY), 0);
  EXPECT_EQ(b.state(), TNovuButton::kNormal);
}

TEST(Button, AStateWithoutPicturesIsNeverEntered) {
  ButtonScene t;
  auto& b = t.s.Add<TNovuButton>(LT_BUTTON, "bare");
  b.SetProperty(PR_SOURCE, std::string("n.fip"));
  b.SetLeft(100);
  b.SetTop(50);
  t.Input(105, 55);
  EXPECT_EQ(b.state(), TNovuButton::kNormal);
  t.Input(105, 55, true);
  EXPECT_EQ(b.state(), TNovuButton::kNormal);
  EXPECT_EQ(t.s.Draw().GetPixel(105, 55), Raw32(testing::kRed));
}

TEST(Button, AutoScrapWithoutClickedPicturesDeletesTheButtonOnTheNextFrame) {
  ButtonScene t;
  TNovuButton& b = t.Add("b");
  b.SetProperty(PR_AUTOSCRAP, true);
  b.Click();
  EXPECT_NE(t.s.list.FindControl("b"), nullptr);  // still there until the update pass
  t.s.Tick(15);
  EXPECT_EQ(t.s.list.FindControl("b"), nullptr);
}

TEST(Button, TheClickedAnimationPlaysOnceThenDeletesOrReportsItsEnd) {
  for (const bool auto_scrap : {false, true}) {
    SCOPED_TRACE(auto_scrap);
    ButtonScene t;
    TNovuButton& b = t.Add("b", 100, 50, /*clicked_pictures=*/true);
    b.SetProperty(PR_AUTOSCRAP, auto_scrap);
    b.SetProperty(PR_ONPLAYEND, std::string("end.nsb"));
    b.Click();
    EXPECT_EQ(b.state(), TNovuButton::kClicked);
    EXPECT_FALSE(PropAsBool(b.GetProperty(PR_REPEAT)));
    EXPECT_EQ(t.s.Draw().GetPixel(105, 55), Raw32(testing::kWhite));
    b.SetState(TNovuButton::kHover);  // remembered for afterwards
    EXPECT_EQ(b.state(), TNovuButton::kClicked);

    t.s.Tick(20);
    EXPECT_EQ(b.index(), 0);
    t.s.Tick(20);  // 40 ms: the second frame
    EXPECT_EQ(b.index(), 1);
    EXPECT_EQ(t.Posted(PR_ONPLAYEND), 0);
    t.s.Tick(30);  // 70 ms: the last frame's time is up
    if (auto_scrap) {
      EXPECT_EQ(t.s.list.FindControl("b"), nullptr);
      EXPECT_EQ(t.Posted(PR_ONPLAYEND), 0);
    } else {
      ASSERT_EQ(t.s.list.FindControl("b"), &b);
      EXPECT_EQ(t.Posted(PR_ONPLAYEND), 1);
      EXPECT_EQ(b.state(), TNovuButton::kHover);
      EXPECT_TRUE(PropAsBool(b.GetProperty(PR_REPEAT)));
    }
  }
}

struct Group {
  explicit Group(int32_t number, bool allow_all_up = false) {
    for (int i = 0; i < 3; ++i) {
      buttons.push_back(&t.Add("g" + std::to_string(i), 100 + 30 * i));
      buttons.back()->SetProperty(PR_GROUPINDEX, number);
    }
    if (allow_all_up) buttons[0]->SetProperty(PR_ALLOWALLUP, true);
  }
  std::string Selection() const {
    std::string out;
    for (const TNovuButton* b : buttons) out += b->selected() ? '1' : '0';
    return out;
  }
  ButtonScene t;
  std::vector<TNovuButton*> buttons;
};

TEST(ButtonGroup, ExactlyOneIsSelectedUnlessAllMayBeUp) {
  Group g(1);
  EXPECT_EQ(g.Selection(), "100");
  g.buttons[2]->SetProperty(PR_SELECTED, true);
  EXPECT_EQ(g.Selection(), "001");
  EXPECT_EQ(g.buttons[2]->state(), TNovuButton::kPressed);
  EXPECT_EQ(g.buttons[0]->state(), TNovuButton::kNormal);
  // Selecting none selects the first.
  g.buttons[2]->SetProperty(PR_SELECTED, false);
  EXPECT_EQ(g.Selection(), "100");
  // A click on the selected member keeps it; on another moves the selection.
  g.buttons[0]->Click();
  EXPECT_EQ(g.Selection(), "100");
  g.buttons[1]->Click();
  EXPECT_EQ(g.Selection(), "010");

  // Allow-all-up reaches every member: now a click on the selected one lets it up.
  g.buttons[2]->SetProperty(PR_ALLOWALLUP, true);
  EXPECT_TRUE(PropAsBool(g.buttons[0]->GetProperty(PR_ALLOWALLUP)));
  g.buttons[1]->Click();
  EXPECT_EQ(g.Selection(), "000");
  EXPECT_EQ(g.buttons[1]->state(), TNovuButton::kNormal);
}

TEST(ButtonGroup, SelectingAButtonWithoutGroupIsIgnored) {
  ButtonScene t;
  TNovuButton& b = t.Add("b");
  b.SetProperty(PR_SELECTED, true);
  EXPECT_FALSE(b.selected());
  EXPECT_EQ(b.state(), TNovuButton::kNormal);
}

TEST(ButtonGroup, AMemberHoldsItsPressedLookAfterTheRelease) {
  Group g(-2);
  EXPECT_EQ(g.Selection(), "100");
  g.t.Input(135, 55);
  g.t.Input(135, 55, true);
  g.t.Input(135, 55, false, true);
  EXPECT_EQ(g.Selection(), "010");
  EXPECT_EQ(g.buttons[1]->state(), TNovuButton::kPressed);
  g.t.Input(300, 300);  // leaving keeps the selected look
  EXPECT_EQ(g.buttons[1]->state(), TNovuButton::kPressed);
}

TEST(Button, EnterOrSpaceRepeatingClicks) {
  for (const int32_t key : {0x0D, 0x20}) {
    ButtonScene t;
    TNovuButton& b = t.Add("b");
    b.SetProperty(PR_ONNOTIFY, std::string("click.nsb"));
    const std::vector<int32_t> keys{0x41, key};
    b.KeyRepeat(keys);
    EXPECT_EQ(t.Posted(PR_ONNOTIFY), 1) << key;
    b.KeyRepeat(std::vector<int32_t>{0x41});
    EXPECT_EQ(t.Posted(PR_ONNOTIFY), 1) << key;
  }
}

TEST(Button, UnpausingReturnsToTheNormalLook) {
  ButtonScene t;
  TNovuButton& b = t.Add("b");
  t.Input(105, 55);
  ASSERT_EQ(b.state(), TNovuButton::kHover);
  b.SetProperty(PR_PAUSED, true);
  t.Input(106, 55);  // a paused button shows no hover
  EXPECT_EQ(b.state(), TNovuButton::kNormal);
  t.Input(106, 55, true);  // nor takes a press
  EXPECT_EQ(b.state(), TNovuButton::kNormal);
  t.Input(106, 55, false, true);
  b.SetState(TNovuButton::kHover);
  b.SetProperty(PR_PAUSED, false);
  EXPECT_EQ(b.state(), TNovuButton::kNormal);
}

TEST(ButtonCaption, IsCentredAndMovesOnePixelWhenPressed) {
  ButtonScene t;
  text::TFontPixelManager glyphs(std::make_unique<platform::FixedGlyphSource>());
  ImageEnvironment env = t.s.Env();
  env.glyphs = &glyphs;
  auto owned = MakeObject<TNovuButton>(&t.s.list, env);
  TNovuButton& b = *owned;
  t.s.list.base(0).AddChild(std::move(owned));
  t.s.store.files["big.fip"] = MakeFip({Solid(testing::kRed, 40, 30)});
  t.s.store.files["bigp.fip"] = MakeFip({Solid(testing::kBlue, 40, 30)});
  b.SetProperty(PR_SOURCE, std::string("big.fip"));
  b.SetProperty(PR_PRESSEDSOURCE, std::string("bigp.fip"));
  b.SetProperty(PR_FONTHEIGHT, 10);
  b.SetProperty(PR_FONTCOLOR, testing::kGreen);
  b.SetProperty(PR_ANTIALIAS, false);
  b.SetProperty(PR_TEXT, std::string("A"));

  // Fixed glyphs of cell height 10: "A" advances 5 with a 3 x 7 box one pixel in, 1 pixel
  // below the cell top; the label is 5 x 10, placed at ((40 - 5) / 2, (30 - 10) / 2).
  // The label colour is blended through the coverage at weight 255.
  const auto caption_ink = [&](int x, int y) {
    const uint32_t p = t.s.PixelAt(x, y);
    return (p & 0xff00ff) == 0 && (p >> 8 & 0xff) >= 0xfe;
  };
  t.s.Draw();
  EXPECT_EQ(b.caption().width(), 5);
  EXPECT_EQ(b.caption().height(), 10);
  EXPECT_TRUE(caption_ink(17 + 1, 10 + 1));
  EXPECT_EQ(t.s.PixelAt(17, 10 + 1), Raw32(testing::kRed));  // the box starts one pixel in
  b.SetState(TNovuButton::kPressed);
  t.s.Draw();
  EXPECT_EQ(t.s.PixelAt(17 + 1, 10 + 1), Raw32(testing::kBlue));
  EXPECT_TRUE(caption_ink(17 + 2, 10 + 2));
  EXPECT_EQ(PropAsStr(b.GetProperty(PR_TEXT)), "A");
}

TEST(ButtonCaption, SizesAreClampedAndAnEmptyFaceFallsBack) {
  ButtonScene t;
  TNovuButton& b = t.Add("b");
  const struct { int32_t asked, kept; } heights[] = {{0, 1}, {-5, 1}, {12, 12}, {100000, 256}};
  for (const auto& c : heights) {
    b.SetProperty(PR_FONTHEIGHT, c.asked);
    EXPECT_EQ(PropAsInt(b.GetProperty(PR_FONTHEIGHT)), c.kept) << c.asked;
  }
  EXPECT_EQ(b.caption().style().Face(), kCaptionDefaultFont);
  b.SetProperty(PR_FONTNAME, std::string());
  EXPECT_EQ(b.caption().style().Face(), kCaptionDefaultFont);
  b.SetProperty(PR_ANTIALIAS, false);
  EXPECT_EQ(b.caption().style().anti_alias, 0);
  b.SetProperty(PR_ANTIALIAS, true);
  EXPECT_EQ(b.caption().style().anti_alias, 3);
}

std::string SavedBytes(const TNovuObject& object) {
  BinaryWriter out;
  object.SaveToStream(out);
  return out.TakeString();
}

TEST(ButtonSaving, EveryFieldSurvivesTheObjectStream) {
  ButtonScene t;
  TNovuButton& b = t.Add("b", 100, 50, true);
  b.SetProperty(PR_GROUPINDEX, 3);
  b.SetProperty(PR_SELECTED, true);
  b.SetProperty(PR_ALLOWALLUP, true);
  b.SetProperty(PR_ONNOTIFY, std::string("n.nsb"));
  b.SetProperty(PR_ONIDLE, std::string("i.nsb"));
  b.SetProperty(PR_FONTNAME, std::string("Face"));
  b.SetProperty(PR_FONTHEIGHT, 20);
  b.SetProperty(PR_FONTSTYLE, 3);
  b.SetProperty(PR_FONTCOLOR, 0x123456);
  b.SetProperty(PR_ANTIALIAS, false);
  const std::string bytes = SavedBytes(b);

  ButtonScene other;
  other.s.store = t.s.store;
  auto& loaded = other.s.Add<TNovuButton>(LT_BUTTON, "x");
  BinaryReader in(bytes);
  loaded.LoadFromStream(in, {kObjectLayoutVersion});
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(SavedBytes(loaded), bytes);
  EXPECT_EQ(PropAsStr(loaded.GetProperty(PR_CLICKEDSOURCE)), "c.fip");
  EXPECT_EQ(PropAsStr(loaded.GetProperty(PR_HOVERSOURCE)), "h.fip");
  EXPECT_EQ(PropAsInt(loaded.GetProperty(PR_FONTHEIGHT)), 20);
  EXPECT_EQ(PropAsStr(loaded.GetProperty(PR_ONIDLE)), "i.nsb");
  EXPECT_TRUE(loaded.selected());
  EXPECT_EQ(loaded.state(), TNovuButton::kPressed);  // the selection shows again
}

TEST(ButtonSaving, OlderRecordsLackTheCaptionAndTheClickedPictures) {
  ButtonScene t;
  TNovuButton& b = t.Add("b", 100, 50, true);
  b.SetProperty(PR_FONTHEIGHT, 20);
  b.SetProperty(PR_ONIDLE, std::string("i.nsb"));
  const std::string full = SavedBytes(b);
  // A version-136 record ends before the caption block.
  const size_t caption = 4 * 6 + 4 + kCaptionDefaultFont.size() + 1 + 212 + 4 * 2;
  const std::string v136 = full.substr(0, full.size() - caption);
  ButtonScene other;
  other.s.store = t.s.store;
  auto& loaded = other.s.Add<TNovuButton>(LT_BUTTON, "x");
  BinaryReader in(v136);
  loaded.LoadFromStream(in, {136});
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(PropAsStr(loaded.GetProperty(PR_CLICKEDSOURCE)), "c.fip");
  EXPECT_EQ(PropAsInt(loaded.GetProperty(PR_FONTHEIGHT)), 12);
}

TEST(ButtonSaving, ACaptionReadFromARecordHasItsSizesClamped) {
  ButtonScene t;
  TNovuButton& b = t.Add("b");
  std::string bytes = SavedBytes(b);
  const size_t caption = 4 * 6 + 4 + kCaptionDefaultFont.size() + 1 + 212 + 4 * 2;
  const size_t at = bytes.size() - caption;
  const auto put = [&](size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + offset + i] = static_cast<char>(v >> (8 * i));
  };
  put(4, 0x7fffffff);                      // border width
  put(12, 0x80000000);                     // font size
  put(bytes.size() - at - 8, 0xffffff00);  // shadow offset
  auto& loaded = t.s.Add<TNovuButton>(LT_BUTTON, "x");
  BinaryReader in(bytes);
  loaded.LoadFromStream(in, {kObjectLayoutVersion});
  EXPECT_EQ(loaded.caption().style().border_width, CaptionStyle::kMaxBorderWidth);
  EXPECT_EQ(loaded.caption().style().font_height, CaptionStyle::kMinFontHeight);
  EXPECT_EQ(loaded.caption().style().shadow_offset, 0);
}

}  // namespace
}  // namespace novu
