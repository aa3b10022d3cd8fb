// The behaviour of the drawing operations that scripts and controls can see: clipping,
// truncating blends, skipped pixels, alpha codes, colours and the guards against bad arguments.
#include <gtest/gtest.h>

#include <vector>

#include "platform/error.h"
#include "render/dibx.h"

namespace novu::render {
namespace {

// A source whose every pixel names its position: (y << 8) | x, plus 0x010000 so none is 0.
void FillPositions(TDIBX& s) {
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) s.SetPixel(x, y, 0x010000u | (y << 8) | x);
  }
}

uint32_t Position(int x, int y) {
  return 0x010000u | (y << 8) | x;
}

// A surface of the given size and depth with every pixel set to `fill`.
struct Surface : TDIBX {
  Surface(int w, int h, int depth, uint32_t fill = 0) {
    SetSize(w, h, depth);
    Clear(fill);
  }
};

TEST(SurfaceClipTest, SourceDrawnAtNegativePositionLosesLeadingColumnsAndRows) {
  struct Case {
    bool flip_h;
    int first_column;  // source column landing at destination x = 0
    int column_step;
  };
  for (const Case c : {Case{false, 3, 1}, Case{true, 6, -1}}) {
    Surface src(10, 10, 32);
    FillPositions(src);
    Surface dst(20, 20, 32);
    dst.Draw(-3, -2, false, c.flip_h, false, {0, 0, 10, 10}, src);
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 20; ++x) {
        const bool inside = x < 7 && y < 8;
        const uint32_t expected = inside ? Position(c.first_column + c.column_step * x, y + 2) : 0;
        ASSERT_EQ(dst.GetPixel(x, y), expected) << "flipH " << c.flip_h << " at " << x << "," << y;
      }
    }
  }
}

TEST(SurfaceClipTest, SourceRectangleIsClampedToTheSource) {
  Surface src(4, 4, 32);
  FillPositions(src);
  Surface dst(12, 12, 32);
  dst.Draw(0, 0, false, false, false, {-5, -5, 100, 100}, src);
  EXPECT_EQ(dst.GetPixel(5, 5), Position(0, 0));
  EXPECT_EQ(dst.GetPixel(8, 8), Position(3, 3));
  EXPECT_EQ(dst.GetPixel(9, 9), 0u);
  EXPECT_EQ(dst.GetPixel(4, 4), 0u);
}

TEST(SurfaceClipTest, ClipThatMeetsNothingDrawsNothing) {
  Surface src(8, 8, 32, 0x123456);
  Surface dst(16, 16, 32);
  dst.SetClipRect({40, 40, 60, 60});
  dst.Draw(0, 0, false, false, false, {0, 0, 8, 8}, src);
  dst.FillRect({0, 0, 16, 16}, 0xFF);
  dst.TileRect({0, 0, 16, 16}, src, false, false, 0, 0);
  dst.SetClipRect({0, 0, 8, 8});
  dst.TileRect({9, 9, 16, 16}, src, false, false, 0, 0);  // rect and clip do not meet
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) ASSERT_EQ(dst.GetPixel(x, y), 0u) << x << "," << y;
  }
}

TEST(SurfaceClipTest, IncludeClipClampsAndGrows) {
  Surface s(100, 50, 32);
  s.IncludeClip({200, 10, 300, 20});
  EXPECT_FALSE(s.HasClip());
  s.IncludeClip({-10, 40, 20, 80});
  EXPECT_TRUE(s.HasClip());
  EXPECT_EQ(s.ClipRect(), (Rect{0, 40, 20, 50}));
  s.IncludeClip({90, 5, 95, 6});
  EXPECT_EQ(s.ClipRect(), (Rect{0, 5, 95, 50}));
  s.ResetClip();
  EXPECT_FALSE(s.HasClip());
  EXPECT_EQ(s.ClipRect().right, 0);
}

