// Draws from index pictures through caller tables, and three-colour outlined glyphs.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "render/dibx.h"

namespace novu::render {
namespace {

// A 32-bit surface filled with one grey level.
struct Grey : TDIBX {
  Grey(int w, int h, uint32_t level) {
    SetSize(w, h, 32);
    Clear(level * 0x010101u);
  }
};

TEST(IndexedDrawTest, FourBitIndicesSkipTheKeyAndIndicesBeyondTheTable) {
  TDIBSurface source(4, 1, 4);
  const uint32_t indices[] = {0, 1, 2, 5};
  for (int x = 0; x < 4; ++x) source.SetPixel(x, 0, indices[x]);
  const std::vector<uint32_t> table{0x111111, 0x222222, 0x333333};
  Grey dst(4, 1, 0x44);
  dst.DrawIndexed4(0, 0, table, 255, {}, {0, 0, 4, 1}, source, 0);
  EXPECT_EQ(dst.GetPixel(0, 0), 0x444444u);
  EXPECT_EQ(dst.GetPixel(1, 0), 0x222222u);
  EXPECT_EQ(dst.GetPixel(2, 0), 0x333333u);
  EXPECT_EQ(dst.GetPixel(3, 0), 0x444444u);
  dst.DrawIndexed4(0, 0, table, 128, {.flip_h = true}, {0, 0, 4, 1}, source, 0);
  // Mirrored: destination 1 reads index 2; blended (127 * 0x22 + 128 * 0x33) >> 8 = 0x2A.
  EXPECT_EQ(dst.GetPixel(1, 0), 0x2A2A2Au);
}

TEST(IndexedDrawTest, AddedIndicesStartAtTheLowestIndex) {
  TDIBSurface source(3, 1, 8);
  source.SetPixel(0, 0, 1);
  source.SetPixel(1, 0, 2);
  source.SetPixel(2, 0, 200);
  const std::vector<uint32_t> table{0, 0x010101, 0x101010};
  Grey dst(3, 1, 0x20);
  dst.DrawIndexedAdd(0, 0, table, 255, {}, 2, {0, 0, 3, 1}, source);
  EXPECT_EQ(dst.GetPixel(0, 0), 0x202020u);
  EXPECT_EQ(dst.GetPixel(1, 0), 0x2F2F2Fu);  // 0x20 + (255 * 0x10 >> 8)
  EXPECT_EQ(dst.GetPixel(2, 0), 0x202020u);
  Grey scaled(6, 2, 0x20);
  scaled.StretchDrawIndexed({0, 0, 6, 2}, source, table, 255, {}, 2, {0, 0, 3, 1});
  EXPECT_EQ(scaled.GetPixel(3, 1), 0x2F2F2Fu);
  EXPECT_EQ(scaled.GetPixel(0, 0), 0x202020u);
}

TEST(GlyphTest, ThreeColourCellsWeighTheirClasses) {
  TDIBSurface glyph(8, 2, 4);  // factor 2: four destination pixels
  const uint32_t cells[2][8] = {{1, 1, 1, 2, 0, 0, 3, 3}, {1, 1, 0, 0, 0, 0, 3, 0}};
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 8; ++x) glyph.SetPixel(x, y, cells[y][x]);
  }
  const std::array<uint32_t, 3> colours{0x808080, 0x404040, 0xFFFFFF};
  struct Case {
    int alpha;
    std::array<uint32_t, 4> levels;  // per destination pixel, over a 0x20 background
  };
  const Case cases[] = {
      // all class 1; (256*0x80 + 256*0x40 + 512*0x20) >> 10; no ink; (768*0xFF + 256*0x20) >> 10
      {255, {0x80, 0x40, 0x20, 0xC7}},
      {128, {0x50, 0x30, 0x20, 0x73}},
      // additive, weight 44: background keeps its full weight
      {300, {0x36, 0x28, 0x20, 0x40}},
  };
  for (const Case& c : cases) {
    Grey dst(4, 1, 0x20);
    dst.DrawGlyph3(0, 0, 2, c.alpha, colours, {}, {0, 0, 8, 2}, glyph);
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(dst.GetPixel(x, 0), c.levels[x] * 0x010101u) << c.alpha << " pixel " << x;
    }
  }
}

}  // namespace
}  // namespace novu::render
