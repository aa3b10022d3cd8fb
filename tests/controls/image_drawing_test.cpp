// Frames drawn by the picture controls, compared pixel by pixel with what the blending rules
// give: blend = ((255 - w) * dst + w * src) >> 8 per channel, add = dst + (w * src) >> 8
// saturated.
#include <gtest/gtest.h>

#include "controls/novu_box.h"
#include "controls/novu_images.h"
#include "controls/novu_tile.h"
#include "image_fixtures.h"

namespace novu {
namespace {

using testing::ImageScene;
using testing::MakeFip;
using testing::Raw32;
using testing::Solid;

int32_t Blend(int32_t dst, int32_t src, int w) {
  int32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = dst >> shift & 0xff, s = src >> shift & 0xff;
    out |= (((255 - w) * d + w * s) >> 8) << shift;
  }
  return out;
}

int32_t Add(int32_t dst, int32_t src, int w) {
  int32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = dst >> shift & 0xff, s = src >> shift & 0xff;
    out |= std::min(255, d + ((w * s) >> 8)) << shift;
  }
  return out;
}

constexpr int32_t kBackground = 0x204060;

TEST(BoxDrawing, AlphaCodesBlendCopyAndAdd) {
  const int32_t fill = 0x80c0ff;
  struct Case {
    int32_t alpha;
    int32_t expected;
  };
  const Case cases[] = {
      {300, Add(kBackground, fill, 44)},  // adds fill * 44 >> 8 per channel
      {128, Blend(kBackground, fill, 128)},
      {255, fill},
      {0, kBackground},
      {-3, kBackground},
      {512, kBackground},
      {700, kBackground},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alpha);
    ImageScene s(kBackground);
    auto& box = s.Add<TNovuBox>(LT_BOX, "box");
    box.SetBounds(10, 10, 20, 20);
    box.SetColor(fill);
    box.SetProperty(PR_ALPHA, c.alpha);
    s.Draw();
    EXPECT_EQ(s.PixelAt(15, 15), Raw32(c.expected));
    EXPECT_EQ(s.PixelAt(30, 30), Raw32(kBackground));
  }
}

TEST(BoxDrawing, BorderFramesTheFill) {
  ImageScene s(kBackground);
  auto& box = s.Add<TNovuBox>(LT_BOX, "box");
  box.SetBounds(10, 10, 20, 20);
  box.SetColor(-1);
  box.SetProperty(PR_BORDERWIDTH, 2);
  box.SetProperty(PR_BORDERCOLOR, testing::kWhite);
  s.Draw();
  EXPECT_EQ(s.PixelAt(10, 10), Raw32(testing::kWhite));
  EXPECT_EQ(s.PixelAt(11, 20), Raw32(testing::kWhite));
  EXPECT_EQ(s.PixelAt(28, 28), Raw32(testing::kWhite));
  EXPECT_EQ(s.PixelAt(12, 12), Raw32(kBackground));  // no fill inside
  box.SetColor(testing::kBlue);
  s.Draw();
  EXPECT_EQ(s.PixelAt(12, 12), Raw32(testing::kBlue));
  EXPECT_EQ(s.PixelAt(10, 10), Raw32(testing::kWhite));
}

// A 4 x 4 picture with a different colour in each 2 x 2 quarter.
testing::FrameSpec Quarters() {
  testing::FrameSpec f;
  f.colour = [](int x, int y) {
    const int32_t colours[] = {testing::kRed, testing::kGreen, testing::kBlue, testing::kWhite};
    return colours[(y / 2) * 2 + x / 2];
  };
  return f;
}

TEST(PictureDrawing, AlphaCodesOverAKnownBackground) {
  const int32_t src = 0x3070b0;
  struct Case {
    int32_t alpha;
    int32_t expected;
  };
  const Case cases[] = {
      {128, Blend(kBackground, src, 128)},
      {255, src},
      {400, Add(kBackground, src, 144)},
      {0, kBackground},
      {512, kBackground},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alpha);
    ImageScene s(kBackground);
    s.store.files["p.fip"] = MakeFip({Solid(src, 4, 4)});
    auto& image = s.Add<TNovuImages>(LT_IMAGES, "img");
    image.SetProperty(PR_SOURCE, std::string("p.fip"));
    image.SetLeft(50);
    image.SetTop(60);
    image.SetProperty(PR_ALPHA, c.alpha);
    s.Draw();
    EXPECT_EQ(s.PixelAt(51, 61), Raw32(c.expected));
    EXPECT_EQ(s.PixelAt(54, 61), Raw32(kBackground));
  }
}