TEST(SurfaceBlendTest, TruncatingBlendTurnsFullAlphaIntoOneLess) {
  struct Case {
    int depth;
    uint32_t white, blended;
  };
  const Case cases[] = {
      {32, 0xFFFFFF, 0xFEFEFE},
      {24, 0xFFFFFF, 0xFEFEFE},
      {16, 0xFFFF, (30u << 11) | (62u << 5) | 30u},
      {15, 0x7FFF, (30u << 10) | (30u << 5) | 30u},
  };
  for (const Case& c : cases) {
    Surface src(2, 2, c.depth, c.white);
    Surface dst(2, 2, c.depth);
    dst.DrawAlpha(0, 0, 255, false, false, false, {0, 0, 2, 2}, src);
    EXPECT_EQ(dst.GetPixel(1, 1), c.blended) << c.depth;
    dst.Draw(0, 0, false, false, false, {0, 0, 2, 2}, src);
    EXPECT_EQ(dst.GetPixel(1, 1), c.white) << c.depth;
  }
}

TEST(SurfaceBlendTest, BlendRectAndDrawAlphaLeaveEqualPixelsAlone) {
  for (const int depth : {15, 16, 24, 32}) {
    const uint32_t colour = depth >= 24 ? 0x808080u : 0x4210u;
    Surface dst(4, 1, depth, colour);
    dst.SetPixel(3, 0, 0);
    dst.BlendRect({0, 0, 4, 1}, colour, 100);
    EXPECT_EQ(dst.GetPixel(0, 0), colour) << depth;
    EXPECT_NE(dst.GetPixel(3, 0), 0u) << depth;

    Surface src(4, 1, depth, colour);
    Surface dst2(4, 1, depth, colour);
    dst2.SetPixel(2, 0, 0);
    dst2.DrawAlpha(0, 0, 100, false, false, false, {0, 0, 4, 1}, src);
    EXPECT_EQ(dst2.GetPixel(0, 0), colour) << depth;
    EXPECT_NE(dst2.GetPixel(2, 0), 0u) << depth;
  }
}

// The per-pixel loops of 8 and 24 bits blend equal pixels in the masked blends; the packed
// loops of 15, 16 and 32 bits leave them alone.
TEST(SurfaceBlendTest, MaskedBlendOfEqualPixelsDependsOnDepth) {
  struct Case {
    int depth;
    uint32_t colour;
    bool changes;
  };
  for (const Case c :
       {Case{24, 0x808080, true}, Case{32, 0x808080, false}, Case{16, 0x8410, false}}) {
    Surface src(1, 1, c.depth, c.colour);
    Surface dst(1, 1, c.depth, c.colour);
    Surface mask(1, 1, 8, 128);
    dst.DrawAlphaMasked(0, 0, 255, mask, false, false, {0, 0, 1, 1}, src);
    EXPECT_EQ(dst.GetPixel(0, 0) != c.colour, c.changes) << c.depth;
  }
}

TEST(SurfaceBlendTest, MaskedWeightAtOpaqueMaskDependsOnDepth) {
  // alpha 128 through mask 255: 32 bits weigh by 128, 16 bits by (128 * 255) >> 8 = 127.
  Surface src32(1, 1, 32, 0xFF), dst32(1, 1, 32);
  Surface mask(1, 1, 8, 255);
  dst32.DrawAlphaMasked(0, 0, 128, mask, false, false, {0, 0, 1, 1}, src32);
  EXPECT_EQ(dst32.GetPixel(0, 0), (128u * 255) >> 8);
  Surface src16(1, 1, 16, 0x1F), dst16(1, 1, 16);
  dst16.DrawAlphaMasked(0, 0, 128, mask, false, false, {0, 0, 1, 1}, src16);
  EXPECT_EQ(dst16.GetPixel(0, 0), (127u * 31) >> 8);
}

TEST(SurfaceBlendTest, AlphaCodesOfRotatedDraws) {
  struct Case {
    int code;
    uint32_t expected;
  };
  // 0x10 + ((44 * 0x80) >> 8) = 0x26; code 255 copies; code 128 blends.
  const Case cases[] = {{300, 0x262626},
                        {255, 0x808080},
                        {128, ((127u * 0x10 + 128u * 0x80) >> 8) * 0x010101u},
                        {0, 0x101010},
                        {-5, 0x101010}};
  for (const Case& c : cases) {
    Surface src(3, 3, 32, 0x808080);
    Surface dst(3, 3, 32, 0x101010);
    dst.DrawRotate(0, 0, c.code, false, false, false, 0, 0, 0, {0, 0, 3, 3}, src, 256, 256);
    EXPECT_EQ(dst.GetPixel(1, 1), c.expected) << c.code;
  }
}

