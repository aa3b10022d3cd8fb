#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "imagefmt/fipo_fixture.h"
#include "imagefmt/fipo_frame_list.h"
#include "imagefmt/picture_conversion.h"
#include "platform/error.h"
#include "render/image_codecs.h"

namespace novu::imagefmt {
namespace {

using render::TDIBSurface;

// A 32-bit picture whose colours survive the given depth exactly.
TDIBSurface SourcePicture(int depth, bool with_mask, int width = 13, int height = 7) {
  TDIBSurface s(width, height, 32);
  if (with_mask) s.EnsureMask();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t r = static_cast<uint32_t>(x * 19 + y * 3) & 0xFF;
      uint32_t g = static_cast<uint32_t>(y * 37 + x) & 0xFF;
      uint32_t b = static_cast<uint32_t>((x ^ y) * 11) & 0xFF;
      switch (depth) {
        case 1:
          r = g = b = ((x + y) & 1) ? 0xFF : 0x10;
          break;
        case 4:
          r = g = b = static_cast<uint32_t>((x + 2 * y) % 16) * 16;
          break;
        case 8:
          r = static_cast<uint32_t>((x * 7 + y) % 100);
          g = 5;
          b = 9;
          break;
        case 15:
          r &= 0xF8;
          g &= 0xF8;
          b &= 0xF8;
          break;
        case 16:
          r &= 0xF8;
          g &= 0xFC;
          b &= 0xF8;
          break;
        default:
          break;
      }
      s.SetPixel(x, y, (r << 16) | (g << 8) | b);
      if (with_mask) s.Mask()->SetPixel(x, y, static_cast<uint32_t>((x * 23 + y * 41) % 256));
    }
  }
  return s;
}

void ExpectSameRgba(const TDIBSurface& want, const TDIBSurface& got) {
  ASSERT_EQ(got.Width(), want.Width());
  ASSERT_EQ(got.Height(), want.Height());
  for (int y = 0; y < want.Height(); ++y) {
    for (int x = 0; x < want.Width(); ++x) {
      ASSERT_EQ(got.GetPixel(x, y) & 0xFFFFFF, want.GetPixel(x, y) & 0xFFFFFF) << x << "," << y;
      const uint32_t alpha = want.Mask() ? want.Mask()->GetPixel(x, y) : 255;
      ASSERT_NE(got.Mask(), nullptr);
      ASSERT_EQ(got.Mask()->GetPixel(x, y), alpha) << x << "," << y;
    }
  }
}

TEST(FipoRoundTrip, PngToFipToPngIsExactAtEveryDepth) {
  for (int depth : {1, 4, 8, 15, 16, 24, 32}) {
    for (int32_t code : {0, 9731}) {
      for (bool mask : {false, true}) {
        for (bool blocks : {false, true}) {
          for (Compression compression : {Compression::kDeflate, Compression::kNone}) {
            SCOPED_TRACE(::testing::Message()
                         << depth << " bits, code " << code << ", mask " << mask << ", blocks "
                         << blocks << ", compression " << static_cast<int>(compression));
            const TDIBSurface source = SourcePicture(depth, mask);
            const TDIBSurface decoded = render::DecodePng(render::EncodePng(source));

            TFipoFrameList out(code);
            out.AddFrame().picture = ConvertToDepth(decoded, depth);
            SaveOptions options;
            options.compression = compression;
            if (blocks) options.block_width = 5, options.block_height = 3;
            const std::vector<uint8_t> file = out.SaveToStream(options);

            TFipoFrameList in(code);
            in.LoadFromStream(file);
            ASSERT_EQ(in.Count(), 1);
            EXPECT_EQ(in.Frames(0).BitCount(), depth);
            EXPECT_EQ(in.Frames(0).HasMask(), mask);
            ExpectSameRgba(source, render::DecodePng(EncodeFramePng(in.Frames(0))));
          }
        }
      }
    }
  }
}

TEST(FipoRoundTrip, ScrambledFilesNeedTheirCode) {
  const TDIBSurface source = SourcePicture(32, false, 16, 16);
  TFipoFrameList out(555);
  out.AddFrame().picture.AssignFrom(source);
  const std::vector<uint8_t> file = out.SaveToStream({});
  EXPECT_TRUE(IsStoredUncompressed(file));  // scrambled pictures are stored as they are

  TFipoFrameList wrong(554);
  wrong.LoadFromStream(file);
  int differing = 0;
  for (int y = 0; y < 16; ++y)
    differing += wrong.Frames(0).picture.GetPixel(0, y) != source.GetPixel(0, y);
  EXPECT_GT(differing, 8);
}

TEST(FipoRoundTrip, MultiFrameFilesKeepNamesDurationsKeysAndRegions) {
  TFipoFrameList out;
  out.SetBackgroundColour(0x00102030);
  struct Want {
    std::string name;
    int32_t duration;
    int32_t key;
    int width;
  };
  const Want wants[] = {{Jp("コマ1"), 40, -1, 13}, {"second", 0, 0x00123456, 9}, {"", 1000, 5, 4}};
  for (const Want& w : wants) {
    TFipoFrame& f = out.AddFrame();
    f.name = w.name;
    f.duration = w.duration;
    f.key_value = w.key;
    f.picture = SourcePicture(24, false, w.width, 5);
    f.draw_regions = {{0, 0, 2, 2}, {1, 1, 4, 3}};
    f.second_regions = {{2, 0, 3, 5}};
  }
  TFipoFrameList in;
  in.LoadFromStream(out.SaveToStream({}));
  ASSERT_EQ(in.Count(), 3);
  EXPECT_EQ(in.BackgroundColour(), 0x00102030);
  EXPECT_EQ(in.Version(), 106);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const TFipoFrame& f = in.Frames(i);
    EXPECT_EQ(f.name, wants[i].name);
    EXPECT_EQ(f.duration, wants[i].duration);
    EXPECT_EQ(f.key_value, wants[i].key);
    EXPECT_EQ(f.Width(), wants[i].width);
    EXPECT_EQ(f.draw_regions, out.Frames(i).draw_regions);
    EXPECT_EQ(f.second_regions, out.Frames(i).second_regions);
  }
}

