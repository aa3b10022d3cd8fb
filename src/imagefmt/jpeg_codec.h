#pragma once
// JPEG colour data of "Nonreversible compression" pictures, through libjpeg.
#include <cstdint>
#include <span>
#include <vector>

#include "render/dib_surface.h"

namespace novu::imagefmt {

// A picture of exactly the expected size (checked before anything is allocated), 32-bit when
// `depth` is 32 and 24-bit otherwise. Throws NovuError for damaged data and other sizes.
render::TDIBSurface DecodeJpeg(std::span<const uint8_t> data, int expected_width,
                               int expected_height, int depth = 24);

// The picture's colours (any depth) as a baseline JPEG of the given quality (1-100).
std::vector<uint8_t> EncodeJpeg(const render::TDIBSurface& picture, int quality);

}  // namespace novu::imagefmt
