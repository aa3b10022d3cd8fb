// Bitmap and PNG files in and out of surfaces, including damaged files.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/binary_writer.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "render/dibx.h"
#include "render/image_codecs.h"

namespace novu::render {
namespace {

struct BmpFields {
  int32_t width = 1, height = 1;
  int bit_count = 24;
  uint32_t compression = 0;
  std::vector<uint32_t> palette;
  std::vector<uint8_t> bits;
  uint32_t header_size = 40;
  int64_t palette_count = -1;  // written as given when not negative
  int64_t bits_offset = -1;
};

// A bitmap file written field by field.
std::vector<uint8_t> BuildBmp(const BmpFields& s) {
  BinaryWriter out;
  const uint32_t offset = s.bits_offset >= 0
                              ? static_cast<uint32_t>(s.bits_offset)
                              : 14 + 40 + static_cast<uint32_t>(s.palette.size()) * 4;
  out.U8('B');
  out.U8('M');
  out.U32(offset + static_cast<uint32_t>(s.bits.size()));
  out.U32(0);
  out.U32(offset);
  out.U32(s.header_size);
  out.I32(s.width);
  out.I32(s.height);
  out.U16(1);
  out.U16(static_cast<uint16_t>(s.bit_count));
  out.U32(s.compression);
  out.U32(static_cast<uint32_t>(s.bits.size()));
  out.I32(0);
  out.I32(0);
  out.U32(s.palette_count >= 0 ? static_cast<uint32_t>(s.palette_count)
                               : static_cast<uint32_t>(s.palette.size()));
  out.U32(0);
  for (const uint32_t c : s.palette) out.U32(c);
  out.Bytes(s.bits);
  return out.Take();
}

uint32_t Rgb(const TDIBSurface& p, int x, int y) {
  uint8_t r, g, b;
  p.Rgb8Of(p.GetPixel(x, y), r, g, b);
  return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

TDIBSurface Pattern(int w, int h, int depth) {
  TDIBSurface s(w, h, depth);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) s.SetPixel(x, y, static_cast<uint32_t>(x * 0x1F3D + y * 0x4A1B7));
  }
  return s;
}

TEST(BmpTest, TwentyFourBitFileKeepsTheColoursOfEveryDepth) {
  for (const int depth : {15, 16, 24, 32}) {
    const TDIBSurface picture = Pattern(5, 3, depth);
    const TDIBSurface back = DecodeBmp(EncodeBmp24(picture));
    ASSERT_EQ(back.BitCount(), 24);
    ASSERT_EQ(back.Width(), 5);
    ASSERT_EQ(back.Height(), 3);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 5; ++x) EXPECT_EQ(Rgb(back, x, y), Rgb(picture, x, y)) << depth;
    }
  }
}

TEST(BmpTest, ReadsPaletteDepthsBitFieldsAndRowOrder) {
  struct Case {
    const char* name;
    BmpFields fields;
    int depth;
    std::vector<uint32_t> top_row;  // raw pixels of row 0
  };
  const std::vector<Case> cases = {
      {"8-bit bottom-up",
       {3, 2, 8, 0, {0xFF0000, 0x00FF00, 0x0000FF}, {0, 1, 2, 0, 2, 2, 1, 0}},
       8,
       {2, 2, 1}},
      {"8-bit top-down",
       {3, -2, 8, 0, {0xFF0000, 0x00FF00, 0x0000FF}, {0, 1, 2, 0, 2, 2, 1, 0}},
       8,
       {0, 1, 2}},
      {"4-bit", {3, 1, 4, 0, {0, 0xFFFFFF}, {0x10, 0x10, 0, 0}}, 4, {1, 0, 1}},
      {"1-bit", {9, 1, 1, 0, {0, 0xFFFFFF}, {0xA5, 0x80, 0, 0}}, 1, {1, 0, 1, 0, 0, 1, 0, 1, 1}},
      {"16-bit plain is 5-5-5", {2, 1, 16, 0, {}, {0x00, 0x7C, 0x1F, 0x00}}, 15, {0x7C00, 0x001F}},
      {"16-bit 5-6-5 fields",
       {1, 1, 16, 3, {0xF800, 0x07E0, 0x001F}, {0xE0, 0x07, 0, 0}},
       16,
       {0x07E0}},
      {"32-bit", {1, 1, 32, 0, {}, {1, 2, 3, 0}}, 32, {0x030201}},
  };
  for (const Case& c : cases) {
    const TDIBSurface p = DecodeBmp(BuildBmp(c.fields));
    ASSERT_EQ(p.BitCount(), c.depth) << c.name;
    for (size_t x = 0; x < c.top_row.size(); ++x) {
      EXPECT_EQ(p.GetPixel(static_cast<int>(x), 0), c.top_row[x]) << c.name << " x " << x;
    }
  }
}

