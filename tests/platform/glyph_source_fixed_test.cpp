#include <gtest/gtest.h>

#include <algorithm>

#include "platform/glyph_source.h"

namespace novu::platform {
namespace {

TEST(FixedGlyphSource, BoxesFollowTheCellHeight) {
  struct Case {
    uint16_t code;
    int height;
    int style;
    int width, box_height, advance;
  };
  const Case cases[] = {
      {0x82A0, 20, 0, 18, 15, 20},      // あ: full width, ascent 16
      {0x82A0, -20, 0, 18, 15, 20},     // negative heights are the same size here
      {'A', 20, 0, 8, 15, 10},          // half width
      {'A', 20, kFontBold, 9, 15, 10},  // bold is one pixel wider
      {0x8140, 20, 0, 0, 0, 20},        // full-width space: no ink
      {0x20, 20, 0, 0, 0, 10},          // space
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "code " << c.code << " height " << c.height);
    FixedGlyphSource source;
    const FontRequest font{"x", c.height, c.style};
    const auto outline = source.Outline(font, c.code, 3);
    ASSERT_TRUE(outline.has_value());
    EXPECT_EQ(outline->width, c.width);
    EXPECT_EQ(outline->height, c.box_height);
    EXPECT_EQ(outline->advance, c.advance);
    EXPECT_EQ(outline->grey.size(), static_cast<size_t>(c.width) * c.box_height);
    EXPECT_TRUE(
        std::all_of(outline->grey.begin(), outline->grey.end(), [](uint8_t g) { return g == 64; }));
    const AbcWidths abc = source.Abc(font, c.code);
    EXPECT_EQ(abc.a + abc.b + abc.c, c.advance);
    EXPECT_EQ(source.TextWidth(font, c.code), c.advance);
  }
}

TEST(FixedGlyphSource, RampsGreyAndFailsChosenLevels) {
  FixedGlyphSource source;
  source.fill = FixedGlyphSource::Fill::kRamp;
  source.failing_levels = 1u << 3;
  const FontRequest font{"x", 40, 0};
  EXPECT_FALSE(source.Outline(font, 0x8C8E, 3).has_value());
  const auto outline = source.Outline(font, 0x8C8E, 2);
  ASSERT_TRUE(outline.has_value());
  for (size_t i = 0; i < outline->grey.size(); ++i) ASSERT_EQ(outline->grey[i], i % 17);
  EXPECT_EQ(source.outline_calls, 2);

  const auto metrics = source.Metrics(font);
  ASSERT_TRUE(metrics.has_value());
  EXPECT_EQ(metrics->ascent + metrics->descent, 40);
  source.metrics_fail = true;
  EXPECT_FALSE(source.Metrics(font).has_value());
}

}  // namespace
}  // namespace novu::platform
