#pragma once
// The transparent colour of a PNG file without alpha channel (a tRNS chunk of a grey or RGB
// image). The decoder turns such a colour into a mask; layered-image frames keep it as their
// key colour instead.
#include <cstdint>
#include <optional>
#include <span>

namespace novu::imagefmt {

// The transparent colour as 0x00RRGGBB with 8-bit channels (the high byte of 16-bit samples,
// low bit depths of grey widened to 8 bits), or nothing when the file has no such colour (it
// has an alpha channel, a palette, no tRNS chunk, or is not a readable PNG).
std::optional<uint32_t> PngTransparentColour(std::span<const uint8_t> png);

}  // namespace novu::imagefmt
