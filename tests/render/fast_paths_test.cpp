// Every drawing operation at every depth gives the same pixels with the fast loops as with the
// reference loops, on seeded random pictures, with and without mirroring and clipping.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "render/dibx.h"
#include "surface_fixtures.h"

namespace novu::render {
namespace {

using testing::FillRandom;
using testing::FillRandomMask;
using testing::KernelScope;
using testing::PixelHash;
using testing::PixelSource;

struct Scene {
  TDIBX dst, src, mask;
  FlipOptions flips;
  uint32_t colour = 0;

  DrawOptions Unkeyed() const { return {.flip_v = flips.flip_v, .flip_h = flips.flip_h}; }
  DrawOptions Keyed() const {
    return {.flip_v = flips.flip_v, .flip_h = flips.flip_h, .use_key = true};
  }
};

using Operation = std::function<void(Scene&)>;

struct OperationCase {
  const char* name;
  Operation run;
};

const Rect kSrcRect{2, 3, 40, 26};

const std::vector<OperationCase>& Operations() {
  static const std::vector<OperationCase> cases = {
      {"Draw", [](Scene& s) { s.dst.Draw(-3, 4, s.Unkeyed(), kSrcRect, s.src); }},
      {"DrawKeyed", [](Scene& s) { s.dst.Draw(5, -2, s.Keyed(), kSrcRect, s.src); }},
      {"DrawMasked", [](Scene& s) { s.dst.DrawMasked(3, 2, s.mask, s.flips, kSrcRect, s.src); }},
      {"DrawAlpha", [](Scene& s) { s.dst.DrawAlpha(1, 1, 77, s.Keyed(), kSrcRect, s.src); }},
      {"DrawAlpha255", [](Scene& s) { s.dst.DrawAlpha(0, 0, 255, s.Unkeyed(), kSrcRect, s.src); }},
      {"DrawAlphaMasked",
       [](Scene& s) { s.dst.DrawAlphaMasked(2, -1, 200, s.mask, s.flips, kSrcRect, s.src); }},
      {"DrawAlphaMasked255",
       [](Scene& s) { s.dst.DrawAlphaMasked(2, 3, 255, s.mask, s.flips, kSrcRect, s.src); }},
      {"DrawAdd", [](Scene& s) { s.dst.DrawAdd(4, 0, 150, s.Keyed(), kSrcRect, s.src); }},
      {"DrawAddMasked",
       [](Scene& s) { s.dst.DrawAddMasked(-2, 2, 255, s.mask, s.flips, kSrcRect, s.src); }},
      {"DrawMaskColor",
       [](Scene& s) { s.dst.DrawMaskColor(1, 2, 180, s.colour, s.flips, kSrcRect, s.mask); }},
      {"DrawMaskColorOpaque",
       [](Scene& s) { s.dst.DrawMaskColor(1, 2, 255, s.colour, s.flips, kSrcRect, s.mask); }},
      {"StretchDraw",
       [](Scene& s) {
         s.dst.StretchDraw({-5, 3, 50, 40}, s.src, 255, s.Keyed(), kSrcRect);
       }},
      {"StretchDrawAlpha",
       [](Scene& s) {
         s.dst.StretchDraw({4, -3, 30, 20}, s.src, 99, s.Unkeyed(), kSrcRect);
       }},
      {"StretchDrawMasked",
       [](Scene& s) {
         s.dst.StretchDrawMasked({0, 0, 61, 35}, s.src, 140, s.mask, s.flips, kSrcRect);
       }},
      {"StretchDrawAdd",
       [](Scene& s) {
         s.dst.StretchDrawAdd({3, 3, 70, 44}, s.src, 90, s.Keyed(), kSrcRect);
       }},
      {"StretchDrawAddMasked",
       [](Scene& s) {
         s.dst.StretchDrawAddMasked({3, 3, 20, 30}, s.src, 200, s.mask, s.flips, kSrcRect);
       }},
      {"DrawRotateCopy",
       [](Scene& s) {
         s.dst.DrawRotate(30, 20, 255, s.Unkeyed(), 21, 10, 12, {0, 0, 40, 26}, s.src, 300, 200);
       }},
      {"DrawRotateKeyedBlend",
       [](Scene& s) {
         s.dst.DrawRotate(25, 18, 120, s.Keyed(), 200, 5, 7, {0, 0, 40, 26}, s.src, 256, 256);
       }},
      {"DrawRotateAdd",
       [](Scene& s) {
         s.dst.DrawRotate(25, 18, 300, s.Keyed(), 77, 13, 20, {0, 0, 40, 26}, s.src, 400, 180);
       }},
      {"DrawRotateMasked",
       [](Scene& s) {
         s.dst.DrawRotateMasked(20, 15, 180, s.mask, s.flips, 45, 13, 20, {0, 0, 40, 26}, s.src,
                                256, 256);
       }},
      {"ZoomTile",
       [](Scene& s) {
         s.dst.ZoomTile({3, 2, 60, 40}, 300, 130, s.Keyed(), -7, 11, s.src, 170);
       }},
      {"ZoomTileAdd",
       [](Scene& s) {
         s.dst.ZoomTile({0, 0, 64, 48}, 256, 700, s.Unkeyed(), 5, 3, s.src, 512);
       }},
      {"TileDrawAlpha",
       [](Scene& s) {
         s.dst.TileDrawAlpha({1, 1, 60, 45}, 3, 4, -9, 111, s.Keyed(), {0, 0, 13, 11}, s.src, -2);
       }},
      {"TileStretch",
       [](Scene& s) {
         s.dst.TileStretch({0, 0, 64, 48}, 20, 3, 7, 255, s.Keyed(), {0, 0, 17, 9}, s.src, 300, 200,
                           12);
       }},
      {"BlendRect",
       [](Scene& s) {
         s.dst.BlendRect({-3, 5, 40, 70}, s.colour, 66);
       }},
      {"AddRect",
       [](Scene& s) {
         s.dst.AddRect({3, 5, 50, 30}, s.colour);
       }},
      {"SubRect",
       [](Scene& s) {
         s.dst.SubRect({0, 0, 64, 48}, s.colour);
       }},
      {"FillRect",
       [](Scene& s) {
         s.dst.FillRect({7, 9, 33, 100}, s.colour);
       }},
      {"BlendFrame",
       [](Scene& s) {
         s.dst.BlendFrame({2, 2, 50, 40}, 5, 200, s.colour);
       }},
  };
  return cases;
}

struct Variant {
  int depth;
  bool flip_v, flip_h, clipped;
};

uint64_t RunScene(const OperationCase& op, const Variant& v, const KernelSet& kernels) {
  Scene s;
  PixelSource pixels(1234u + static_cast<uint32_t>(v.depth), v.depth);
  s.dst.SetSize(64, 48, v.depth);
  s.src.SetSize(41, 27, v.depth);
  s.mask.SetSize(41, 27, 8);
  FillRandom(s.dst, pixels);
  FillRandom(s.src, pixels);
  FillRandomMask(s.mask, pixels);
  s.src.SetKeyColor(pixels.Shared(1));
  s.colour = pixels.Shared(2);
  s.flips = {.flip_v = v.flip_v, .flip_h = v.flip_h};
  if (v.clipped) s.dst.SetClipRect({5, 3, 53, 39});
  const KernelScope scope(kernels);
  op.run(s);
  return PixelHash(s.dst);
}

std::vector<const KernelSet*> FastSets() {
  std::vector<const KernelSet*> sets{&Sse2Kernels()};
  if (const KernelSet* avx2 = Avx2Kernels()) sets.push_back(avx2);
  return sets;
}

TEST(FastPathsTest, MatchReferenceForEveryOperationDepthMirrorAndClip) {
  for (const OperationCase& op : Operations()) {
    for (const int depth : {8, 15, 16, 24, 32}) {
      for (const int flips : {0, 1, 2, 3}) {
        for (const bool clipped : {false, true}) {
          const Variant v{depth, (flips & 1) != 0, (flips & 2) != 0, clipped};
          const uint64_t before = [&] {
            TDIBX probe;
            PixelSource pixels(1234u + static_cast<uint32_t>(depth), depth);
            probe.SetSize(64, 48, depth);
            FillRandom(probe, pixels);
            return PixelHash(probe);
          }();
          const uint64_t expected = RunScene(op, v, ReferenceKernels());
          for (const KernelSet* fast : FastSets()) {
            EXPECT_EQ(RunScene(op, v, *fast), expected)
                << op.name << " depth " << depth << " flipV " << v.flip_v << " flipH " << v.flip_h
                << " clipped " << clipped << " kernels " << fast->name;
          }
          // Guard against a scene that silently draws nothing at the packed depths.
          if (depth != 8 && depth != 24) {
            EXPECT_NE(expected, before) << op.name << " drew nothing at depth " << depth;
          }
        }
      }
    }
  }
}

// Row lengths around the vector widths hit every tail length of the fast loops.
TEST(FastPathsTest, MatchReferenceForEveryRowLength) {
  for (int width = 1; width <= 19; ++width) {
    for (const OperationCase& op : Operations()) {
      auto run = [&](const KernelSet& kernels) {
        Scene s;
        PixelSource pixels(99u + static_cast<uint32_t>(width), 32);
        s.dst.SetSize(width, 30, 32);
        s.src.SetSize(41, 27, 32);
        s.mask.SetSize(41, 27, 8);
        FillRandom(s.dst, pixels);
        FillRandom(s.src, pixels);
        FillRandomMask(s.mask, pixels);
        s.src.SetKeyColor(pixels.Shared(0));
        s.colour = pixels.Shared(3);
        const KernelScope scope(kernels);
        op.run(s);
        return PixelHash(s.dst);
      };
      const uint64_t expected = run(ReferenceKernels());
      for (const KernelSet* fast : FastSets()) {
        EXPECT_EQ(run(*fast), expected) << op.name << " width " << width << " " << fast->name;
      }
    }
  }
}

// Exact results of a few scenes, so a change to the per-pixel rules themselves is noticed.
TEST(FastPathsTest, GoldenHashes) {
  struct Golden {
    const char* operation;
    Variant variant;
    uint64_t hash;
  };
  const Golden goldens[] = {
      {"DrawAlpha", {32, false, false, true}, 3017029731893527742ull},
      {"DrawRotateAdd", {16, true, false, false}, 7902598394269291477ull},
      {"StretchDrawMasked", {15, false, true, false}, 2870087948490622898ull},
      {"DrawMaskColor", {32, true, true, true}, 11392951851555641992ull},
      {"BlendRect", {24, false, false, false}, 3204591330991535562ull},
  };
  for (const Golden& g : goldens) {
    const OperationCase* op = nullptr;
    for (const OperationCase& c : Operations()) {
      if (std::string(c.name) == g.operation) op = &c;
    }
    ASSERT_NE(op, nullptr) << g.operation;
    EXPECT_EQ(RunScene(*op, g.variant, ReferenceKernels()), g.hash) << g.operation;
  }
}

}  // namespace
}  // namespace novu::render