TEST(SurfaceBlendTest, AddAndSubtractSaturatePerChannel) {
  Surface dst(1, 1, 32, 0xF01080);
  dst.AddRect({0, 0, 1, 1}, 0x20F090);
  EXPECT_EQ(dst.GetPixel(0, 0), 0xFFFFFFu & 0xFFFFFF);
  dst.Clear(0x102030);
  dst.SubRect({0, 0, 1, 1}, 0x201010);
  EXPECT_EQ(dst.GetPixel(0, 0), 0x001020u);
}

TEST(SurfaceBlendTest, AddOnPaletteSurfaceAddsIndices) {
  Surface src(2, 1, 8, 200);
  Surface dst(2, 1, 8, 100);
  src.SetPixel(1, 0, 20);
  dst.DrawAdd(0, 0, 7, false, false, false, {0, 0, 2, 1}, src);
  EXPECT_EQ(dst.GetPixel(0, 0), 255u);
  EXPECT_EQ(dst.GetPixel(1, 0), 120u);
}

TEST(SurfaceColourTest, ColorToPixelPerDepth) {
  struct Case {
    int depth;
    int32_t colour, raw;
  };
  const Case cases[] = {
      {16, 0x0000FF, 0xF800},
      {15, 0x0000FF, 0x7C00},
      {32, 0x0000FF, 0xFF0000},
      {16, 0xFF0000, 0x001F},
      {15, 0x00FF00, 0x03E0},
      {32, 0x123456, 0x563412},
      {8, 0x123456, 0x123456},
      {24, 0x123456, 0x123456},
      {32, -1, -1},
      {16, -7, -1},
  };
  for (const Case& c : cases) {
    Surface s(1, 1, c.depth);
    EXPECT_EQ(s.ColorToPixel(c.colour), c.raw) << c.depth << " " << c.colour;
  }
}

TEST(SurfaceFillTest, ClearFillsEveryPixelAtEveryDepthDespiteTheClip) {
  for (const int depth : {8, 15, 16, 24, 32}) {
    Surface s(7, 5, depth);
    s.SetClipRect({1, 1, 2, 2});
    const uint32_t raw = depth == 8 ? 0x5A : 0x1234;
    s.Clear(raw);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 7; ++x) ASSERT_EQ(s.GetPixel(x, y), raw) << depth;
    }
  }
}

TEST(SurfaceFillTest, FrameIsFourBands) {
  Surface s(12, 12, 32);
  s.FrameRect({1, 1, 11, 11}, 2, 0xAA);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 12; ++x) {
      const bool outer = x >= 1 && x < 11 && y >= 1 && y < 11;
      const bool inner = x >= 3 && x < 9 && y >= 3 && y < 9;
      ASSERT_EQ(s.GetPixel(x, y), (outer && !inner) ? 0xAAu : 0u) << x << "," << y;
    }
  }
}

TEST(SurfaceTileTest, TileRectStartsAtThePhaseAndMirrors) {
  Surface src(3, 1, 32);
  for (int x = 0; x < 3; ++x) src.SetPixel(x, 0, 10 + x);  // A B C = 10 11 12
  struct Case {
    bool flip_h;
    std::vector<uint32_t> row;
  };
  for (const Case& c :
       {Case{false, {11, 12, 10, 11, 12, 10, 11}}, Case{true, {11, 10, 12, 11, 10, 12, 11}}}) {
    Surface dst(7, 1, 32);
    dst.TileRect({0, 0, 7, 1}, src, false, c.flip_h, 0, 4);
    for (int x = 0; x < 7; ++x) EXPECT_EQ(dst.GetPixel(x, 0), c.row[x]) << c.flip_h << " " << x;
  }
}