TEST(PictureDrawing, ColourKeyAndMaskLeaveTheBackground) {
  ImageScene s(kBackground);
  testing::FrameSpec keyed = Quarters();
  keyed.key_colour = testing::kGreen;
  testing::FrameSpec masked = Quarters();
  masked.mask = [](int x, int) { return static_cast<uint8_t>(x == 0 ? 0 : 255); };
  s.store.files["k.fip"] = MakeFip({keyed});
  s.store.files["m.fip"] = MakeFip({masked});
  auto& key = s.Add<TNovuImages>(LT_IMAGES, "key");
  key.SetProperty(PR_SOURCE, std::string("k.fip"));
  auto& mask = s.Add<TNovuImages>(LT_IMAGES, "mask");
  mask.SetProperty(PR_SOURCE, std::string("m.fip"));
  mask.SetLeft(10);
  s.Draw();
  EXPECT_EQ(s.PixelAt(0, 0), Raw32(testing::kRed));
  EXPECT_EQ(s.PixelAt(2, 0), Raw32(kBackground));   // keyed green
  EXPECT_EQ(s.PixelAt(10, 0), Raw32(kBackground));  // mask 0
  EXPECT_EQ(s.PixelAt(11, 0), Raw32(testing::kRed));
}

// Only the frame's draw regions reach the screen, mirrored with the picture.
TEST(PictureDrawing, DrawRegionsLimitWhatIsDrawn) {
  ImageScene s(kBackground);
  testing::FrameSpec framed = Solid(testing::kRed, 6, 2);
  framed.regions = {Rect{0, 0, 1, 2}, Rect{3, 0, 5, 1}};
  s.store.files["r.fip"] = MakeFip({framed});
  auto& image = s.Add<TNovuImages>(LT_IMAGES, "img");
  image.SetProperty(PR_SOURCE, std::string("r.fip"));
  const auto rows = [&s] {
    std::string out;
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 6; ++x) out += s.PixelAt(x, y) == Raw32(testing::kRed) ? '#' : '.';
      out += '|';
    }
    return out;
  };
  s.Draw();
  EXPECT_EQ(rows(), "#..##.|#.....|");
  image.SetProperty(PR_FLIPH, true);
  image.SetLeft(5);  // the anchor of a mirrored picture is its right edge
  s.Draw();
  EXPECT_EQ(rows(), ".##..#|.....#|");
}

TEST(PictureDrawing, ZoomedPictureRepeatsEachPixel) {
  ImageScene s(kBackground);
  s.store.files["q.fip"] = MakeFip({Quarters()});
  auto& image = s.Add<TNovuImages>(LT_IMAGES, "img");
  image.SetProperty(PR_SOURCE, std::string("q.fip"));
  image.SetProperty(PR_ZOOMX, 512);
  image.SetProperty(PR_ZOOMY, 512);
  s.Tick(0);
  ASSERT_EQ(image.width(), 8);
  s.Draw();
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const int32_t colours[] = {testing::kRed, testing::kGreen, testing::kBlue, testing::kWhite};
      EXPECT_EQ(s.PixelAt(x, y), Raw32(colours[(y / 4) * 2 + x / 4])) << x << "," << y;
    }
  }
  EXPECT_EQ(s.PixelAt(8, 0), Raw32(kBackground));
}