TEST(BmpTest, RunLengthEncodedPixels) {
  // Bottom row: 3 × index 1, absolute run 2 0 1 (padded), end of line; top row: delta (1, 0)
  // then 2 × index 2, end of bitmap.
  const BmpFields fields{
      6, 2, 8, 1, {0, 0xFF0000, 0x00FF00}, {3, 1, 0, 3, 2, 0, 1, 0, 0, 0, 0, 2, 1, 0, 2, 2, 0, 1}};
  const TDIBSurface p = DecodeBmp(BuildBmp(fields));
  const std::vector<uint32_t> bottom{1, 1, 1, 2, 0, 1}, top{0, 2, 2, 0, 0, 0};
  for (int x = 0; x < 6; ++x) {
    EXPECT_EQ(p.GetPixel(x, 1), bottom[x]) << x;
    EXPECT_EQ(p.GetPixel(x, 0), top[x]) << x;
  }
}

TEST(BmpTest, DamagedFilesAreRefused) {
  auto file_with = [](auto change) {
    BmpFields s{4, 4, 24, 0, {}, std::vector<uint8_t>(48, 0x55)};
    change(s);
    return BuildBmp(s);
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
  };
  const std::vector<Case> cases = {
      {"pixels cut short", file_with([](BmpFields& s) { s.bits.resize(40); })},
      {"zero width", file_with([](BmpFields& s) { s.width = 0; })},
      {"huge width", file_with([](BmpFields& s) { s.width = 1 << 30; })},
      {"most negative height", file_with([](BmpFields& s) { s.height = INT32_MIN; })},
      {"unknown header", file_with([](BmpFields& s) { s.header_size = 7; })},
      {"unknown depth", file_with([](BmpFields& s) { s.bit_count = 7; })},
      {"unknown compression", file_with([](BmpFields& s) { s.compression = 9; })},
      {"offset beyond the end", file_with([](BmpFields& s) { s.bits_offset = 1 << 20; })},
      {"offset inside the header", file_with([](BmpFields& s) { s.bits_offset = 10; })},
      {"palette larger than the file", file_with([](BmpFields& s) {
         s.bit_count = 8;
         s.palette_count = 0xFFFFFFFF;
         s.bits.resize(4);
       })},
      {"just the signature", {'B', 'M'}},
  };
  for (const Case& c : cases) EXPECT_THROW(DecodeBmp(c.file), NovuError) << c.name;
}

TEST(PngTest, RoundTripKeepsColoursAndAlphaAsMask) {
  TDIBSurface picture = Pattern(6, 4, 32);
  picture.FillMask();
  picture.Mask()->SetPixel(2, 3, 17);
  const TDIBSurface back = DecodePng(EncodePng(picture));
  ASSERT_EQ(back.Width(), 6);
  ASSERT_EQ(back.Height(), 4);
  ASSERT_NE(back.Mask(), nullptr);
  EXPECT_EQ(back.Mask()->GetPixel(2, 3), 17u);
  EXPECT_EQ(back.Mask()->GetPixel(0, 0), 255u);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) EXPECT_EQ(back.GetPixel(x, y), Rgb(picture, x, y));
  }
  EXPECT_EQ(DecodePng(EncodePng(Pattern(3, 3, 32))).Mask(), nullptr);
}