TEST(SurfaceTileTest, DegenerateStepsDrawNothing) {
  Surface src(4, 4, 32, 0x777777);
  Surface dst(16, 16, 32);
  const Rect all{0, 0, 16, 16}, part{0, 0, 4, 4};
  dst.TileDraw(all, -4, 0, 0, false, false, false, part, src, 0);
  dst.TileDraw(all, 0, 0, 0, false, false, false, part, src, -9);
  dst.TileStretch(all, 0, 0, 0, 255, false, false, false, part, src, 256, 256, 8);
  dst.TileStretch(all, 8, 0, 0, 255, false, false, false, part, src, 256, 0, 8);
  dst.TileStretch(all, 8, 0, 0, 255, false, false, false, part, src, 256, 256, -1);
  dst.ZoomTile(all, 0, 255, false, false, false, 0, 0, src, 256);
  dst.DrawRotate(8, 8, 255, false, false, false, 10, 2, 2, part, src, 256, 0);
  dst.StretchDraw({0, 0, 0, 16}, src, 255, false, false, false, part);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) ASSERT_EQ(dst.GetPixel(x, y), 0u) << x << "," << y;
  }
}

TEST(SurfaceTileTest, StretchOfAllKeySourceEndsAndDrawsNothing) {
  Surface src(64, 64, 32, 0x00FF00);
  src.SetKeyColor(0x00FF00);
  Surface dst(16, 16, 32);
  dst.StretchDraw({0, 0, 3, 3}, src, 255, false, false, true, {0, 0, 64, 64});
  dst.TileStretch({0, 0, 16, 16}, 1, 0, 0, 255, false, false, true, {0, 0, 64, 64}, src, 1, 1, 1);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) ASSERT_EQ(dst.GetPixel(x, y), 0u);
  }
}

TEST(SurfaceCopyTest, AssignBetweenFiveFiveFiveAndFiveSixFiveConverts) {
  Surface src(3, 2, 15, 0x7C00);  // pure red at 5-5-5
  Surface dst(3, 2, 16);
  ASSERT_EQ(src.Pitch(), dst.Pitch());
  dst.Assign(src);
  EXPECT_EQ(dst.GetPixel(2, 1), 0xF800u);
  Surface same(3, 2, 15);
  same.Assign(src);
  EXPECT_EQ(same.GetPixel(2, 1), 0x7C00u);
}

TEST(SurfaceCopyTest, MaskedDrawsNeedAnEightBitMaskInsideTheSource) {
  Surface src(4, 4, 32, 0xABCDEF);
  Surface dst(4, 4, 32);
  Surface wrong_mask(4, 4, 16, 0xFFFF);
  dst.DrawMasked(0, 0, wrong_mask, false, false, {0, 0, 4, 4}, src);
  EXPECT_EQ(dst.GetPixel(0, 0), 0u);
  Surface mask(4, 4, 8, 255);
  dst.DrawMaskColor(0, 0, 255, 0x112233, false, false, {1, 1, 5, 4}, mask);  // leaves the mask
  EXPECT_EQ(dst.GetPixel(1, 1), 0u);
  dst.DrawMaskColor(0, 0, 255, 0x112233, false, false, {0, 0, 4, 4}, mask);
  EXPECT_EQ(dst.GetPixel(1, 1), 0x102132u);  // weight 255 truncates like every blend
}

TEST(SurfaceSizeTest, RefusesSizesBeyondTheLimits) {
  TDIBX s;
  EXPECT_THROW(s.SetSize(kMaxSurfaceSide + 1, 1, 32), NovuError);
  EXPECT_THROW(s.SetSize(1, -1, 32), NovuError);
  EXPECT_THROW(s.SetSize(4, 4, 12), NovuError);
  EXPECT_EQ(s.Width(), 1);  // the 1 × 1 picture it had
  s.ResetSize();
  EXPECT_EQ(s.Width(), 8);
  EXPECT_EQ(s.BitCount(), 15);
}

TEST(SurfaceSizeTest, PaletteEntriesStayWithinTheTable) {
  Surface s(2, 2, 8);
  const std::vector<uint32_t> entries{0x111111, 0x222222, 0x333333};
  s.SetPaletteEntries(254, entries);
  s.SetPaletteEntries(-2, entries);
  EXPECT_EQ(s.GetPaletteEntries(253, 10), (std::vector<uint32_t>{0, 0x111111, 0x222222}));
  EXPECT_EQ(s.GetPaletteEntries(-1, 2), (std::vector<uint32_t>{0x333333}));
  EXPECT_TRUE(s.GetPaletteEntries(300, 5).empty());
}

