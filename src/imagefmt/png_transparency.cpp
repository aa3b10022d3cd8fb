#include "imagefmt/png_transparency.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace novu::imagefmt {
namespace {

constexpr std::array<uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t kGrey = 0;
constexpr uint8_t kRgb = 2;

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// A sample of the given bit depth as 8 bits.
uint32_t To8Bits(uint32_t sample, uint8_t depth) {
  if (depth == 16) return (sample >> 8) & 0xFF;
  if (depth == 8) return sample & 0xFF;
  const uint32_t max = (1u << depth) - 1;
  return (sample & max) * 255 / max;
}

}  // namespace

std::optional<uint32_t> PngTransparentColour(std::span<const uint8_t> png) {
  if (png.size() < kSignature.size() ||
      !std::equal(kSignature.begin(), kSignature.end(), png.begin())) {
    return std::nullopt;
  }
  size_t pos = kSignature.size();
  uint8_t depth = 0;
  uint8_t colour_type = 0xFF;
  while (png.size() - pos >= 12) {
    const uint32_t length = BigEndian32(&png[pos]);
    const std::string_view type(reinterpret_cast<const char*>(&png[pos + 4]), 4);
    if (length > png.size() - pos - 12) return std::nullopt;
    const uint8_t* body = &png[pos + 8];
    if (type == "IHDR" && length >= 13) {
      depth = body[8];
      colour_type = body[9];
    } else if (type == "tRNS") {
      if (colour_type == kGrey && length >= 2) {
        const uint32_t g = To8Bits((uint32_t{body[0]} << 8) | body[1], depth);
        return (g << 16) | (g << 8) | g;
      }
      if (colour_type == kRgb && length >= 6) {
        const uint32_t r = To8Bits((uint32_t{body[0]} << 8) | body[1], depth);
        const uint32_t g = To8Bits((uint32_t{body[2]} << 8) | body[3], depth);
        const uint32_t b = To8Bits((uint32_t{body[4]} << 8) | body[5], depth);
        return (r << 16) | (g << 8) | b;
      }
      return std::nullopt;
    } else if (type == "IDAT" || type == "IEND") {
      return std::nullopt;  // tRNS comes before the image data
    }
    pos += 12 + static_cast<size_t>(length);
  }
  return std::nullopt;
}

}  // namespace novu::imagefmt
