// The in-memory picture under every surface: depth-generic copies, dithered alpha at palette
// depths, masks, trimming and mirroring.
#include <gtest/gtest.h>

#include "platform/error.h"
#include "render/dib_surface.h"

namespace novu::render {
namespace {

TDIBSurface Filled(int w, int h, int depth, uint32_t raw) {
  TDIBSurface s(w, h, depth);
  s.FillRect(s.Bounds(), raw);
  return s;
}

TEST(DibSurfaceTest, StorageIsBottomUpWithPaddedRows) {
  struct Case {
    int depth, width;
    size_t stride;
  };
  for (const Case c : {Case{1, 9, 4}, Case{4, 9, 8}, Case{8, 5, 8}, Case{15, 3, 8}, Case{16, 2, 4},
                       Case{24, 3, 12}, Case{32, 3, 12}}) {
    TDIBSurface s(c.width, 3, c.depth);
    EXPECT_EQ(s.Stride(), c.stride) << c.depth;
    EXPECT_EQ(s.Pitch(), -static_cast<ptrdiff_t>(c.stride)) << c.depth;
    EXPECT_EQ(s.ScanLine(2), s.Bits().data()) << "bottom row first in memory";
    EXPECT_EQ(s.StorageBitCount(), c.depth == 15 ? 16 : c.depth);
  }
}

TEST(DibSurfaceTest, DitheredAlphaAtPaletteDepthCopiesTheCellsOfItsLevel) {
  TDIBSurface src = Filled(4, 4, 8, 9);
  TDIBSurface dst = Filled(4, 4, 8, 0);
  dst.DrawAlpha(0, 0, src.Bounds(), src, 128, -1);  // level 8: thresholds 0-7, half the block
  constexpr uint8_t kThreshold[4][4] = {
      {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  int copied = 0;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(dst.GetPixel(x, y), kThreshold[y][x] < 8 ? 9u : 0u) << x << "," << y;
      copied += dst.GetPixel(x, y) == 9;
    }
  }
  EXPECT_EQ(copied, 8);
}

TEST(DibSurfaceTest, AlphaCopyWeightsAndKeys) {
  // 16 bits at alpha 255 is a keyed copy; below it divides by 255 (15/16/24) or shifts (32).
  TDIBSurface src16 = Filled(2, 1, 16, 0xFFFF);
  src16.SetPixel(1, 0, 0x1234);
  TDIBSurface dst16 = Filled(2, 1, 16, 0);
  dst16.DrawAlpha(0, 0, src16.Bounds(), src16, 255, 0x1234);
  EXPECT_EQ(dst16.GetPixel(0, 0), 0xFFFFu);
  EXPECT_EQ(dst16.GetPixel(1, 0), 0u);

  TDIBSurface src24 = Filled(1, 1, 24, 0xFFFFFF), dst24 = Filled(1, 1, 24, 0);
  dst24.DrawAlpha(0, 0, src24.Bounds(), src24, 128, -1);
  EXPECT_EQ(dst24.GetPixel(0, 0), 0x808080u);  // 255 * 128 / 255
  TDIBSurface src32 = Filled(1, 1, 32, 0xFFFFFF), dst32 = Filled(1, 1, 32, 0);
  dst32.DrawAlpha(0, 0, src32.Bounds(), src32, 128, -1);
  EXPECT_EQ(dst32.GetPixel(0, 0), 0x7F7F7Fu);  // (255 * 128) >> 8
  dst32.DrawAlpha(0, 0, src32.Bounds(), src32, 0, -1);
  EXPECT_EQ(dst32.GetPixel(0, 0), 0x7F7F7Fu);
}

TEST(DibSurfaceTest, MaskedCopyThroughTheSourceMask) {
  TDIBSurface src = Filled(3, 1, 32, 0xFFFFFF);
  src.EnsureMask();
  src.Mask()->SetPixel(0, 0, 0);
  src.Mask()->SetPixel(1, 0, 255);
  src.Mask()->SetPixel(2, 0, 128);
  TDIBSurface dst = Filled(3, 1, 32, 0);
  dst.DrawMasked(0, 0, src.Bounds(), src, 255);
  EXPECT_EQ(dst.GetPixel(0, 0), 0u);
  EXPECT_EQ(dst.GetPixel(1, 0), 0xFFFFFFu);
  EXPECT_EQ(dst.GetPixel(2, 0), 0x7F7F7Fu);
}

TEST(DibSurfaceTest, TrimBoundsFindsTheOnlyOtherPixel) {
  TDIBSurface s = Filled(12, 10, 16, 0x1F);
  s.SetPixel(5, 7, 0);
  EXPECT_EQ(s.TrimBounds(0x1F), (Rect{5, 7, 6, 8}));
  EXPECT_EQ(s.TrimBounds(-1), s.Bounds());
  s.TrimTo(0x1F);
  EXPECT_EQ(s.Width(), 1);
  EXPECT_EQ(s.Height(), 1);
  EXPECT_EQ(s.GetPixel(0, 0), 0u);
  TDIBSurface blank = Filled(4, 4, 8, 3);
  blank.TrimTo(3);
  EXPECT_EQ(blank.Bounds(), (Rect{0, 0, 1, 1}));
}

TEST(DibSurfaceTest, NearestPixelPerDepth) {
  TDIBSurface s16(1, 1, 16), s15(1, 1, 15), s32(1, 1, 32), s8(1, 1, 8);
  EXPECT_EQ(s16.NearestPixel(255, 128, 0), 0xFC00u);
  EXPECT_EQ(s15.NearestPixel(255, 128, 0), 0x7E00u);
  EXPECT_EQ(s32.NearestPixel(255, 128, 0), 0xFF8000u);
  s8.Palette()[0] = 0x000000;
  s8.Palette()[1] = 0xFF0000;
  s8.Palette()[2] = 0x00FF00;
  EXPECT_EQ(s8.NearestPixel(200, 30, 10), 1u);
}

TEST(DibSurfaceTest, MirrorsSwapColumnsAndRowsOfPixelsAndMask) {
  TDIBSurface s(3, 2, 4);
  s.EnsureMask();
  for (int x = 0; x < 3; ++x) {
    s.SetPixel(x, 0, x + 1);
    s.Mask()->SetPixel(x, 1, 10 + x);
  }
  s.MirrorH();
  EXPECT_EQ(s.GetPixel(0, 0), 3u);
  EXPECT_EQ(s.GetPixel(2, 0), 1u);
  EXPECT_EQ(s.Mask()->GetPixel(0, 1), 12u);
  s.MirrorV();
  EXPECT_EQ(s.GetPixel(0, 1), 3u);
  EXPECT_EQ(s.Mask()->GetPixel(0, 0), 12u);
}

TEST(DibSurfaceTest, CopyClipsAgainstTheClipRectangle) {
  TDIBSurface src = Filled(4, 4, 24, 0xABCDEF);
  TDIBSurface dst = Filled(6, 6, 24, 0);
  dst.ClipRect() = {2, 2, 4, 6};
  dst.Copy(-1, 1, {0, 0, 4, 4}, src);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 2 && x < 3 && y >= 2 && y < 5;
      EXPECT_EQ(dst.GetPixel(x, y), inside ? 0xABCDEFu : 0u) << x << "," << y;
    }
  }
}

TEST(DibSurfaceTest, SizeChecks) {
  TDIBSurface s;
  EXPECT_THROW(s.SetSize(-1, 4, 8), NovuError);
  EXPECT_THROW(s.SetSize(4, kMaxSurfaceSide + 1, 8), NovuError);
  EXPECT_THROW(s.SetSize(4, 4, 2), NovuError);
  s.SetSize(4, 4, 8);
  s.EnsureMask();
  s.SetSize(7, 3, 32);
  EXPECT_EQ(s.Mask()->Width(), 7);
  EXPECT_EQ(s.Mask()->Height(), 3);
}

}  // namespace
}  // namespace novu::render
