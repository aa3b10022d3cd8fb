#pragma once
// The blend convention of the picture controls for pictures they lay down themselves (cells of
// a strip, repeated tiles): an alpha of 1 to 254 blends with that weight, 255 copies, 256 to 511
// adds with strength alpha - 256, anything else draws nothing. A mask, when given, decides which
// pixels show; without one the picture's key colour is left out.
#include <cstdint>

#include "core/geometry.h"
#include "render/custom_dibx.h"

namespace novu {

inline bool AlphaCodeDraws(int32_t alpha) {
  return alpha >= 1 && alpha < 512;
}

// Draws `src` of `picture` with its top-left at (x, y).
void DrawPictureCell(render::TCustomDIBX& surface, int32_t x, int32_t y,
                     const render::TCustomDIBX& picture, const render::TCustomDIBX* mask,
                     const Rect& src, int32_t alpha, render::FlipOptions flips = {});

// Fills `rect` with copies of `src`; a tile boundary falls on (origin_x, origin_y), so strips
// that continue one another line their tiles up.
void TilePictureCell(render::TCustomDIBX& surface, const Rect& rect, int32_t origin_x,
                     int32_t origin_y, const render::TCustomDIBX& picture,
                     const render::TCustomDIBX* mask, const Rect& src, int32_t alpha,
                     render::FlipOptions flips = {});

// The phase that puts a tile boundary of pitch `step` on `origin` for a strip starting at
// `start`: in 0 .. step - 1.
int32_t TilePhase(int32_t start, int32_t origin, int32_t step);

}  // namespace novu