TEST(SurfaceSizeTest, BorrowedPictureIsSharedUntilMadeUnique) {
  TDIBSurface frame(3, 3, 32);
  TDIBX view(frame);
  EXPECT_TRUE(view.IsBorrowed());
  view.FillRect({0, 0, 3, 3}, 0x10);
  EXPECT_EQ(frame.GetPixel(2, 2), 0x10u);
  view.MakeUnique();
  EXPECT_FALSE(view.IsBorrowed());
  view.FillRect({0, 0, 3, 3}, 0x20);
  EXPECT_EQ(frame.GetPixel(2, 2), 0x10u);
  EXPECT_EQ(view.GetPixel(2, 2), 0x20u);
}

// Coordinates near the ends of the integer range come from scripts; they must neither overflow
// (the sanitizer build checks) nor draw.
TEST(SurfaceSizeTest, ExtremeCoordinatesDrawNothing) {
  Surface src(4, 4, 32, 0x445566);
  Surface dst(8, 8, 32);
  constexpr int kMin = INT32_MIN, kMax = INT32_MAX;
  const Rect huge{kMin, kMin, kMax, kMax}, far{kMax - 1, kMax - 1, kMax, kMax};
  dst.Draw(kMax, kMax, false, true, true, {0, 0, 4, 4}, src);
  dst.DrawAlpha(kMin, kMin, 100, true, false, false, {kMin, kMin, kMax, kMax}, src);
  dst.StretchDraw(far, src, 255, false, false, false, {0, 0, 4, 4});
  dst.DrawRotate(kMax, kMin, 255, false, false, false, 33, kMax, kMin, {0, 0, 4, 4}, src, kMax,
                 kMax);
  dst.FrameRect(far, kMax, 0x11);
  dst.TileDraw(far, kMax, kMin, kMax, false, false, false, {0, 0, 4, 4}, src, kMax);
  dst.TileStretch(far, kMax, kMin, kMax, 255, false, false, false, {0, 0, 4, 4}, src, kMax, kMax,
                  kMax);
  dst.ZoomTile(far, kMax, 255, false, false, false, kMin, kMax, src, kMax);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) ASSERT_EQ(dst.GetPixel(x, y), 0u) << x << "," << y;
  }
  dst.StretchDraw(huge, src, 255, false, false, false, {0, 0, 4, 4});  // covers everything
  dst.FillRect(huge, 0x99);
  EXPECT_EQ(dst.GetPixel(7, 7), 0x99u);
}

TEST(SurfaceGlyphTest, CoverageOfFourByFourBlocks) {
  TDIBSurface glyph(8, 4, 1);  // left cell all ink (0 bits), right cell half ink
  for (int y = 0; y < 4; ++y) {
    for (int x = 4; x < 8; ++x) glyph.SetPixel(x, y, x < 6 ? 0 : 1);
    for (int x = 0; x < 4; ++x) glyph.SetPixel(x, y, 0);
  }
  for (int x = 4; x < 8; ++x) {
    for (int y = 0; y < 4; ++y) glyph.SetPixel(x, y, x < 6 ? 0 : 1);
  }
  Surface dst(2, 1, 32, 0x000000);
  dst.DrawGlyph(0, 0, 4, 255, false, false, 0xF0F0F0, {0, 0, 8, 4}, glyph);
  EXPECT_EQ(dst.GetPixel(0, 0), 0xF0F0F0u);
  EXPECT_EQ(dst.GetPixel(1, 0), 0x787878u);  // 8 of 16: (0xF0 * 8) >> 4
  Surface mirrored(2, 1, 32);
  mirrored.DrawGlyph(0, 0, 4, 128, false, true, 0xF0F0F0, {0, 0, 8, 4}, glyph);
  EXPECT_EQ(mirrored.GetPixel(0, 0), 0x3C3C3Cu);  // coverage (128 * 8) >> 8 = 4
  EXPECT_EQ(mirrored.GetPixel(1, 0), 0x787878u);
}

}  // namespace
}  // namespace novu::render
