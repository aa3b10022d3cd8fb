#pragma once
// Pixel formats of the surfaces. The raw pixel value is the unsigned integer of the pixel's
// bytes in memory order; channels sit at their shift with their bit count.
#include <cstdint>

namespace novu::render {

// Which family of pixel loops a depth uses. The packed families compute every channel at once
// in one integer and their per-channel results are exact; the per-pixel family (8 and 24 bits)
// differs in a few weights and in equal-pixel skipping that scripts can see, so it is kept apart.
enum class DepthClass { Packed32, Packed16, PerPixel };

struct ChannelLayout {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  constexpr uint32_t Max() const { return (1u << bits) - 1; }
  constexpr uint32_t Get(uint32_t raw) const { return (raw & mask) >> shift; }
};

struct PixelFormat {
  int bit_count = 0;     // 1, 4, 8, 15, 16, 24 or 32
  int storage_bits = 0;  // bits per pixel in memory (15 is stored in 16)
  ChannelLayout red, green, blue;

  // Throws NovuError for depths other than 1, 4, 8, 15, 16, 24 and 32.
  static PixelFormat ForDepth(int depth);
  static bool IsSupportedDepth(int depth);

  int BytesPerPixel() const { return storage_bits / 8; }  // 0 below 8 bits
  bool HasChannels() const { return red.bits != 0; }
  DepthClass Class() const;

  // 0x00BBGGRR colour to a raw pixel: negative gives -1 (no colour); at 15, 16 and 32 bits each
  // 8-bit channel is narrowed to its width and packed; at other depths the value is unchanged.
  int32_t ColorToPixel(int32_t colour) const;
  // Channels widened to 8 bits by a plain shift (the inverse of ColorToPixel's narrowing).
  void ToRgb8(uint32_t raw, uint8_t& r, uint8_t& g, uint8_t& b) const;
  uint32_t FromRgb8(uint8_t r, uint8_t g, uint8_t b) const;

  friend bool operator==(const PixelFormat& a, const PixelFormat& b) {
    return a.bit_count == b.bit_count && a.storage_bits == b.storage_bits;
  }
};

}  // namespace novu::render
