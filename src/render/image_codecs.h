#pragma once
// Windows bitmap and PNG files in and out of pictures. The input is untrusted: every size,
// offset and count is checked, and failures throw NovuError.
#include <cstdint>
#include <span>
#include <vector>

#include "render/dib_surface.h"

namespace novu::render {

// Bitmap files of 1, 4, 8 (uncompressed or RLE), 16, 24 and 32 bits, bottom-up or top-down.
// The picture keeps the file's depth (16-bit 5-5-5 files become depth 15) and palette.
TDIBSurface DecodeBmp(std::span<const uint8_t> data);
// A 24-bit bitmap file of the picture.
std::vector<uint8_t> EncodeBmp24(const TDIBSurface& picture);

// A PNG image as a 32-bit picture; its alpha channel, if any, becomes the picture's mask.
TDIBSurface DecodePng(std::span<const uint8_t> data);
// A PNG file of a picture (32-bit RGB; the mask, if any, as alpha). Used by tools and tests.
std::vector<uint8_t> EncodePng(const TDIBSurface& picture);

}  // namespace novu::render
