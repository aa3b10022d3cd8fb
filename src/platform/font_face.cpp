#include "platform/font_face.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace novu::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
// A line is a caption or a label, never a page; anything larger is refused rather than
// allocated (a broken font's metrics or a runaway string).
constexpr int64_t kMaxLinePixels = int64_t{1} << 24;

// Decodes UTF-8 leniently: every byte that does not start a well-formed sequence becomes
// U+FFFD and decoding goes on with the next byte.
std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80           ? 0
                : (lead >> 5) == 0x6  ? 1
                : (lead >> 4) == 0xE  ? 2
                : (lead >> 3) == 0x1E ? 3
                                      : -1;
    char32_t code = extra == 0   ? lead
                    : extra == 1 ? lead & 0x1F
                    : extra == 2 ? lead & 0x0F
                                 : lead & 0x07;
    bool valid = extra >= 0 && static_cast<size_t>(extra) < text.size() - i;
    for (int k = 1; valid && k <= extra; ++k) {
      const auto trail = static_cast<unsigned char>(text[i + k]);
      if ((trail & 0xC0) != 0x80) valid = false;
      code = (code << 6) | (trail & 0x3F);
    }
    if (!valid || code > 0x10FFFF) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    out.push_back(code);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

int Ceil26Dot6(FT_Pos v) {
  return static_cast<int>((v + 63) >> 6);
}
int Floor26Dot6(FT_Pos v) {
  return static_cast<int>(v >> 6);
}

// Copies a rendered glyph into the line bitmap at (left, top), keeping the darker value where
// glyphs overlap.
void BlitGlyph(const FT_Bitmap& glyph, int left, int top, TextBitmap& line) {
  for (unsigned row = 0; row < glyph.rows; ++row) {
    const int y = top + static_cast<int>(row);
    if (y < 0 || y >= line.height) continue;
    const unsigned char* src = glyph.buffer + static_cast<ptrdiff_t>(row) * glyph.pitch;
    uint8_t* dst = line.coverage.data() + static_cast<size_t>(y) * line.width;
    for (unsigned col = 0; col < glyph.width; ++col) {
      const int x = left + static_cast<int>(col);
      if (x < 0 || x >= line.width) continue;
      uint8_t value = glyph.pixel_mode == FT_PIXEL_MODE_MONO
                          ? ((src[col >> 3] >> (7 - (col & 7))) & 1 ? 255 : 0)
                          : src[col];
      dst[x] = std::max(dst[x], value);
    }
  }
}

}  // namespace

struct FontFace::Impl {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~Impl() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

FontFace::FontFace(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FontFace::~FontFace() = default;

std::unique_ptr<FontFace> FontFace::Open(const FontFile& file) {
  auto impl = std::make_unique<Impl>();
  if (FT_Init_FreeType(&impl->library) != 0) return nullptr;
  if (FT_New_Face(impl->library, file.path.c_str(), file.face_index, &impl->face) != 0) {
    return nullptr;
  }
  if (!FT_IS_SCALABLE(impl->face)) return nullptr;
  return std::unique_ptr<FontFace>(new FontFace(std::move(impl)));
}

TextBitmap FontFace::RenderLine(std::string_view utf8, int pixel_size) const {
  FT_Face face = impl_->face;
  TextBitmap line;
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::clamp(pixel_size, 1, 256))) != 0) {
    return line;
  }
  const std::u32string text = DecodeUtf8(utf8);
  constexpr FT_Int32 kLoadFlags = FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL;

  FT_Pos advance = 0;
  for (char32_t c : text) {
    if (FT_Load_Char(face, c, kLoadFlags) == 0) advance += face->glyph->advance.x;
  }
  const int ascender = Ceil26Dot6(face->size->metrics.ascender);
  const int descender = Floor26Dot6(face->size->metrics.descender);
  const int64_t width = (int64_t{advance} + 63) >> 6;
  const int64_t height = int64_t{ascender} - descender;
  if (width <= 0 || height <= 0 || width * height > kMaxLinePixels) return line;
  line.width = static_cast<int>(width);
  line.height = static_cast<int>(height);
  line.coverage.assign(static_cast<size_t>(width * height), 0);

  FT_Pos pen = 0;
  for (char32_t c : text) {
    if (FT_Load_Char(face, c, kLoadFlags | FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot glyph = face->glyph;
    BlitGlyph(glyph->bitmap, Floor26Dot6(pen) + glyph->bitmap_left, ascender - glyph->bitmap_top,
              line);
    pen += glyph->advance.x;
  }
  return line;
}

}  // namespace novu::platform
