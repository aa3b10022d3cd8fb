#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "imagefmt/fipo_frame_list.h"
#include "imagefmt/png_transparency.h"
#include "platform/file_io.h"
#include "render/image_codecs.h"
#include "storage/zlib_codec.h"

namespace novu::imagefmt {
namespace {

void Chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& body) {
  auto be32 = [&](uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) png.push_back(static_cast<uint8_t>(v >> s));
  };
  be32(static_cast<uint32_t>(body.size()));
  std::vector<uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), body.begin(), body.end());
  png.insert(png.end(), typed.begin(), typed.end());
  be32(Crc32(typed));
}

// A 2 × 1 grey or RGB PNG with a tRNS chunk; `samples` are the raw sample bytes of the row.
std::vector<uint8_t> PngWithTransparentColour(uint8_t colour_type, uint8_t depth,
                                              const std::vector<uint8_t>& samples,
                                              const std::vector<uint8_t>& trns) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Chunk(png, "IHDR", {0, 0, 0, 2, 0, 0, 0, 1, depth, colour_type, 0, 0, 0});
  Chunk(png, "tRNS", trns);
  std::vector<uint8_t> row = {0};  // filter: none
  row.insert(row.end(), samples.begin(), samples.end());
  Chunk(png, "IDAT", Deflate(row));
  Chunk(png, "IEND", {});
  return png;
}

TEST(PngKey, TransparentColourBecomesTheKeyAndNoMask) {
  struct Case {
    const char* what;
    std::vector<uint8_t> png;
    int32_t key;
  };
  const Case cases[] = {
      {"RGB 8 bits",
       PngWithTransparentColour(2, 8, {0x10, 0x20, 0x30, 1, 2, 3}, {0, 0x10, 0, 0x20, 0, 0x30}),
       0x00102030},
      {"grey 8 bits", PngWithTransparentColour(0, 8, {0x40, 0x41}, {0, 0x40}), 0x00404040},
      {"RGB 16 bits: high bytes",
       PngWithTransparentColour(2, 16, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0, 0, 0, 0, 0, 0},
                                {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}),
       0x0012569A},
  };
  const auto dir =
      std::filesystem::temp_directory_path() / ("png_key_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(PngTransparentColour(c.png), std::optional<uint32_t>(static_cast<uint32_t>(c.key)));
    platform::WriteFileAtomically(dir / "k.png", c.png);
    TFipoFrameList list;
    list.LoadFromFile(dir / "k.png");
    ASSERT_EQ(list.Count(), 1);
    const TFipoFrame& f = list.Frames(0);
    EXPECT_FALSE(f.HasMask());
    EXPECT_EQ(f.key_value, c.key);
    EXPECT_EQ(static_cast<int32_t>(f.picture.GetPixel(0, 0)), c.key);  // the keyed pixel
    EXPECT_EQ(f.key_colour, static_cast<int32_t>(((c.key & 0xFF) << 16) | (c.key & 0xFF00) |
                                                 ((c.key >> 16) & 0xFF)));
  }
  std::filesystem::remove_all(dir);
}

TEST(PngKey, AlphaPalettesAndDamagedFilesHaveNoTransparentColour) {
  render::TDIBSurface rgba(2, 2, 32);
  rgba.EnsureMask();
  std::vector<uint8_t> cut = PngWithTransparentColour(2, 8, {1, 2, 3, 4, 5, 6}, {0, 1, 0, 2, 0, 3});
  cut.resize(40);  // inside the tRNS chunk
  const std::vector<std::vector<uint8_t>> files = {
      render::EncodePng(rgba),
      PngWithTransparentColour(3, 8, {0, 1}, {0, 255}),  // palette: alpha entries make a mask
      cut,
      {1, 2, 3},
  };
  for (const auto& f : files) EXPECT_FALSE(PngTransparentColour(f));
}

}  // namespace
}  // namespace novu::imagefmt
