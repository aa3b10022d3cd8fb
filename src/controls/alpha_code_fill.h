// Filling and framing rectangles in a flat colour by a control's alpha code, as boxes and list
// boxes do: below 255 a blend, 255 opaque, 256–511 additive with the colour scaled by
// (alpha − 256)/256.
#pragma once

#include <cstdint>

#include "core/geometry.h"

namespace novu {
namespace render {
class TCustomDIBX;
}

// Whether an alpha code draws anything at all.
bool AlphaCodeDraws(int32_t alpha);

void FillByAlphaCode(render::TCustomDIBX& surface, const Rect& rect, int32_t colour, int32_t alpha);
void FrameByAlphaCode(render::TCustomDIBX& surface, const Rect& rect, int32_t border_width,
                      int32_t colour, int32_t alpha);

}  // namespace novu