TEST(PictureDrawing, QuarterTurnMovesTheQuarters) {
  ImageScene s(kBackground);
  s.store.files["q.fip"] = MakeFip({Quarters()});
  auto& image = s.Add<TNovuImages>(LT_IMAGES, "img");
  image.SetProperty(PR_SOURCE, std::string("q.fip"));
  image.SetLeft(20);
  image.SetTop(20);
  image.SetProperty(PR_ANGLE, 64);
  s.Draw();
  // A quarter turn clockwise on screen: red goes from top left to top right, green to bottom
  // right, white to bottom left, blue to top left. The pivot is the picture's pixel (2, 2) on
  // the control's centre pixel (22, 22), so the turned 4 x 4 picture covers x 21..24.
  const char* expected[] = {
      "........",  // y 18
      "........",  // y 19
      "...BBRR.",  // y 20
      "...BBRR.",  //
      "...WWGG.",  //
      "...WWGG.",  //
      "........",  //
      "........",  // y 25
  };
  for (int y = 18; y < 26; ++y) {
    std::string row;
    for (int x = 18; x < 26; ++x) {
      const uint32_t p = s.PixelAt(x, y);
      row += p == Raw32(testing::kRed)     ? 'R'
             : p == Raw32(testing::kGreen) ? 'G'
             : p == Raw32(testing::kBlue)  ? 'B'
             : p == Raw32(testing::kWhite) ? 'W'
             : p == Raw32(kBackground)     ? '.'
                                           : '?';
    }
    EXPECT_EQ(row, expected[y - 18]) << "y " << y;
  }
  // Turning it back leaves no trace of the turned picture.
  image.SetProperty(PR_ANGLE, 0);
  s.list.Paint();
  EXPECT_EQ(s.PixelAt(24, 21), Raw32(kBackground));
  EXPECT_EQ(s.PixelAt(20, 20), Raw32(testing::kRed));
}

TEST(TileDrawing, CopiesAtTheDistanceLeaveGaps) {
  ImageScene s(kBackground);
  s.store.files["t.fip"] = MakeFip({Solid(testing::kRed, 2, 2)});
  auto& tile = s.Add<TNovuTile>(LT_TILE, "tile");
  tile.SetProperty(PR_SOURCE, std::string("t.fip"));
  tile.SetBounds(10, 10, 12, 5);
  tile.SetProperty(PR_DISTANCEX, 5);
  tile.SetProperty(PR_DISTANCEY, 3);
  tile.SetProperty(PR_SCROLLX, 1);
  s.Draw();
  // Columns: scrolled one pixel left, copies at 10 + 5k - 1 two pixels wide.
  std::string row0, row2;
  for (int x = 10; x < 22; ++x) {
    row0 += s.PixelAt(x, 10) == Raw32(testing::kRed) ? '#' : '.';
    row2 += s.PixelAt(x, 12) == Raw32(testing::kRed) ? '#' : '.';
  }
  EXPECT_EQ(row0, "#...##...##.");
  EXPECT_EQ(row2, "............");
  EXPECT_EQ(s.PixelAt(10, 13), Raw32(testing::kRed));  // second row of copies
  EXPECT_EQ(s.PixelAt(9, 10), Raw32(kBackground));     // nothing outside the control
  EXPECT_EQ(s.PixelAt(22, 10), Raw32(kBackground));
}

TEST(AnimationDrawing, FramesShowAtTheirTicks) {
  struct Case {
    std::vector<int32_t> colours;
    std::vector<int32_t> ticks;     // elapsed ms before each drawn frame
    std::vector<int32_t> expected;  // colour shown after each tick
  };
  const Case cases[] = {
      {{testing::kRed, testing::kGreen},
       {0, 60, 45, 60},
       {testing::kRed, testing::kRed, testing::kGreen, testing::kGreen}},
      {{testing::kRed, testing::kGreen, testing::kBlue},
       {0, 101, 100, 100},
       {testing::kRed, testing::kGreen, testing::kBlue, testing::kBlue}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.colours.size());
    ImageScene s(kBackground);
    std::vector<testing::FrameSpec> frames;
    for (int32_t colour : c.colours) frames.push_back(Solid(colour, 4, 4, 100));
    s.store.files["a.fip"] = MakeFip(frames);
    auto& image = s.Add<TNovuImages>(LT_IMAGES, "img");
    image.SetProperty(PR_SOURCE, std::string("a.fip"));
    for (size_t i = 0; i < c.ticks.size(); ++i) {
      s.Tick(c.ticks[i]);
      s.Draw();
      EXPECT_EQ(s.PixelAt(1, 1), Raw32(c.expected[i])) << "tick " << i;
    }
  }
}

}  // namespace
}  // namespace novu