// A PNG signature and one IHDR chunk with a correct checksum.
std::vector<uint8_t> PngWithHeader(uint32_t width, uint32_t height) {
  std::vector<uint8_t> file{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};
  std::vector<uint8_t> chunk{'I', 'H', 'D', 'R'};
  for (const uint32_t v : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8) chunk.push_back(static_cast<uint8_t>(v >> shift));
  }
  chunk.insert(chunk.end(), {8, 2, 0, 0, 0});
  const uLong crc = crc32(0, chunk.data(), static_cast<uInt>(chunk.size()));
  file.insert(file.end(), chunk.begin(), chunk.end());
  for (int shift = 24; shift >= 0; shift -= 8) file.push_back(static_cast<uint8_t>(crc >> shift));
  return file;
}

TEST(PngTest, DamagedOrOversizedImagesAreRefused) {
  std::vector<uint8_t> truncated = EncodePng(Pattern(8, 8, 32));
  truncated.resize(truncated.size() / 2);
  EXPECT_THROW(DecodePng(truncated), NovuError);
  EXPECT_THROW(DecodePng(PngWithHeader(20000, 20000)), NovuError);
  EXPECT_THROW(DecodePng(PngWithHeader(4, 4)), NovuError);  // no image data at all
}

TEST(SurfaceFileTest, LoadConvertsToTheSurfaceDepthAndSaveWritesOnlyBitmaps) {
  const auto dir = std::filesystem::path(NOVU_BINARY_DIR) / "render_file_test";
  std::filesystem::create_directories(dir);
  TDIBX source;
  source.SetSize(4, 3, 32);
  source.Clear(0xFF0000);  // red
  source.SaveToFile(dir / "red.BMP");
  source.SaveToFile(dir / "red.png");
  EXPECT_TRUE(std::filesystem::exists(dir / "red.BMP"));
  EXPECT_FALSE(std::filesystem::exists(dir / "red.png"));

  TDIBX loaded;
  loaded.SetSize(1, 1, 16);
  loaded.LoadFromFile(dir / "red.BMP");
  EXPECT_EQ(loaded.Width(), 4);
  EXPECT_EQ(loaded.Height(), 3);
  EXPECT_EQ(loaded.BitCount(), 16);
  EXPECT_EQ(loaded.GetPixel(3, 2), 0xF800u);

  loaded.LoadFromFile(dir / "red.png");  // not a bitmap name: unchanged
  EXPECT_EQ(loaded.Width(), 4);
  EXPECT_THROW(loaded.LoadFromFile(dir / "missing.bmp"), NovuError);
  const std::vector<uint8_t> junk{'X', 'Y', 'Z'};
  EXPECT_THROW(loaded.LoadFromStream(junk, 0), NovuError);
}

TEST(SurfaceFileTest, PresentViewIsTheTopRowOfABottomUpFrame) {
  TDIBX screen;
  screen.SetSize(3, 2, 32);
  screen.SetPixel(1, 0, 0x00ABCDEF);
  screen.SetPixel(2, 1, 0x00123456);
  const platform::FrameView view = screen.PresentView();
  ASSERT_NE(view.pixels, nullptr);
  EXPECT_EQ(view.width, 3);
  EXPECT_EQ(view.height, 2);
  EXPECT_LT(view.pitch, 0);
  EXPECT_EQ(view.pixels[1], 0x00ABCDEFu);
  const auto* second_row =
      reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(view.pixels) + view.pitch);
  EXPECT_EQ(second_row[2], 0x00123456u);
  TDIBX low;
  low.SetSize(3, 2, 16);
  EXPECT_EQ(low.PresentView().pixels, nullptr);
}

}  // namespace
}  // namespace novu::render
