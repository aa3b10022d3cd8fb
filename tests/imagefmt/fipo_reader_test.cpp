#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagefmt/fipo_fixture.h"
#include "imagefmt/fipo_frame_list.h"
#include "imagefmt/jpeg_codec.h"
#include "platform/error.h"
#include "storage/kx_random.h"

namespace novu::imagefmt {
namespace {

using render::Rect;
using testing::AppendBlock;
using testing::AppendI32;
using testing::Deflated;
using testing::FixtureFile;
using testing::FixtureFrame;
using testing::FixtureLayer;
using testing::RowForm;

uint32_t Gradient(int x, int y) {
  return static_cast<uint32_t>(0x010000 * (x * 17 + 3) + 0x000100 * (y * 29 + 5) + x * y + 1);
}
uint32_t MaskRamp(int x, int y) {
  return static_cast<uint32_t>((x * 40 + y * 7) & 0xFF);
}

TFipoFrameList Load(const FixtureFile& file, int32_t code = 0, bool first_only = false,
                    bool keep_layers = false) {
  TFipoFrameList list(code);
  list.LoadFromStream(file.Build(), first_only, keep_layers);
  return list;
}

void ExpectPixels(const render::TDIBSurface& s, const std::function<uint32_t(int, int)>& want,
                  uint32_t value_mask = 0xFFFFFFFF) {
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      ASSERT_EQ(s.GetPixel(x, y), want(x, y) & value_mask) << "at " << x << "," << y;
    }
  }
}

// One 32-bit frame of one layer with a mask, laid out as the given version stores it.
FixtureFile OneLayerFile(int32_t version, bool mask_enabled = true) {
  FixtureFile file;
  file.magic = version != 0;
  file.version = version;
  file.compression = version >= 103 ? 1 : 0;
  file.background = 0x00332211;
  FixtureFrame frame;
  frame.name = "cell";
  frame.duration = 250;
  frame.width = 5;
  frame.height = 3;
  frame.regions = {{1, 1, 3, 2}};
  FixtureLayer layer;
  layer.name = "body";
  layer.key = 7;
  layer.mask_enabled = mask_enabled;
  auto pixels = RowForm(5, 3, 32, Gradient);
  auto mask = RowForm(5, 3, 8, MaskRamp);
  layer.pixels = file.compression == 0 ? Deflated(pixels) : pixels;
  if (version >= 100) layer.mask = file.compression == 0 ? Deflated(mask) : mask;
  frame.layers.push_back(layer);
  file.frames.push_back(frame);
  return file;
}

