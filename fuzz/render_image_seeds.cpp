// Writes the seed corpus of the image-loading fuzz target: small bitmaps at every depth the
// reader knows, a run-length encoded one, and PNG images with and without alpha.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/binary_writer.h"
#include "render/dib_surface.h"
#include "render/image_codecs.h"

namespace {

using novu::render::TDIBSurface;

void Write(const std::filesystem::path& dir, const std::string& name,
           const std::vector<uint8_t>& bytes) {
  std::ofstream out(dir / name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

TDIBSurface Pattern(int w, int h, int depth) {
  TDIBSurface s(w, h, depth);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) s.SetPixel(x, y, static_cast<uint32_t>(x * 37 + y * 101));
  }
  return s;
}

// A bitmap file written field by field, for depths and encodings the encoder does not produce.
std::vector<uint8_t> RawBmp(int w, int h, int bit_count, uint32_t compression,
                            const std::vector<uint32_t>& palette,
                            const std::vector<uint8_t>& bits) {
  novu::BinaryWriter out;
  const uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size()) * 4;
  out.U8('B');
  out.U8('M');
  out.U32(offset + static_cast<uint32_t>(bits.size()));
  out.U32(0);
  out.U32(offset);
  out.U32(40);
  out.I32(w);
  out.I32(h);
  out.U16(1);
  out.U16(static_cast<uint16_t>(bit_count));
  out.U32(compression);
  out.U32(static_cast<uint32_t>(bits.size()));
  out.I32(0);
  out.I32(0);
  out.U32(static_cast<uint32_t>(palette.size()));
  out.U32(0);
  for (const uint32_t c : palette) out.U32(c);
  out.Bytes(bits);
  return out.Take();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);
  Write(dir, "rgb24.bmp", novu::render::EncodeBmp24(Pattern(5, 3, 32)));
  std::vector<uint8_t> rows8(4 * 2);
  for (size_t i = 0; i < rows8.size(); ++i) rows8[i] = static_cast<uint8_t>(i % 4);
  Write(dir, "indexed8.bmp", RawBmp(3, 2, 8, 0, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, rows8));
  Write(dir, "indexed4.bmp",
        RawBmp(5, 2, 4, 0, {0x000000, 0x808080}, {0x01, 0x10, 0x10, 0, 0x11, 0x01, 0x00, 0}));
  Write(dir, "mono1.bmp",
        RawBmp(9, 2, 1, 0, {0x000000, 0xFFFFFF}, {0xA5, 0x80, 0, 0, 0x5A, 0x00, 0, 0}));
  Write(dir, "rgb555.bmp", RawBmp(2, 2, 16, 0, {}, {0x1F, 0x7C, 0xE0, 0x03, 0xFF, 0x7F, 0, 0}));
  Write(dir, "rgb32.bmp", RawBmp(2, 1, 32, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0}));
  // Runs, an absolute run, a delta, end of line and end of bitmap.
  Write(dir, "rle8.bmp",
        RawBmp(6, 3, 8, 1, {0x000000, 0xFF0000, 0x00FF00},
               {3, 1, 0, 3, 2, 1, 2, 0, 0, 0, 2, 1, 1, 4, 2, 0, 0, 1}));
  Write(dir, "rle4.bmp", RawBmp(6, 2, 4, 2, {0x000000, 0xFFFFFF}, {4, 0x10, 0, 0, 3, 0x01, 0, 1}));
  TDIBSurface with_alpha = Pattern(4, 4, 32);
  with_alpha.FillMask();
  with_alpha.Mask()->SetPixel(1, 1, 7);
  Write(dir, "alpha.png", novu::render::EncodePng(with_alpha));
  Write(dir, "opaque.png", novu::render::EncodePng(Pattern(7, 5, 32)));
  return 0;
}
