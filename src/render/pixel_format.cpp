#include "render/pixel_format.h"

#include <string>

#include "platform/error.h"

namespace novu::render {
namespace {

constexpr ChannelLayout Channel(int shift, int bits) {
  return {((1u << bits) - 1) << shift, shift, bits};
}

uint32_t Narrow(uint32_t c8, const ChannelLayout& ch) {
  return (c8 >> (8 - ch.bits)) << ch.shift;
}

uint8_t Widen(uint32_t raw, const ChannelLayout& ch) {
  return static_cast<uint8_t>(ch.Get(raw) << (8 - ch.bits));
}

}  // namespace

bool PixelFormat::IsSupportedDepth(int depth) {
  switch (depth) {
    case 1:
    case 4:
    case 8:
    case 15:
    case 16:
    case 24:
    case 32:
      return true;
    default:
      return false;
  }
}

PixelFormat PixelFormat::ForDepth(int depth) {
  PixelFormat f;
  f.bit_count = depth;
  switch (depth) {
    case 1:
    case 4:
    case 8:
      f.storage_bits = depth;
      break;
    case 15:
      f.storage_bits = 16;
      f.blue = Channel(0, 5);
      f.green = Channel(5, 5);
      f.red = Channel(10, 5);
      break;
    case 16:
      f.storage_bits = 16;
      f.blue = Channel(0, 5);
      f.green = Channel(5, 6);
      f.red = Channel(11, 5);
      break;
    case 24:
    case 32:
      f.storage_bits = depth;
      f.blue = Channel(0, 8);
      f.green = Channel(8, 8);
      f.red = Channel(16, 8);
      break;
    default:
      throw NovuError::FromUtf8("Unsupported pixel depth " + std::to_string(depth));
  }
  return f;
}

DepthClass PixelFormat::Class() const {
  if (bit_count == 32) return DepthClass::Packed32;
  if (bit_count == 15 || bit_count == 16) return DepthClass::Packed16;
  return DepthClass::PerPixel;
}

int32_t PixelFormat::ColorToPixel(int32_t colour) const {
  if (colour < 0) return -1;
  if (bit_count != 15 && bit_count != 16 && bit_count != 32) return colour;
  const uint32_t c = static_cast<uint32_t>(colour);
  return static_cast<int32_t>(Narrow(c & 0xFF, red) | Narrow((c >> 8) & 0xFF, green) |
                              Narrow((c >> 16) & 0xFF, blue));
}

void PixelFormat::ToRgb8(uint32_t raw, uint8_t& r, uint8_t& g, uint8_t& b) const {
  r = Widen(raw, red);
  g = Widen(raw, green);
  b = Widen(raw, blue);
}

uint32_t PixelFormat::FromRgb8(uint8_t r, uint8_t g, uint8_t b) const {
  return Narrow(r, red) | Narrow(g, green) | Narrow(b, blue);
}

}  // namespace novu::render
