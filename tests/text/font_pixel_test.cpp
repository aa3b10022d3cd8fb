// The glyph cache over the fixed-box glyph source: no installed font is involved, so every
// expected pixel follows from the box sizes of FixedGlyphSource.
#include "text/font_pixel.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/error.h"
#include "render/dibx.h"

namespace novu::text {
namespace {

using platform::FixedGlyphSource;
using render::Rect;
using render::TDIBX;

constexpr uint16_t kHiraganaA = 0x82A0;  // あ
constexpr std::string_view kFace = "face";

struct Fixture {
  FixedGlyphSource* source;
  TFontPixelManager cache;

  Fixture() : Fixture(std::make_unique<FixedGlyphSource>()) {}
  explicit Fixture(std::unique_ptr<FixedGlyphSource> owned)
      : source(owned.get()), cache(std::move(owned)) {}
};

TEST(FontPixelManager, KeepsTheMostRecentlyUsed256Entries) {
  struct Case {
    const char* name;
    bool touch_first_before_overflow;
    uint16_t evicted;
    uint16_t kept;
  };
  const Case cases[] = {
      {"untouched first entry goes", false, 0x8800, 0x8801},
      {"a hit protects the first entry", true, 0x8801, 0x8800},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    // 256 distinct codes, all in one bucket and spread over many: the low byte varies too.
    for (uint16_t i = 0; i < 256; ++i) f.cache.Get(static_cast<uint16_t>(0x8800 + i), kFace, 0, 20);
    ASSERT_EQ(f.cache.Size(), 256u);
    if (c.touch_first_before_overflow) f.cache.Get(0x8800, kFace, 0, 20);
    const int calls = f.source->outline_calls;
    f.cache.Get(0x9000, kFace, 0, 20);  // the 257th distinct character
    EXPECT_EQ(f.source->outline_calls, calls + 1);
    EXPECT_EQ(f.cache.Size(), 256u);
    EXPECT_FALSE(f.cache.Holds(c.evicted, kFace, 0, 20, 3));
    EXPECT_TRUE(f.cache.Holds(c.kept, kFace, 0, 20, 3));
    EXPECT_TRUE(f.cache.Holds(0x9000, kFace, 0, 20, 3));
  }
}

TEST(FontPixelManager, HitsNeedNoRenderingAndKeysTellEntriesApart) {
  Fixture f;
  const auto first = f.cache.Get(kHiraganaA, kFace, 0, 20);
  EXPECT_EQ(f.cache.Get(kHiraganaA, kFace, 0, 20), first);
  EXPECT_EQ(f.source->outline_calls, 1);
  struct Variant {
    uint16_t code;
    std::string_view face;
    int flags, height, level;
  };
  const Variant variants[] = {
      {kHiraganaA + 1, kFace, 0, 20, 3},      {kHiraganaA, "other", 0, 20, 3},
      {kHiraganaA, kFace, kStyleBold, 20, 3}, {kHiraganaA, kFace, 0, 21, 3},
      {kHiraganaA, kFace, 0, 20, 1},
  };
  for (const Variant& v : variants) {
    f.cache.SetLevel(v.level);
    EXPECT_NE(f.cache.Get(v.code, v.face, v.flags, v.height), first);
  }
  EXPECT_EQ(f.source->outline_calls, 1 + static_cast<int>(std::size(variants)));
  EXPECT_EQ(f.cache.Size(), 1 + std::size(variants));
}

TEST(FontPixelManager, EntriesEvictedWhileHeldStayIntact) {
  Fixture f;
  const auto held = f.cache.Get(kHiraganaA, kFace, 0, 20);
  for (uint16_t i = 1; i <= 300; ++i) f.cache.Get(static_cast<uint16_t>(0x9000 + i), kFace, 0, 20);
  ASSERT_FALSE(f.cache.Holds(kHiraganaA, kFace, 0, 20, 3));
  EXPECT_EQ(held->code, kHiraganaA);
  EXPECT_EQ(held->width, 18);
  ASSERT_EQ(held->coverage.size(), 18u * 15u);
  EXPECT_EQ(held->coverage.front(), 255);
  EXPECT_EQ(held->coverage.back(), 255);
}

TEST(FontPixelManager, MapsGreyThroughTheLevelTables) {
  const std::vector<std::vector<uint8_t>> tables = {
      {0, 255},
      {0, 79, 127, 207, 255},
      {0, 43, 55, 67, 79, 91, 103, 115, 159, 171, 183, 195, 207, 219, 231, 243, 255},
      {0,   18,  21,  24,  27,  30,  33,  36,  55,  58,  61,  64,  67,  70,  73,  76,  79,
       82,  85,  88,  91,  94,  97,  100, 119, 122, 125, 128, 131, 134, 137, 140, 143, 146,
       149, 152, 155, 158, 161, 164, 183, 186, 189, 192, 195, 198, 201, 204, 207, 210, 213,
       216, 219, 222, 225, 228, 231, 234, 237, 240, 243, 246, 249, 252, 255},
  };
  for (int level = 0; level <= 3; ++level) {
    SCOPED_TRACE(testing::Message() << "level " << level);
    Fixture f;
    f.source->fill = FixedGlyphSource::Fill::kRamp;
    f.cache.SetLevel(level);
    const auto pixel = f.cache.Get(kHiraganaA, kFace, 0, 40);  // 38 x 31 box: every grey
    const std::vector<uint8_t>& table = tables[static_cast<size_t>(level)];
    ASSERT_EQ(pixel->level, level);
    ASSERT_GT(pixel->coverage.size(), table.size());
    for (size_t i = 0; i < pixel->coverage.size(); ++i) {
      ASSERT_EQ(pixel->coverage[i], table[i % table.size()]) << "pixel " << i;
    }
  }
}

TEST(FontPixelManager, AGreyFailureTurnsTheCacheToLevelZeroForGood) {
  struct Case {
    const char* name;
    bool level0_entry_cached_before;
  };
  for (const Case c : {Case{"fresh", false}, Case{"level-0 entry already cached", true}}) {
    SCOPED_TRACE(c.name);
    Fixture f;
    if (c.level0_entry_cached_before) {
      f.cache.SetLevel(0);
      f.cache.Get(kHiraganaA, kFace, 0, 20);
      f.cache.SetLevel(3);
    }
    f.source->failing_levels = 0b1110;  // grey fails, one bit works
    const auto pixel = f.cache.Get(kHiraganaA, kFace, 0, 20);
    EXPECT_EQ(pixel->level, 0);
    EXPECT_EQ(pixel->coverage.front(), 255);
    EXPECT_EQ(f.cache.Level(), 0);
    EXPECT_EQ(f.cache.Size(), 1u);

    f.cache.SetLevel(3);
    EXPECT_EQ(f.cache.Level(), 0);
    const int calls = f.source->outline_calls;
    EXPECT_EQ(f.cache.Get(0x8C8E, kFace, 0, 20)->level, 0);
    EXPECT_EQ(f.source->outline_calls, calls + 1) << "no second grey attempt";
  }
}

TEST(FontPixelManager, CharactersWithoutInkKeepTheirWidth) {
  Fixture f;
  f.source->failing_levels = 0b1111;  // nothing renders at all
  const auto failed = f.cache.Get(kHiraganaA, kFace, 0, 20);
  EXPECT_FALSE(failed->HasBitmap());
  EXPECT_EQ(failed->right_spacing, 20);

  Fixture g;
  const auto space = g.cache.Get(0x8140, kFace, 0, 20);
  EXPECT_FALSE(space->HasBitmap());
  EXPECT_EQ(space->right_spacing, 20);
  TDIBX colour, coverage;
  colour.SetSize(40, 40, 32);
  coverage.SetSize(40, 40, 8);
  GlyphDrawSpec draw;
  draw.cell = render::MakeRect(0, 0, 20, 20);
  EXPECT_TRUE(TFontPixelManager::Draw(*space, colour, coverage, draw).IsEmpty());
}

TEST(FontPixelManager, UnreadableMetricsFailWithTheSystemMessage) {
  Fixture f;
  f.source->metrics_fail = true;
  try {
    f.cache.Get(kHiraganaA, kFace, 0, 20);
    FAIL() << "no error";
  } catch (const NovuError& e) {
    EXPECT_EQ(e.message(), "Error:GetOutlineTextMetrics");
  }
  f.source->metrics_fail = false;
  EXPECT_TRUE(f.cache.Get(kHiraganaA, kFace, 0, 20)->HasBitmap());
}

// --- drawing ------------------------------------------------------------------------------

constexpr int32_t kText = 0x0000FF;    // red
constexpr int32_t kBorder = 0x00FF00;  // green
constexpr int32_t kShadow = 0xFF0000;  // blue
constexpr int kSurfaceWidth = 60, kSurfaceHeight = 50;

struct Surfaces {
  TDIBX colour, coverage;
  Surfaces() {
    colour.SetSize(kSurfaceWidth, kSurfaceHeight, 32);
    coverage.SetSize(kSurfaceWidth, kSurfaceHeight, 8);
  }
  // 'T', 'B', 'S' for full coverage in the text, border or shadow colour, '.' for none.
  std::vector<std::string> Map() const {
    std::vector<std::string> rows;
    for (int y = 0; y < kSurfaceHeight; ++y) {
      std::string row;
      for (int x = 0; x < kSurfaceWidth; ++x) {
        const uint32_t k = coverage.GetPixel(x, y);
        const uint32_t c = colour.GetPixel(x, y);
        row += k == 0                                                     ? '.'
               : k != 255                                                 ? '?'
               : c == static_cast<uint32_t>(colour.ColorToPixel(kText))   ? 'T'
               : c == static_cast<uint32_t>(colour.ColorToPixel(kBorder)) ? 'B'
               : c == static_cast<uint32_t>(colour.ColorToPixel(kShadow)) ? 'S'
                                                                          : '!';
      }
      rows.push_back(row);
    }
    return rows;
  }
};

struct Paint {
  Rect rect;
  char colour;
};

std::vector<std::string> Expected(const std::vector<Paint>& paints) {
  std::vector<std::string> rows(kSurfaceHeight, std::string(kSurfaceWidth, '.'));
  for (const Paint& p : paints) {
    for (int y = p.rect.top; y < p.rect.bottom; ++y) {
      for (int x = p.rect.left; x < p.rect.right; ++x) rows[y][x] = p.colour;
    }
  }
  return rows;
}

Rect Box(int x, int y, int w, int h) {
  return render::MakeRect(x, y, w, h);
}

TEST(FontPixelDraw, PaintsGlyphBarsBordersAndShadowsAtTheirRectangles) {
  // あ at height 24: ascent 20; box 22 x 19 one pixel right of the pen with its top one pixel
  // below the cell top; underline 2 thick; strike-out 2 thick, 12 below the cell top.
  // Cell (10, 5) 30 x 30: the glyph is not centred (its spacing fills the 24-pixel em).
  struct Case {
    const char* name;
    int flags, border, shadow;
    bool previous_differs, next_differs;
    std::vector<Paint> paints;  // in drawing order
  };
  const int U = kStyleUnderline, S = kStyleStrikeOut;
  const Case cases[] = {
      {"plain", 0, 0, 0, false, false, {{Box(11, 6, 22, 19), 'T'}}},
      {"underline and strike-out",
       U | S,
       0,
       0,
       false,
       false,
       {{Box(10, 33, 30, 2), 'T'}, {Box(11, 6, 22, 19), 'T'}, {Box(10, 17, 30, 2), 'T'}}},
      {"border",
       U | S,
       2,
       0,
       false,
       false,
       {{Box(10, 29, 30, 2), 'B'},
        {Box(10, 33, 30, 2), 'B'},
        {Box(10, 31, 30, 2), 'T'},
        {Box(11, 6, 26, 23), 'B'},
        {Box(13, 8, 22, 19), 'T'},
        {Box(10, 17, 30, 2), 'B'},
        {Box(10, 21, 30, 2), 'B'},
        {Box(10, 19, 30, 2), 'T'}}},
      {"shadow at a run's both ends",
       U,
       0,
       3,
       true,
       true,
       {{Box(13, 33, 27, 2), 'S'},
        {Box(14, 9, 22, 19), 'S'},
        {Box(10, 30, 27, 2), 'T'},
        {Box(11, 6, 22, 19), 'T'}}},
      {"border and shadow",
       U | S,
       2,
       3,
       false,
       false,
       {{Box(10, 29, 30, 6), 'S'},
        {Box(14, 9, 26, 23), 'S'},
        {Box(10, 20, 30, 6), 'S'},
        {Box(10, 26, 30, 2), 'B'},
        {Box(10, 30, 30, 2), 'B'},
        {Box(10, 28, 30, 2), 'T'},
        {Box(11, 6, 26, 23), 'B'},
        {Box(13, 8, 22, 19), 'T'},
        {Box(10, 17, 30, 2), 'B'},
        {Box(10, 21, 30, 2), 'B'},
        {Box(10, 19, 30, 2), 'T'}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    Surfaces s;
    const auto pixel = f.cache.Get(kHiraganaA, kFace, c.flags, 24);
    GlyphDrawSpec draw;
    draw.cell = Box(10, 5, 30, 30);
    draw.text_colour = kText;
    draw.border_colour = kBorder;
    draw.shadow_colour = kShadow;
    draw.border_width = c.border;
    draw.shadow_offset = c.shadow;
    draw.previous_differs = c.previous_differs;
    draw.next_differs = c.next_differs;
    const Rect touched = TFontPixelManager::Draw(*pixel, s.colour, s.coverage, draw);
    const auto expected = Expected(c.paints);
    const auto actual = s.Map();
    for (int y = 0; y < kSurfaceHeight; ++y) EXPECT_EQ(actual[y], expected[y]) << "row " << y;
    Rect ink{};
    for (const Paint& p : c.paints) {
      ink = ink.IsEmpty()
                ? p.rect
                : Rect{std::min(ink.left, p.rect.left), std::min(ink.top, p.rect.top),
                       std::max(ink.right, p.rect.right), std::max(ink.bottom, p.rect.bottom)};
    }
    EXPECT_EQ(touched, ink);
  }
}

// Outlines given by the test, and ABC widths that may be degenerate.
class ScriptedSource : public FixedGlyphSource {
 public:
  platform::GlyphOutline outline;
  std::optional<platform::AbcWidths> abc;
  std::optional<platform::GlyphOutline> Outline(const platform::FontRequest& font, uint16_t code,
                                                int level) override {
    if (outline.width == 0) return FixedGlyphSource::Outline(font, code, level);
    return outline;
  }
  platform::AbcWidths Abc(const platform::FontRequest& font, uint16_t code) override {
    return abc ? *abc : FixedGlyphSource::Abc(font, code);
  }
};

TEST(FontPixelDraw, CentresNarrowCharactersByTheirAbcWidths) {
  // 'A' at height 24: box 10 wide, origin 1, advance 12. In a 24-wide cell e = 14.
  struct Case {
    const char* name;
    int cell_width;
    std::optional<platform::AbcWidths> abc;
    int expected_left;  // black box left from the cell's left edge
  };
  const Case cases[] = {
      {"centred: (1 + 5) * 14 / 12 = 7, minus origin 1", 24, std::nullopt, 1 + 6},
      {"cell as narrow as the advance: not centred", 12, std::nullopt, 1},
      {"A + C = 0: e / 2 minus origin", 24, platform::AbcWidths{0, 10, 0}, 1 + 6},
      {"A + B + C negative: e / 2, no division", 24, platform::AbcWidths{-5, 3, 0}, 1 + 6},
      {"A + B + C zero: e / 2, no division", 24, platform::AbcWidths{-3, 0, 3}, 1 + 6},
      {"weighted to the right", 24, platform::AbcWidths{9, 10, 1}, 1 + 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto owned = std::make_unique<ScriptedSource>();
    owned->abc = c.abc;
    TFontPixelManager cache(std::move(owned));
    Surfaces s;
    const auto pixel = cache.Get('A', kFace, 0, 24);
    GlyphDrawSpec draw;
    draw.cell = Box(0, 0, c.cell_width, 24);
    const Rect touched = TFontPixelManager::Draw(*pixel, s.colour, s.coverage, draw);
    EXPECT_EQ(touched.left, c.expected_left);
    EXPECT_EQ(touched.Width(), 10);
  }
}

TEST(FontPixelDraw, BorderWidthIsClampedAndClearFirstClearsOnlyTheTouchedArea) {
  Fixture f;
  Surfaces s;
  s.coverage.FillRect(Box(0, 0, kSurfaceWidth, kSurfaceHeight), 77);
  const auto pixel = f.cache.Get(kHiraganaA, kFace, 0, 12);  // box 10 x 9 at (1, 1)
  GlyphDrawSpec draw;
  draw.cell = Box(0, 0, 12, 12);
  draw.border_width = 100000;
  draw.clear_first = true;
  const Rect touched = TFontPixelManager::Draw(*pixel, s.colour, s.coverage, draw);
  const int b = kMaxBorderWidth;
  EXPECT_EQ(touched, Box(1, 1, 10 + 2 * b, 9 + 2 * b));
  EXPECT_EQ(s.coverage.GetPixel(1 + b, 1 + b), 255u);
  EXPECT_EQ(s.coverage.GetPixel(0, 0), 77u);
  EXPECT_EQ(s.coverage.GetPixel(touched.right, touched.bottom), 77u);
}

TEST(FontPixelDraw, PartialCoverageBordersAddUpAndMixColours) {
  // A 2 x 1 glyph of coverage 127 (level 1, grey 2) with a border of 1 (so the box lands at
  // (5, 6)), on a surface whose pixel (7, 6) already holds blue at coverage 128.
  auto owned = std::make_unique<ScriptedSource>();
  owned->outline = {2, 1, 0, 16, 24, {2, 2}};
  TFontPixelManager cache(std::move(owned));
  cache.SetLevel(1);
  const auto pixel = cache.Get(kHiraganaA, kFace, 0, 20);  // ascent 16: box top at the cell top
  Surfaces s;
  s.colour.SetPixel(7, 6, static_cast<uint32_t>(s.colour.ColorToPixel(0xFF0000)));
  s.coverage.SetPixel(7, 6, 128);
  GlyphDrawSpec draw;
  draw.cell = Box(4, 5, 20, 20);
  draw.border_width = 1;
  draw.border_colour = 0x0000FF;
  draw.text_colour = 0x00FF00;
  TFontPixelManager::Draw(*pixel, s.colour, s.coverage, draw);
  struct Expect {
    int x, y;
    uint32_t coverage;
    int32_t colour;
  };
  const Expect expects[] = {
      {4, 5, 127, 0x0000FF},  // one spread onto empty: the border colour at 127
      {5, 5, 190, 0x0000FF},  // two spreads: 127 + 127 * 128 / 255
      {7, 7, 127, 0x0000FF}, {5, 6, 127, 0x00FF00},  // the glyph itself over its neighbour's border
      {6, 6, 127, 0x00FF00}, {7, 6, 191, 0xAB0054},
  };
  for (const Expect& e : expects) {
    SCOPED_TRACE(testing::Message() << e.x << "," << e.y);
    EXPECT_EQ(s.coverage.GetPixel(e.x, e.y), e.coverage);
    EXPECT_EQ(s.colour.GetPixel(e.x, e.y), static_cast<uint32_t>(s.colour.ColorToPixel(e.colour)));
  }
}

}  // namespace
}  // namespace novu::text
