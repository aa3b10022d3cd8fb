#include "controls/picture_drawing.h"

namespace novu {

int32_t TilePhase(int32_t start, int32_t origin, int32_t step) {
  if (step <= 0) return 0;
  const int64_t d = (int64_t{start} - origin) % step;
  return static_cast<int32_t>(d < 0 ? d + step : d);
}

void DrawPictureCell(render::TCustomDIBX& surface, int32_t x, int32_t y,
                     const render::TCustomDIBX& picture, const render::TCustomDIBX* mask,
                     const Rect& src, int32_t alpha, render::FlipOptions flips) {
  if (src.IsEmpty()) return;
  const render::DrawOptions keyed{.flip_v = flips.flip_v, .flip_h = flips.flip_h, .use_key = true};
  surface.DrawWithAlphaCode(x, y, alpha, mask, keyed, src, picture);
}

void TilePictureCell(render::TCustomDIBX& surface, const Rect& rect, int32_t origin_x,
                     int32_t origin_y, const render::TCustomDIBX& picture,
                     const render::TCustomDIBX* mask, const Rect& src, int32_t alpha,
                     render::FlipOptions flips) {
  if (!AlphaCodeDraws(alpha) || rect.IsEmpty() || src.IsEmpty()) return;
  const int32_t phase_x = TilePhase(rect.left, origin_x, src.Width());
  const int32_t phase_y = TilePhase(rect.top, origin_y, src.Height());
  const render::DrawOptions keyed{.flip_v = flips.flip_v, .flip_h = flips.flip_h, .use_key = true};
  if (alpha < 255) {
    if (mask != nullptr) {
      surface.TileDrawAlphaMasked(rect, 0, phase_y, phase_x, alpha, *mask, flips, src, picture, 0);
    } else {
      surface.TileDrawAlpha(rect, 0, phase_y, phase_x, alpha, keyed, src, picture, 0);
    }
  } else if (alpha == 255) {
    if (mask != nullptr) {
      surface.TileDrawMasked(rect, 0, phase_y, phase_x, *mask, flips, src, picture, 0);
    } else {
      surface.TileDraw(rect, 0, phase_y, phase_x, keyed, src, picture, 0);
    }
  } else if (mask != nullptr) {
    surface.TileDrawAddMasked(rect, 0, phase_y, phase_x, alpha - 256, *mask, flips, src, picture,
                              0);
  } else {
    surface.TileDrawAdd(rect, 0, phase_y, phase_x, alpha - 256, keyed, src, picture, 0);
  }
}

}  // namespace novu
