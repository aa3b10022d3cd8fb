#pragma once
// A scalable font (FreeType) that renders one line of text into an 8-bit coverage bitmap.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/font_lookup.h"

namespace novu::platform {

struct TextBitmap {
  int width = 0;
  int height = 0;                 // ascender to descender of the font at that size
  std::vector<uint8_t> coverage;  // width * height, row by row, 0 = paper, 255 = ink
};

class FontFace {
 public:
  // Nothing when FreeType cannot open the file.
  static std::unique_ptr<FontFace> Open(const FontFile& file);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  // `utf8` laid out left to right at `pixel_size` (clamped to 1..256) with anti-aliasing; an
  // empty bitmap when the line would exceed 16 Mi pixels.
  // Characters the font lacks take the font's missing-glyph shape; invalid UTF-8 bytes count
  // as U+FFFD.
  TextBitmap RenderLine(std::string_view utf8, int pixel_size) const;

 private:
  struct Impl;
  explicit FontFace(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace novu::platform
