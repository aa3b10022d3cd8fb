#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/font_lookup.h"
#include "platform/toolbar_layout.h"
#include "platform/toolbar_painter.h"

namespace novu::platform {
namespace {

TEST(ToolbarLayout, ButtonsSitSideBySideInTheDock) {
  struct Case {
    ToolbarButton button;
    int scale;
    PixelRect rect;
  };
  const Case cases[] = {
      {ToolbarButton::Quit, 1, {2, 2, 69, 20}},
      {ToolbarButton::FullScreen, 1, {69, 2, 136, 20}},
      {ToolbarButton::Quit, 2, {4, 4, 138, 40}},
      {ToolbarButton::FullScreen, 2, {138, 4, 272, 40}},
      {ToolbarButton::None, 1, {}},
  };
  for (const Case& c : cases) {
    PixelRect r = ToolbarButtonRect(c.button, c.scale);
    EXPECT_EQ(r.left, c.rect.left);
    EXPECT_EQ(r.top, c.rect.top);
    EXPECT_EQ(r.right, c.rect.right);
    EXPECT_EQ(r.bottom, c.rect.bottom);
  }
  // 67 x 18 each, inside the 22-pixel dock.
  PixelRect quit = ToolbarButtonRect(ToolbarButton::Quit, 1);
  EXPECT_EQ(quit.right - quit.left, kToolbarButtonWidth);
  EXPECT_EQ(quit.bottom - quit.top, kToolbarButtonHeight);
  EXPECT_EQ(kDockHeight, 22);
}

TEST(ToolbarLayout, FindsTheButtonUnderThePointer) {
  struct Case {
    int x, y, scale;
    ToolbarButton button;
  };
  const Case cases[] = {
      {2, 2, 1, ToolbarButton::Quit},        {68, 19, 1, ToolbarButton::Quit},
      {69, 2, 1, ToolbarButton::FullScreen}, {135, 19, 1, ToolbarButton::FullScreen},
      {136, 10, 1, ToolbarButton::None},     {1, 10, 1, ToolbarButton::None},
      {10, 20, 1, ToolbarButton::None},      {10, 1, 1, ToolbarButton::None},
      {137, 39, 2, ToolbarButton::Quit},     {138, 39, 2, ToolbarButton::FullScreen},
      {271, 40, 2, ToolbarButton::None},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToolbarButtonAt(c.x, c.y, c.scale), c.button) << c.x << "," << c.y << " x" << c.scale;
  }
}

TEST(ToolbarLayout, CaptionsAreTheSystemTexts) {
  EXPECT_EQ(ToolbarButtonCaption(ToolbarButton::Quit), "終了");
  EXPECT_EQ(ToolbarButtonCaption(ToolbarButton::FullScreen), "画面切替");
  EXPECT_TRUE(ToolbarButtonCaption(ToolbarButton::None).empty());
}

struct DockImage {
  int width;
  int scale;
  std::vector<uint32_t> pixels;

  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }

  // The colours inside the button, its one-pixel (times the scale) border left out.
  std::set<uint32_t> ColoursInside(ToolbarButton button) const {
    PixelRect r = ToolbarButtonRect(button, scale);
    std::set<uint32_t> colours;
    for (int y = r.top + scale; y < r.bottom - scale; ++y) {
      for (int x = r.left + scale; x < r.right - scale; ++x) colours.insert(At(x, y));
    }
    return colours;
  }
};

DockImage Paint(ToolbarPainter& painter, int width, int scale, ToolbarState state = {}) {
  DockImage image{width, scale,
                  std::vector<uint32_t>(static_cast<size_t>(width) * kDockHeight * scale, 0xDEAD)};
  painter.Paint(image.pixels, width, scale, state);
  return image;
}

TEST(ToolbarPainter, DrawsBothCaptionsWithTheInstalledFont) {
  ToolbarPainter painter = ToolbarPainter::WithInstalledFont();
  if (!painter.HasCaptions()) GTEST_SKIP() << "no Japanese font installed";
  for (int scale : {1, 2}) {
    SCOPED_TRACE(scale);
    DockImage image = Paint(painter, 300, scale);
    EXPECT_EQ(image.At(0, 0), kDockColour);
    EXPECT_EQ(image.At(299, kDockHeight * scale - 1), kDockColour);
    for (ToolbarButton button : kToolbarButtons) {
      std::set<uint32_t> colours = image.ColoursInside(button);
      // Face, full ink and the anti-aliased shades between them.
      EXPECT_TRUE(colours.count(kButtonFaceColour));
      EXPECT_GE(colours.size(), 4u);
      EXPECT_TRUE(colours.count(kCaptionColour));
    }
  }
}

TEST(ToolbarPainter, WithoutFontPaintsPlainButtons) {
  ToolbarPainter painter(nullptr);
  EXPECT_FALSE(painter.HasCaptions());
  DockImage image = Paint(painter, 200, 1);
  for (ToolbarButton button : kToolbarButtons) {
    EXPECT_EQ(image.ColoursInside(button), std::set<uint32_t>{kButtonFaceColour});
    PixelRect r = ToolbarButtonRect(button, 1);
    EXPECT_EQ(image.At(r.left, r.top), kButtonBorderColour);
  }
  EXPECT_EQ(image.At(199, 10), kDockColour);
}

TEST(ToolbarPainter, ShowsHotAndPressedButtons) {
  ToolbarPainter painter(nullptr);
  DockImage image = Paint(painter, 200, 1, {ToolbarButton::FullScreen, ToolbarButton::FullScreen});
  EXPECT_EQ(image.ColoursInside(ToolbarButton::FullScreen), std::set<uint32_t>{kPressedFaceColour});
  EXPECT_EQ(image.ColoursInside(ToolbarButton::Quit), std::set<uint32_t>{kButtonFaceColour});
  // Pressed, then dragged off the button: only the other one is hot.
  image = Paint(painter, 200, 1, {ToolbarButton::Quit, ToolbarButton::FullScreen});
  EXPECT_EQ(image.ColoursInside(ToolbarButton::Quit), std::set<uint32_t>{kHotFaceColour});
  EXPECT_EQ(image.ColoursInside(ToolbarButton::FullScreen), std::set<uint32_t>{kButtonFaceColour});
}

TEST(ToolbarPainter, ClipsToANarrowWindowAndIgnoresAShortBuffer) {
  ToolbarPainter painter = ToolbarPainter::WithInstalledFont();
  DockImage narrow = Paint(painter, 40, 1);  // cuts through the first button
  EXPECT_EQ(narrow.At(0, 0), kDockColour);
  EXPECT_NE(narrow.At(39, 10), 0xDEADu);

  std::vector<uint32_t> too_short(100, 0xDEAD);
  painter.Paint(too_short, 100, 1, {});
  EXPECT_EQ(too_short, std::vector<uint32_t>(100, 0xDEAD));
}

}  // namespace
}  // namespace novu::platform
