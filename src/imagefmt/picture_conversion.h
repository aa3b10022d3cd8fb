#pragma once
// Conversions between ordinary pictures and layered-image frames for the tools: a decoded PNG
// brought to a stored depth, and a frame turned into an RGBA PNG.
#include <cstdint>
#include <vector>

#include "imagefmt/fipo_frame.h"
#include "render/dib_surface.h"

namespace novu::imagefmt {

// The picture at `depth` (1, 4, 8, 15, 16, 24 or 32), mask kept. Palette depths take a palette
// of the picture's distinct colours and fail with NovuError when there are more than fit;
// 15 and 16 bits keep the top bits of each channel.
render::TDIBSurface ConvertToDepth(const render::TDIBSurface& picture, int depth);

// An 8-bit RGBA PNG of the frame's picture; alpha is the frame's mask, 255 where it has none.
std::vector<uint8_t> EncodeFramePng(const TFipoFrame& frame);

}  // namespace novu::imagefmt