TEST(FipoRoundTrip, KeptLayersAreWrittenBack) {
  TFipoFrameList out;
  TFipoFrame& f = out.AddFrame();
  f.picture = SourcePicture(32, false, 6, 4);
  for (const char* name : {"back", "hidden"}) {
    TFipoLayer layer;
    layer.name = name;
    layer.visible = std::string(name) == "back";
    layer.opacity = 200;
    layer.pixels = SourcePicture(32, false, 6, 4);
    f.layers.push_back(std::move(layer));
  }
  TFipoFrameList in;
  in.LoadFromStream(out.SaveToStream({}), false, true);
  ASSERT_EQ(in.Frames(0).layers.size(), 2u);
  EXPECT_EQ(in.Frames(0).layers[1].name, "hidden");
  EXPECT_FALSE(in.Frames(0).layers[1].visible);
  EXPECT_EQ(in.Frames(0).layers[0].opacity, 200);
}

TEST(FipoRoundTrip, JpegVariantKeepsColoursCloseAndMasksExact) {
  TFipoFrameList out;
  out.AddFrame().picture = SourcePicture(32, true, 32, 16);
  // Smooth colours survive JPEG well.
  TDIBSurface& p = out.Frames(0).picture;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 32; ++x)
      p.SetPixel(x, y, static_cast<uint32_t>((x * 8) << 16 | (y * 16) << 8 | 0x40));
  }
  SaveOptions options;
  options.compression = Compression::kJpeg;
  options.quality = 95;
  const std::vector<uint8_t> file = out.SaveToStream(options);
  EXPECT_FALSE(IsStoredUncompressed(file));

  TFipoFrameList in;
  in.LoadFromStream(file);
  const TFipoFrame& f = in.Frames(0);
  EXPECT_EQ(f.BitCount(), 32);
  ASSERT_TRUE(f.HasMask());
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 32; ++x) {
      const uint32_t a = p.GetPixel(x, y), b = f.picture.GetPixel(x, y);
      for (int shift : {0, 8, 16}) {
        EXPECT_LE(
            std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)),
            12);
      }
      EXPECT_EQ(f.picture.Mask()->GetPixel(x, y), p.Mask()->GetPixel(x, y));
    }
  }
}

TEST(FipoRoundTrip, BlockWriterStoresRepeatedBlocksOnce) {
  TFipoFrameList out;
  TDIBSurface& p = out.AddFrame().picture;
  p.SetSize(64, 64, 32);
  p.FillRect(p.Bounds(), 0x00336699);
  p.SetPixel(63, 63, 0x00FFFFFF);  // one block differs
  SaveOptions options;
  options.compression = Compression::kNone;
  options.block_width = 8;
  options.block_height = 8;
  const std::vector<uint8_t> file = out.SaveToStream(options);
  // 64 entries and two stored blocks instead of 16 KiB of rows.
  EXPECT_LT(file.size(), 64u * 8 + 2 * 8 * 8 * 4 + 200);
  TFipoFrameList in;
  in.LoadFromStream(file);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      ASSERT_EQ(in.Frames(0).picture.GetPixel(x, y),
                x == 63 && y == 63 ? 0x00FFFFFFu : 0x00336699u);
    }
  }
}

TEST(FipoWriter, ScramblingWithoutCodeIsRefused) {
  TFipoFrameList out(0);
  out.AddFrame().picture.SetSize(2, 2, 24);
  SaveOptions options;
  options.scramble = true;
  try {
    out.SaveToStream(options);
    FAIL() << "no error";
  } catch (const NovuError& e) {
    EXPECT_EQ(e.message(), Jp("識別コードを設定してください"));
  }
}

TEST(FipoWriter, FramesNoReaderCouldTakeBackAreRefused) {
  struct Case {
    const char* what;
    int layer_width;
    int layer_depth;
    int picture_width;
  };
  const Case cases[] = {
      {"empty picture", 0, 0, 0},
      {"layer of another size", 5, 24, 4},
      {"layer of another depth", 4, 16, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFipoFrameList out;
    TFipoFrame& f = out.AddFrame();
    if (c.picture_width > 0) f.picture.SetSize(c.picture_width, 3, 24);
    if (c.layer_width > 0) {
      f.layers.emplace_back().pixels.SetSize(4, 3, 24);
      f.layers.emplace_back().pixels.SetSize(c.layer_width, 3, c.layer_depth);
    }
    EXPECT_THROW(out.SaveToStream({}), NovuError);
  }
}

TEST(FipoFormat, StoredUncompressedAnswer) {
  TFipoFrameList list;
  list.AddFrame().picture.SetSize(3, 3, 24);
  SaveOptions stored;
  stored.compression = Compression::kNone;
  testing::FixtureFile old;
  old.version = 102;
  old.compression = 1;  // not read before 103
  const std::vector<uint8_t> png = render::EncodePng(TDIBSurface(2, 2, 32));
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
    bool want;
  };
  const Case cases[] = {
      {"deflated", list.SaveToStream({}), false},
      {"stored", list.SaveToStream(stored), true},
      {"version 102", old.Build(), false},
      {"PNG", png, false},
      {"cut short", {'F', 'i', 'p', 'o', '1', '0', '6', 40, 0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(IsStoredUncompressed(c.data), c.want);
  }
}

}  // namespace
}  // namespace novu::imagefmt
