#include "render/image_codecs.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <string>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"
#include "render/pixel_access.h"

namespace novu::render {
namespace {

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;
// A run of two bytes gives at most 255 pixels; allow some room for skipped areas.
constexpr uint64_t kMaxRlePixelsPerByte = 256;
// zlib never expands more than about 1032 : 1.
constexpr uint64_t kMaxInflateRatio = 1100;

[[noreturn]] void Corrupt(const std::string& what) {
  throw NovuError::FromUtf8("Broken bitmap file: " + what);
}

struct BmpHeader {
  int32_t width = 0;
  int32_t height = 0;  // negative: rows stored top-down
  int bit_count = 0;
  uint32_t compression = kBiRgb;
  uint32_t masks[3] = {0, 0, 0};  // red, green, blue
  uint32_t palette_entries = 0;
  bool core = false;  // 12-byte header: 3-byte palette entries
};

BmpHeader ReadBmpHeader(BinaryReader& r) {
  BmpHeader h;
  const uint32_t header_size = r.U32();
  if (header_size == 12) {
    h.core = true;
    h.width = r.U16();
    h.height = r.U16();
    r.U16();
    h.bit_count = r.U16();
  } else if (header_size >= 40 && header_size <= 1024) {
    h.width = r.I32();
    h.height = r.I32();
    r.U16();
    h.bit_count = r.U16();
    h.compression = r.U32();
    r.Skip(12);
    h.palette_entries = r.U32();
    r.U32();
    if (h.compression == kBiBitfields) {
      for (uint32_t& m : h.masks) m = r.U32();  // inside V2+ headers, or right after a 40-byte one
      if (header_size > 52) r.Skip(header_size - 52);
    } else {
      r.Skip(header_size - 40);
    }
  } else {
    Corrupt("header size " + std::to_string(header_size));
  }
  if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) Corrupt("size");
  switch (h.bit_count) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      Corrupt("depth " + std::to_string(h.bit_count));
  }
  const bool rle = h.compression == kBiRle8 || h.compression == kBiRle4;
  if (h.compression == kBiRle8 && h.bit_count != 8) Corrupt("RLE8 depth");
  if (h.compression == kBiRle4 && h.bit_count != 4) Corrupt("RLE4 depth");
  if (rle && h.height < 0) Corrupt("top-down RLE");
  if (h.compression == kBiBitfields && h.bit_count != 16 && h.bit_count != 32) {
    Corrupt("bit fields depth");
  }
  if (h.compression > kBiBitfields) Corrupt("compression " + std::to_string(h.compression));
  return h;
}

// Depth of the picture for a file: 16-bit files become 15 or 16, odd bit fields become 32.
int PictureDepth(const BmpHeader& h) {
  if (h.bit_count == 16) {
    if (h.compression == kBiRgb) return 15;
    if (h.masks[0] == 0x7C00 && h.masks[1] == 0x03E0 && h.masks[2] == 0x001F) return 15;
    if (h.masks[0] == 0xF800 && h.masks[1] == 0x07E0 && h.masks[2] == 0x001F) return 16;
    return 32;
  }
  if (h.bit_count == 32 && h.compression == kBiBitfields &&
      !(h.masks[0] == 0xFF0000 && h.masks[1] == 0xFF00 && h.masks[2] == 0xFF)) {
    return 32;
  }
  return h.bit_count;
}

uint8_t ExtractChannel(uint32_t raw, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask >> shift);
  uint32_t v = (raw & mask) >> shift;
  if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
  return static_cast<uint8_t>(v << (8 - bits));
}

void ReadPalette(BinaryReader& r, const BmpHeader& h, TDIBSurface& picture) {
  if (h.bit_count > 8) return;
  const uint32_t max_entries = 1u << h.bit_count;
  const uint32_t entries =
      h.palette_entries == 0 ? max_entries : std::min(h.palette_entries, max_entries);
  const size_t entry_size = h.core ? 3 : 4;
  for (uint32_t i = 0; i < entries; ++i) {
    const auto bgr = r.Bytes(entry_size);
    picture.Palette()[i] = bgr[0] | (bgr[1] << 8) | (static_cast<uint32_t>(bgr[2]) << 16);
  }
}

void ReadRows(std::span<const uint8_t> bits, const BmpHeader& h, TDIBSurface& picture) {
  const int32_t height = picture.Height();
  const size_t stride = ((static_cast<size_t>(h.width) * h.bit_count + 31) / 32) * 4;
  if (bits.size() / stride < static_cast<size_t>(height)) Corrupt("pixel data too short");
  const bool same_layout =
      PictureDepth(h) == h.bit_count || (h.bit_count == 16 && PictureDepth(h) != 32);
  for (int32_t i = 0; i < height; ++i) {
    const uint8_t* src = bits.data() + static_cast<size_t>(i) * stride;
    const int32_t y = h.height > 0 ? height - 1 - i : i;
    uint8_t* dst = picture.ScanLine(y);
    if (same_layout) {
      std::memcpy(dst, src, std::min(stride, picture.Stride()));
      continue;
    }
    for (int32_t x = 0; x < h.width; ++x) {
      const uint32_t raw = LoadRaw(src, x, h.bit_count);
      const uint32_t r = ExtractChannel(raw, h.masks[0]), g = ExtractChannel(raw, h.masks[1]),
                     b = ExtractChannel(raw, h.masks[2]);
      StoreRaw(dst, x, 32, (r << 16) | (g << 8) | b);
    }
  }
}

