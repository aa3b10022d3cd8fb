// Resizing with a key colour, and the whole-picture filters used by transitions.
#include <gtest/gtest.h>

#include <vector>

#include "render/dib_surface.h"

namespace novu::render {
namespace {

// A picture from rows of 0x00RRGGBB values at 32 bits.
TDIBSurface FromRows(const std::vector<std::vector<uint32_t>>& rows) {
  TDIBSurface s(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), 32);
  for (size_t y = 0; y < rows.size(); ++y) {
    for (size_t x = 0; x < rows[y].size(); ++x) {
      s.SetPixel(static_cast<int>(x), static_cast<int>(y), rows[y][x]);
    }
  }
  return s;
}

std::vector<uint32_t> Row(const TDIBSurface& s, int y) {
  std::vector<uint32_t> out;
  for (int x = 0; x < s.Width(); ++x) out.push_back(s.GetPixel(x, y));
  return out;
}

constexpr uint32_t kKey = 0x00FF00;

TEST(PictureResizeTest, ShrinkAndEnlargeCases) {
  struct Case {
    const char* name;
    std::vector<std::vector<uint32_t>> rows;
    int width, height;
    int64_t key;
    std::vector<uint32_t> first_row;
  };
  const std::vector<Case> cases = {
      {"blocks average to their colour",
       {{0x100000, 0x100000, 0x000020}, {0x100000, 0x100000, 0x000020}},
       1,
       1,
       -1,
       {0x0B000B}},
      {"key pixels leave the average", {{kKey, 0x202020}}, 1, 1, kKey, {0x202020}},
      {"an all-key area stays key", {{kKey, kKey, kKey, kKey}}, 2, 1, kKey, {kKey, kKey}},
      {"enlarging interpolates",
       {{0x000000, 0x646464}},
       4,
       1,
       -1,
       {0x000000, 0x323232, 0x646464, 0x646464}},
      {"a key neighbour takes its row neighbour's colour",
       {{kKey, 0x646464}},
       4,
       1,
       kKey,
       {0x646464, 0x646464, 0x646464, 0x646464}},
      {"four key neighbours give the key", {{kKey}, {kKey}}, 2, 3, kKey, {kKey, kKey}},
  };
  for (const Case& c : cases) {
    TDIBSurface s = FromRows(c.rows);
    s.Resize(c.width, c.height, c.key, true);
    ASSERT_EQ(s.Width(), c.width) << c.name;
    ASSERT_EQ(s.Height(), c.height) << c.name;
    EXPECT_EQ(Row(s, 0), c.first_row) << c.name;
  }
}

TEST(PictureResizeTest, ShrinkingAHugeAllKeyPictureEnds) {
  TDIBSurface s(512, 512, 16);
  s.FillRect(s.Bounds(), 0x07E0);
  s.Resize(3, 2, 0x07E0, true);
  EXPECT_EQ(s.BitCount(), 16);
  EXPECT_EQ(Row(s, 1), (std::vector<uint32_t>{0x07E0, 0x07E0, 0x07E0}));
}

TEST(PictureResizeTest, DepthMaskAndDegenerateSizes) {
  TDIBSurface s(4, 4, 16);
  s.EnsureMask();
  s.Mask()->FillRect({0, 0, 2, 4}, 200);
  s.Resize(2, 2, -1, false);
  EXPECT_EQ(s.BitCount(), 24);
  ASSERT_NE(s.Mask(), nullptr);
  EXPECT_EQ(s.Mask()->GetPixel(0, 1), 200u);
  EXPECT_EQ(s.Mask()->GetPixel(1, 1), 0u);
  s.Resize(0, 5, -1, true);
  s.Resize(2, 2, -1, true);
  EXPECT_EQ(s.Width(), 2);
  EXPECT_EQ(s.BitCount(), 24);
}

TEST(PictureFilterTest, GreyNegativeAndBlur) {
  TDIBSurface red = FromRows({{0xFF0000, 0x0000FF}});
  red.ToGrey(8);
  EXPECT_EQ(red.BitCount(), 8);
  EXPECT_EQ(red.GetPixel(0, 0), 91u);  // trunc(0.3588 * 255)
  EXPECT_EQ(red.GetPixel(1, 0), 60u);  // trunc(0.2392 * 255)
  EXPECT_EQ(red.Palette()[91], 0x5B5B5Bu);

  TDIBSurface s16(1, 1, 16);
  s16.SetPixel(0, 0, 0x1234);
  s16.Negative();
  EXPECT_EQ(s16.GetPixel(0, 0), 0xEDCBu);

  TDIBSurface spike = FromRows({{0x000000, 0x5A5A5A, 0x000000}});
  spike.Blur(1);
  EXPECT_EQ(Row(spike, 0), (std::vector<uint32_t>{0x2D2D2D, 0x1E1E1E, 0x2D2D2D}));
}

}  // namespace
}  // namespace novu::render