TEST(FipoReader, EachVersionReadsItsOwnFields) {
  struct Case {
    int32_t version;
    int32_t background;
    bool mask;
    size_t regions;
  };
  const Case cases[] = {
      {0, 0, false, 0},         {100, 0, true, 0},        {101, 0, true, 0},
      {102, 0x332211, true, 0}, {103, 0x332211, true, 0}, {104, 0x332211, true, 1},
      {105, 0x332211, true, 1}, {106, 0x332211, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    TFipoFrameList list = Load(OneLayerFile(c.version), 0, false, true);
    EXPECT_EQ(list.Version(), c.version);
    EXPECT_EQ(list.BackgroundColour(), c.background);
    ASSERT_EQ(list.Count(), 1);
    const TFipoFrame& f = list.Frames(0);
    EXPECT_EQ(f.name, "cell");
    EXPECT_EQ(f.duration, 250);
    ASSERT_EQ(f.layers.size(), 1u);
    EXPECT_EQ(f.layers[0].name, "body");
    ExpectPixels(f.picture, Gradient);
    ASSERT_EQ(f.HasMask(), c.mask);
    if (c.mask) ExpectPixels(*f.picture.Mask(), MaskRamp);
    // A mask in use drops the layer's key.
    EXPECT_EQ(f.layers[0].key_value, c.mask ? -1 : 7);
    EXPECT_EQ(f.draw_regions.size(), c.regions);
    EXPECT_EQ(f.second_regions.size(), 0u);
  }
}

// Versions 100 and 101 have no mask switch (a stored mask is used); 102 has the byte.
TEST(FipoReader, MaskSwitchIsReadFromVersion102) {
  struct Case {
    int32_t version;
    bool enabled;
    bool mask_used;
  };
  const Case cases[] = {{100, false, true},
                        {101, false, true},
                        {102, false, false},
                        {102, true, true},
                        {106, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    TFipoFrameList list = Load(OneLayerFile(c.version, c.enabled), 0, false, true);
    const TFipoFrame& f = list.Frames(0);
    EXPECT_EQ(f.layers[0].name, "body");  // the fields after the switch line up
    EXPECT_EQ(f.layers[0].mask_enabled, c.mask_used);
    EXPECT_EQ(f.HasMask(), c.mask_used);
    EXPECT_EQ(f.layers[0].key_value, c.mask_used ? -1 : 7);
  }
}

TEST(FipoReader, LargerHeaderRecordIsSkippedAndSmallerIsZeroFilled) {
  FixtureFile file = OneLayerFile(106);
  file.header_size = 64;
  TFipoFrameList list = Load(file);
  EXPECT_EQ(list.BackgroundColour(), 0x332211);
  ExpectPixels(list.Frames(0).picture, Gradient);

  // Cut after the compression byte: background, blocks and the rest read as 0.
  file.header_size = 23;
  list = Load(file);
  EXPECT_EQ(list.BackgroundColour(), 0);
  ExpectPixels(list.Frames(0).picture, Gradient);
}

std::vector<int32_t> DrawnOrder(int32_t code, int32_t n) {
  TKxRandom random(code);  // a fresh generator for every picture
  random.Reset(n);
  std::vector<int32_t> order;
  for (int32_t i = 0; i < n; ++i) order.push_back(random.NextIndex());
  return order;
}

TEST(FipoReader, ScrambledRowsFollowTheDrawnOrderOfEveryPicture) {
  struct Case {
    int32_t code;
    bool flag;
    bool permuted;
  };
  const Case cases[] = {{12345, true, true}, {0, true, false}, {12345, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    const std::vector<int32_t> order = c.permuted ? DrawnOrder(c.code, 7) : std::vector<int32_t>{};
    FixtureFile file;
    file.scrambled = c.flag;
    for (int i = 0; i < 2; ++i) {  // same height: the second picture gets the same order
      FixtureFrame frame;
      frame.width = 3;
      frame.height = 7;
      FixtureLayer layer;
      layer.pixels = RowForm(3, 7, 32, Gradient, order);
      layer.mask = RowForm(3, 7, 8, MaskRamp, order);
      frame.layers.push_back(layer);
      file.frames.push_back(frame);
    }
    TFipoFrameList list = Load(file, c.code);
    for (int i = 0; i < 2; ++i) {
      ExpectPixels(list.Frames(i).picture, Gradient);
      ExpectPixels(*list.Frames(i).picture.Mask(), MaskRamp);
    }
  }
}

// JPEG colour data are never scrambled, and neither are the masks beside them, whatever the
// scrambled flag says; blocks do not apply either.
TEST(FipoReader, JpegFilesIgnoreScramblingAndBlocks) {
  render::TDIBSurface colour(8, 8, 24);
  colour.FillRect(colour.Bounds(), 0x00406080);
  FixtureFile file;
  file.compression = 2;
  file.scrambled = true;
  file.block_width = 4;
  file.block_height = 4;
  FixtureFrame frame;
  frame.width = 8;
  frame.height = 8;
  frame.bits = 24;
  FixtureLayer layer;
  layer.pixels = EncodeJpeg(colour, 95);
  layer.mask = Deflated(RowForm(8, 8, 8, MaskRamp));
  frame.layers.push_back(layer);
  file.frames.push_back(frame);
  TFipoFrameList list = Load(file, 31337);
  ExpectPixels(*list.Frames(0).picture.Mask(), MaskRamp);
  const uint32_t p = list.Frames(0).picture.GetPixel(5, 5);
  EXPECT_NEAR(static_cast<int>(p >> 16), 0x40, 3);
  EXPECT_NEAR(static_cast<int>(p & 0xFF), 0x80, 3);
}

// A 10 × 10 picture in 4 × 4 blocks: 3 × 3 entries, the last block of each row 2 pixels wide.
// Block 4 (the centre) is a copy of block 0.
std::vector<uint8_t> BlockData(int bits, int32_t code,
                               const std::function<uint32_t(int, int)>& px) {
  const int kBlocks = 9;
  std::vector<std::pair<int32_t, int32_t>> entries(kBlocks, {-1, 0});
  entries[4] = {-2, 0};
  const std::vector<int32_t> order = code ? DrawnOrder(code, kBlocks) : std::vector<int32_t>{};
  std::vector<uint8_t> out;
  for (int i = 0; i < kBlocks; ++i) {
    const auto& e = entries[static_cast<size_t>(order.empty() ? i : order[static_cast<size_t>(i)])];
    AppendI32(out, e.first);
    AppendI32(out, e.second);
  }
  for (int k = 0; k < kBlocks; ++k) {
    if (entries[static_cast<size_t>(k)].first != -1) continue;
    const int left = (k % 3) * 4;
    const int top = (k / 3) * 4;
    AppendBlock(out, {left, top, std::min(left + 4, 10), std::min(top + 4, 10)}, bits, px);
  }
  return out;
}

TEST(FipoReader, BlockFormAtEveryStorageWidthScrambledOrNot) {
  for (int bits : {4, 8, 15, 24, 32}) {
    for (int32_t code : {0, 4242}) {
      SCOPED_TRACE(::testing::Message() << bits << " bits, code " << code);
      const uint32_t value_mask = bits == 4    ? 0xF
                                  : bits == 8  ? 0xFF
                                  : bits == 15 ? 0x7FFF
                                               : 0xFFFFFF;
      auto px = [&](int x, int y) { return Gradient(x, y) & value_mask; };
      FixtureFile file;
      file.scrambled = code != 0;
      file.block_width = 4;
      file.block_height = 4;
      FixtureFrame frame;
      frame.width = 10;
      frame.height = 10;
      frame.bits = bits;
      if (bits <= 8) frame.palette.assign(size_t{1} << bits, 0);
      FixtureLayer layer;
      layer.pixels = BlockData(bits, code, px);
      layer.mask = BlockData(8, code, MaskRamp);
      frame.layers.push_back(layer);
      file.frames.push_back(frame);
      // Compressed and stored data read alike.
      for (uint8_t compression : {0, 1}) {
        FixtureFile variant = file;
        variant.compression = compression;
        if (compression == 0) {
          auto& l = variant.frames[0].layers[0];
          l.pixels = Deflated(l.pixels);
          l.mask = Deflated(l.mask);
        }
        TFipoFrameList list = Load(variant, code);
        auto want = [&](int x, int y) {
          const bool centre = x >= 4 && x < 8 && y >= 4 && y < 8;
          return centre ? px(x - 4, y - 4) : px(x, y);
        };
        ExpectPixels(list.Frames(0).picture, want);
        ExpectPixels(*list.Frames(0).picture.Mask(), [&](int x, int y) {
          const bool centre = x >= 4 && x < 8 && y >= 4 && y < 8;
          return centre ? MaskRamp(x - 4, y - 4) : MaskRamp(x, y);
        });
      }
    }
  }
}

// Frame 1 stores nothing of its own: every block of its pixels and of its mask comes from
// layer 0 of frame 0.
FixtureFile CrossFrameFile(int32_t ref_frame, int32_t ref_layer, int second_width = 6) {
  FixtureFile file;
  file.block_width = 3;
  file.block_height = 2;
  FixtureFrame first;
  first.width = 6;
  first.height = 4;
  FixtureLayer stored;
  std::vector<uint8_t> pixels, mask;
  for (int k = 0; k < 4; ++k) {
    AppendI32(pixels, -1);
    AppendI32(pixels, 0);
    AppendI32(mask, -1);
    AppendI32(mask, 0);
  }
  for (int k = 0; k < 4; ++k) {
    const Rect r{(k % 2) * 3, (k / 2) * 2, (k % 2) * 3 + 3, (k / 2) * 2 + 2};
    AppendBlock(pixels, r, 32, Gradient);
    AppendBlock(mask, r, 8, MaskRamp);
  }
  stored.pixels = pixels;
  stored.mask = mask;
  first.layers.push_back(stored);
  file.frames.push_back(first);

  FixtureFrame second = first;
  second.width = second_width;
  const int columns = (second_width + 2) / 3;
  std::vector<uint8_t> refs;
  for (int k = 0; k < columns * 2; ++k) {
    AppendI32(refs, ref_frame);
    AppendI32(refs, ref_layer);
  }
  second.layers[0].pixels = refs;
  second.layers[0].mask = refs;
  file.frames.push_back(second);
  return file;
}

TEST(FipoReader, BlocksCopyFromLayersOfEarlierFrames) {
  TFipoFrameList list = Load(CrossFrameFile(0, 0));
  ASSERT_EQ(list.Count(), 2);
  ExpectPixels(list.Frames(1).picture, Gradient);
  ExpectPixels(*list.Frames(1).picture.Mask(), MaskRamp);
  EXPECT_TRUE(list.Frames(1).layers.empty());  // dropped only after the whole file was read
}

TEST(FipoReader, FirstFrameOnlyStopsAfterOneFrame) {
  FixtureFile file = OneLayerFile(106);
  for (int i = 0; i < 4; ++i) file.frames.push_back(file.frames[0]);
  EXPECT_EQ(Load(file).Count(), 5);
  EXPECT_EQ(Load(file, 0, true).Count(), 1);
}

TEST(FipoReader, KeyValueBecomesTheColourOfThatPixel) {
  struct Case {
    int bits;
    int32_t key;
    int32_t colour;
  };
  const Case cases[] = {
      {8, 3, 0x00CCBBAA},  // palette entry 3 is 0x00AABBCC (red AA)
      {16, 0xF800, 0x0000F8},   {15, 0x7C00, 0x0000F8},       {15, 0x001F, 0xF80000},
      {24, 0x112233, 0x332211}, {32, 0x00ABCDEF, 0x00EFCDAB}, {32, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    FixtureFile file;
    FixtureFrame frame;
    frame.width = 2;
    frame.height = 2;
    frame.bits = c.bits;
    frame.key = c.key;
    if (c.bits == 8) {
      frame.palette.assign(256, 0);
      frame.palette[3] = 0x00AABBCC;
    }
    file.frames.push_back(frame);
    TFipoFrameList list = Load(file);
    EXPECT_EQ(list.Frames(0).key_value, c.key);
    EXPECT_EQ(list.Frames(0).key_colour, c.colour);
  }
}

// A frame whose layers are uniform colours: the composed pixel shows the composition rules.
struct LayerSpec {
  uint32_t colour;
  int32_t opacity = 255;
  int32_t key = -1;
  bool visible = true;
};

render::TDIBSurface Compose(int bits, int32_t background, std::vector<LayerSpec> specs,
                            bool base_opaque = false) {
  FixtureFile file;
  file.background = background;
  file.base_opaque = base_opaque;
  FixtureFrame frame;
  frame.width = 4;
  frame.height = 4;
  frame.bits = bits;
  if (bits == 8) {
    frame.palette.resize(256);
    for (uint32_t i = 0; i < 256; ++i) frame.palette[i] = i * 0x010101;
  }
  for (const LayerSpec& s : specs) {
    FixtureLayer layer;
    layer.visible = s.visible;
    layer.opacity = s.opacity;
    layer.key = s.key;
    layer.pixels = RowForm(4, 4, bits, [&](int, int) { return s.colour; });
    frame.layers.push_back(layer);
  }
  file.frames.push_back(frame);
  TFipoFrameList list = Load(file);
  render::TDIBSurface out;
  out.AssignFrom(list.Frames(0).picture);
  return out;
}

TEST(FipoReader, VisibleLayersComposeByOpacityAndKey) {
  struct Case {
    const char* what;
    int bits;
    std::vector<LayerSpec> layers;
    bool base_opaque;
    uint32_t want;
  };
  const Case cases[] = {
      {"no layers: background", 32, {}, false, 0x00112233},
      {"opaque copy", 32, {{0x00A0B0C0}}, false, 0x00A0B0C0},
      {"only a hidden layer: background", 32, {{0x00FFFFFF, 255, -1, false}}, false, 0x00112233},
      {"hidden layer ignored", 32, {{0x00A0B0C0}, {0x00FFFFFF, 255, -1, false}}, false, 0x00A0B0C0},
      {"key pixels skipped", 32, {{0x00A0B0C0}, {0x00FFFFFF, 255, 0x00FFFFFF}}, false, 0x00A0B0C0},
      // 32 bits: (d * 127 + s * 128) >> 8 per channel.
      {"half opacity, 32 bits", 32, {{0x00000000}, {0x00FF8040, 128}}, false, 0x007F4020},
      // 24 bits: (d * 127 + s * 128) / 255 per channel.
      {"half opacity, 24 bits", 24, {{0x00000000}, {0x00FF8040, 128}}, false, 0x00804020},
      {"zero opacity draws nothing", 32, {{0x00A0B0C0}, {0x00FFFFFF, 0}}, false, 0x00A0B0C0},
      // The first visible layer's key shows the background, unless the base layer is opaque.
      {"keyed base layer", 32, {{0x00A0B0C0, 255, 0x00A0B0C0}}, false, 0x00112233},
      {"opaque base layer", 32, {{0x00A0B0C0, 255, 0x00A0B0C0}}, true, 0x00A0B0C0},
      {"8 bits: nearest palette background", 8, {}, false, 0x22},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Background 0x00332211 is red 0x11, green 0x22, blue 0x33.
    const render::TDIBSurface s =
        Compose(c.bits, c.bits == 8 ? 0x00222222 : 0x00332211, c.layers, c.base_opaque);
    EXPECT_EQ(s.GetPixel(1, 2), c.want);
  }
}

TEST(FipoReader, HalfOpacityOnPalettePicturesDithers) {
  // Opacity 128 is level 8: the source shows in the cells with thresholds 0-7 of
  // 0 8 2 10 / 12 4 14 6 / ..., half of every 4 x 4 block (the surfaces' dither rule).
  const render::TDIBSurface s = Compose(8, 0, {{0x10}, {0x80, 128}});
  const int kThresholds[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(s.GetPixel(x, y), kThresholds[y][x] < 8 ? 0x80u : 0x10u) << x << "," << y;
    }
  }
}

TEST(FipoReader, MaskedUpperLayerBlendsThroughItsMask) {
  FixtureFile file;
  FixtureFrame frame;
  frame.width = 4;
  frame.height = 1;
  FixtureLayer base;
  base.pixels = RowForm(4, 1, 32, [](int, int) { return 0x00000000u; });
  FixtureLayer top;
  top.pixels = RowForm(4, 1, 32, [](int, int) { return 0x00FF8040u; });
  const uint32_t masks[4] = {0, 255, 128, 64};
  top.mask = RowForm(4, 1, 8, [&](int x, int) { return masks[x]; });
  frame.layers = {base, top};
  file.frames.push_back(frame);
  TFipoFrameList list = Load(file);
  const auto& p = list.Frames(0).picture;
  EXPECT_EQ(p.GetPixel(0, 0), 0x00000000u);
  EXPECT_EQ(p.GetPixel(1, 0), 0x00FF8040u);
  EXPECT_EQ(p.GetPixel(2, 0), 0x007F4020u);  // (s * m) >> 8
  EXPECT_EQ(p.GetPixel(3, 0), 0x003F2010u);
  EXPECT_FALSE(list.Frames(0).HasMask());  // not the first visible layer
}

// --- malformed files ---------------------------------------------------------------------

struct BadCase {
  const char* what;
  const char* message;  // a part of the error message
  std::function<std::vector<uint8_t>()> build;
};

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t drop) {
  bytes.resize(bytes.size() - drop);
  return bytes;
}

FixtureFile WithFrame(std::function<void(FixtureFrame&)> edit) {
  FixtureFile file = OneLayerFile(106);
  edit(file.frames[0]);
  return file;
}

TEST(FipoReader, MalformedFilesAreRejectedWithAnError) {
  const BadCase cases[] = {
      {"unknown version", "unsupported version",
       [] {
         auto f = OneLayerFile(106);
         f.version = 107;
         return f.Build();
       }},
      {"version digits", "not a number",
       [] {
         auto b = OneLayerFile(106).Build();
         b[5] = 'x';
         return b;
       }},
      {"negative header size", "negative header size",
       [] {
         auto f = OneLayerFile(106);
         f.header_size = -4;
         return f.Build();
       }},
      {"header size beyond the data", "need",
       [] {
         auto f = OneLayerFile(106);
         f.header_size = 1 << 30;
         return Cut(f.Build(), 0);
       }},
      {"unknown compression", "unknown compression",
       [] {
         auto f = OneLayerFile(106);
         f.compression = 3;
         return f.Build();
       }},
      {"negative frame count", "negative frame count",
       [] {
         auto f = OneLayerFile(106);
         f.frame_count = -1;
         return f.Build();
       }},
      {"frame count beyond the data", "does not fit",
       [] {
         auto f = OneLayerFile(106);
         f.frame_count = 1000000;
         return f.Build();
       }},
      {"negative block size", "negative block size",
       [] {
         auto f = OneLayerFile(106);
         f.block_width = -4;
         f.block_height = 4;
         return f.Build();
       }},
      {"bad bit count", "bad bit count",
       [] { return WithFrame([](FixtureFrame& fr) { fr.bits = 12; }).Build(); }},
      {"negative width", "bad picture size",
       [] { return WithFrame([](FixtureFrame& fr) { fr.width = -5; }).Build(); }},
      {"zero height", "bad picture size",
       [] { return WithFrame([](FixtureFrame& fr) { fr.height = 0; }).Build(); }},
      {"oversized picture", "too large",
       [] {
         return WithFrame([](FixtureFrame& fr) {
                  fr.width = 16000;
                  fr.height = 16000;
                })
             .Build();
       }},
      {"width times height overflows 32 bits", "too large",
       [] {
         return WithFrame([](FixtureFrame& fr) {
                  fr.width = 65536;
                  fr.height = 65536;
                })
             .Build();
       }},
      {"layer count beyond the data", "does not fit",
       [] { return WithFrame([](FixtureFrame& fr) { fr.layer_count = 5000000; }).Build(); }},
      {"pixel data shorter than the picture", "end too early",
       [] { return WithFrame([](FixtureFrame& fr) { fr.layers[0].pixels.resize(20); }).Build(); }},
      {"mask data shorter than the picture", "end too early",
       [] { return WithFrame([](FixtureFrame& fr) { fr.layers[0].mask.resize(3); }).Build(); }},
      {"palette missing", "need",
       [] {
         return WithFrame([](FixtureFrame& fr) {
                  fr.bits = 8;
                  fr.layers.clear();
                })
             .Build();
       }},
      {"truncated in the regions", "does not fit",
       [] { return Cut(OneLayerFile(106).Build(), 6); }},
      {"truncated in the layer", "need", [] { return Cut(OneLayerFile(106).Build(), 60); }},
      {"damaged zlib data", "damaged compressed data",
       [] {
         auto f = OneLayerFile(102);
         f.frames[0].layers[0].pixels[2] ^= 0xFF;
         f.frames[0].layers[0].pixels[3] ^= 0xFF;
         return f.Build();
       }},
      {"truncated zlib data", "end too early",
       [] {
         auto f = OneLayerFile(102);
         f.frames[0].layers[0].pixels.resize(f.frames[0].layers[0].pixels.size() / 2);
         return f.Build();
       }},
      {"block refers to itself", "not read yet",
       [] {
         FixtureFile f = CrossFrameFile(1, 0);
         return f.Build();
       }},
      {"block refers to a later frame", "not read yet",
       [] { return CrossFrameFile(5, 0).Build(); }},
      {"block refers to a missing layer", "not read yet",
       [] { return CrossFrameFile(0, 3).Build(); }},
      {"block refers to a negative layer", "not read yet",
       [] { return CrossFrameFile(0, -7).Build(); }},
      {"block area outside the earlier picture", "outside the other picture",
       [] { return CrossFrameFile(0, 0, 9).Build(); }},
      {"block refers to a later block", "block not read yet",
       [] {
         FixtureFile f = CrossFrameFile(0, 0);
         std::vector<uint8_t> entries;
         for (int k = 0; k < 4; ++k) {
           AppendI32(entries, k == 0 ? -2 : -1);
           AppendI32(entries, k == 0 ? 1 : 0);
         }
         f.frames[0].layers[0].pixels.erase(f.frames[0].layers[0].pixels.begin(),
                                            f.frames[0].layers[0].pixels.begin() + 32);
         f.frames[0].layers[0].pixels.insert(f.frames[0].layers[0].pixels.begin(), entries.begin(),
                                             entries.end());
         return f.Build();
       }},
      {"block table larger than the data", "block table larger",
       [] {
         FixtureFile f = CrossFrameFile(0, 0);
         f.block_width = 1;
         f.block_height = 1;
         return f.Build();
       }},
      {"JPEG data that are not JPEG", "damaged JPEG",
       [] {
         auto f = OneLayerFile(106);
         f.compression = 2;
         return f.Build();
       }},
      {"negative data size", "negative data size",
       [] {
         auto b = OneLayerFile(106).Build();
         // The pixel data count follows the layer name "body".
         const std::string name = "body";
         auto at = std::search(b.begin(), b.end(), name.begin(), name.end()) - b.begin() + 4;
         b[static_cast<size_t>(at) + 3] = 0x80;
         return b;
       }},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.what);
    TFipoFrameList list;
    const std::vector<uint8_t> bytes = c.build();
    try {
      list.LoadFromStream(bytes);
      ADD_FAILURE() << "no error";
    } catch (const NovuError& e) {
      EXPECT_NE(e.Utf8Message().find(c.message), std::string::npos) << e.Utf8Message();
    }
    EXPECT_EQ(list.Count(), 0);
  }
}

TEST(FipoReader, SizeLimitsCapWhatOneFileMayAllocate) {
  FixtureFile file = OneLayerFile(106);
  TFipoFrameList list;
  list.Limits().max_total_bytes = 100;  // the frame picture fits, its layer does not
  EXPECT_THROW(list.LoadFromStream(file.Build()), NovuError);
  list.Limits() = {};
  list.LoadFromStream(file.Build());
  EXPECT_EQ(list.Count(), 1);
}

}  // namespace
}  // namespace novu::imagefmt