// Run-length encoded 8- and 4-bit pixels, bottom-up. Runs and deltas that leave the picture
// are cut off; the data ends at the end-of-bitmap code or when it runs out.
void ReadRle(std::span<const uint8_t> bits, const BmpHeader& h, TDIBSurface& picture) {
  const bool four = h.compression == kBiRle4;
  const int32_t width = picture.Width(), height = picture.Height();
  int32_t x = 0, row = 0;  // row counts from the bottom
  auto put = [&](uint32_t index) {
    if (x < width && row < height) picture.SetPixel(x, height - 1 - row, index);
    ++x;
  };
  size_t pos = 0;
  auto next = [&]() -> int {
    if (pos >= bits.size()) return -1;
    return bits[pos++];
  };
  while (row < height) {
    const int count = next(), value = next();
    if (count < 0 || value < 0) return;
    if (count > 0) {
      for (int i = 0; i < count; ++i) {
        put(four ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : static_cast<uint32_t>(value));
      }
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++row;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // delta
      const int dx = next(), dy = next();
      if (dx < 0 || dy < 0) return;
      x += dx;
      row += dy;
    } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
      const int bytes = four ? (value + 1) / 2 : value;
      if (pos + static_cast<size_t>(bytes) > bits.size()) return;
      for (int i = 0; i < value; ++i) {
        const uint8_t b = bits[pos + static_cast<size_t>(four ? i / 2 : i)];
        put(four ? ((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
      }
      pos += static_cast<size_t>(bytes + (bytes & 1));
    }
  }
}

}  // namespace

TDIBSurface DecodeBmp(std::span<const uint8_t> data) {
  BinaryReader r(data);
  if (r.U8() != 'B' || r.U8() != 'M') Corrupt("signature");
  r.Skip(8);
  const uint32_t bits_offset = r.U32();
  const BmpHeader h = ReadBmpHeader(r);
  const int32_t height = h.height < 0 ? -h.height : h.height;
  if (h.width > kMaxSurfaceSide || height > kMaxSurfaceSide) Corrupt("size");
  // Check the pixel data against the size before allocating the picture: plain rows must all
  // be there, and run-length data cannot describe more than a bounded multiple of its bytes.
  const size_t file_stride = ((static_cast<size_t>(h.width) * h.bit_count + 31) / 32) * 4;
  const size_t available = bits_offset <= data.size() ? data.size() - bits_offset : 0;
  const bool rle = h.compression == kBiRle8 || h.compression == kBiRle4;
  if (!rle && available / file_stride < static_cast<size_t>(height))
    Corrupt("pixel data too short");
  if (rle && static_cast<uint64_t>(h.width) * height > kMaxRlePixelsPerByte * available + 65536) {
    Corrupt("run-length data too short for its size");
  }
  TDIBSurface picture(h.width, height, PictureDepth(h));
  ReadPalette(r, h, picture);
  if (bits_offset < r.position() || bits_offset > data.size()) Corrupt("pixel offset");
  const auto bits = data.subspan(bits_offset);
  if (h.compression == kBiRle8 || h.compression == kBiRle4) {
    ReadRle(bits, h, picture);
  } else {
    ReadRows(bits, h, picture);
  }
  return picture;
}

std::vector<uint8_t> EncodeBmp24(const TDIBSurface& picture) {
  const int32_t w = picture.Width(), h = picture.Height();
  const uint32_t stride = ((static_cast<uint32_t>(w) * 24 + 31) / 32) * 4;
  const uint32_t image_size = stride * static_cast<uint32_t>(h);
  BinaryWriter out;
  out.U8('B');
  out.U8('M');
  out.U32(14 + 40 + image_size);
  out.U32(0);
  out.U32(14 + 40);
  out.U32(40);
  out.I32(w);
  out.I32(h);
  out.U16(1);
  out.U16(24);
  out.U32(kBiRgb);
  out.U32(image_size);
  out.I32(2835);
  out.I32(2835);
  out.U32(0);
  out.U32(0);
  std::vector<uint8_t> row(stride, 0);
  for (int32_t y = h - 1; y >= 0; --y) {
    for (int32_t x = 0; x < w; ++x) {
      uint8_t r, g, b;
      picture.Rgb8Of(picture.GetPixel(x, y), r, g, b);
      row[3 * static_cast<size_t>(x)] = b;
      row[3 * static_cast<size_t>(x) + 1] = g;
      row[3 * static_cast<size_t>(x) + 2] = r;
    }
    out.Bytes(row);
  }
  return out.Take();
}

// --- PNG ----------------------------------------------------------------------------------

namespace {

struct PngInput {
  std::span<const uint8_t> data;
  size_t pos = 0;
};

struct PngImage {
  std::vector<uint8_t> bgra;
  std::vector<png_bytep> rows;
  uint32_t width = 0, height = 0;
  bool has_alpha = false;
};

void PngRead(png_structp png, png_bytep out, png_size_t count) {
  auto* in = static_cast<PngInput*>(png_get_io_ptr(png));
  if (count > in->data.size() - in->pos) png_error(png, "truncated");
  std::memcpy(out, in->data.data() + in->pos, count);
  in->pos += count;
}

void PngFail(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void PngWarn(png_structp, png_const_charp) {}

// libpng reports errors by longjmp: nothing with a destructor lives in this frame.
bool ReadPngImage(PngInput* in, PngImage* image) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngFail, PngWarn);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, in, PngRead);
  png_set_user_limits(png, kMaxSurfaceSide, kMaxSurfaceSide);
  png_set_chunk_malloc_max(png, 8u << 20);
  png_read_info(png, info);
  // The compressed data bounds the image: refuse sizes it cannot fill before allocating them.
  const uint64_t raw_bytes =
      uint64_t{png_get_image_height(png, info)} * (1 + png_get_rowbytes(png, info));
  if (raw_bytes > kMaxInflateRatio * in->data.size() + 4096) png_error(png, "too large");
  const png_byte colour_type = png_get_color_type(png, info);
  image->has_alpha =
      (colour_type & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  if (!image->has_alpha) png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  image->width = png_get_image_width(png, info);
  image->height = png_get_image_height(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(image->width) * 4) {
    png_error(png, "unexpected row layout");
  }
  image->bgra.resize(static_cast<size_t>(image->width) * 4 * image->height);
  image->rows.resize(image->height);
  for (uint32_t y = 0; y < image->height; ++y) {
    image->rows[y] = image->bgra.data() + static_cast<size_t>(y) * image->width * 4;
  }
  png_read_image(png, image->rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

void PngWrite(png_structp png, png_bytep data, png_size_t count) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + count);
}
void PngFlush(png_structp) {}

bool WritePngImage(PngImage* image, std::vector<uint8_t>* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngFail, PngWarn);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, PngWrite, PngFlush);
  png_set_IHDR(png, info, image->width, image->height, 8,
               image->has_alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);
  if (!image->has_alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
  png_write_image(png, image->rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

TDIBSurface DecodePng(std::span<const uint8_t> data) {
  PngInput in{data, 0};
  PngImage image;
  if (!ReadPngImage(&in, &image)) throw NovuError::FromUtf8("Broken PNG image");
  TDIBSurface picture(static_cast<int>(image.width), static_cast<int>(image.height), 32);
  if (image.has_alpha) picture.EnsureMask();
  for (uint32_t y = 0; y < image.height; ++y) {
    const uint8_t* src = image.rows[y];
    uint8_t* dst = picture.ScanLine(static_cast<int>(y));
    for (uint32_t x = 0; x < image.width; ++x) {
      std::memcpy(dst + 4 * x, src + 4 * x, 3);
      dst[4 * x + 3] = 0;
    }
    if (image.has_alpha) {
      uint8_t* mask = picture.Mask()->ScanLine(static_cast<int>(y));
      for (uint32_t x = 0; x < image.width; ++x) mask[x] = src[4 * x + 3];
    }
  }
  return picture;
}

std::vector<uint8_t> EncodePng(const TDIBSurface& picture) {
  PngImage image;
  image.width = static_cast<uint32_t>(picture.Width());
  image.height = static_cast<uint32_t>(picture.Height());
  image.has_alpha = picture.Mask() != nullptr;
  image.bgra.resize(static_cast<size_t>(image.width) * 4 * image.height);
  image.rows.resize(image.height);
  for (uint32_t y = 0; y < image.height; ++y) {
    uint8_t* row = image.bgra.data() + static_cast<size_t>(y) * image.width * 4;
    image.rows[y] = row;
    for (uint32_t x = 0; x < image.width; ++x) {
      uint8_t r, g, b;
      picture.Rgb8Of(picture.GetPixel(static_cast<int>(x), static_cast<int>(y)), r, g, b);
      row[4 * x] = b;
      row[4 * x + 1] = g;
      row[4 * x + 2] = r;
      row[4 * x + 3] = image.has_alpha ? picture.Mask()->ScanLine(static_cast<int>(y))[x] : 0;
    }
  }
  std::vector<uint8_t> out;
  if (!WritePngImage(&image, &out)) throw NovuError::FromUtf8("Cannot encode PNG image");
  return out;
}

}  // namespace novu::render
