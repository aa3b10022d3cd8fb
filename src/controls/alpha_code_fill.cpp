#include "controls/alpha_code_fill.h"

#include "render/custom_dibx.h"

namespace novu {
namespace {

// A colour scaled per channel by k/256, for the additive alpha codes.
int32_t ScaleColour(int32_t colour, int32_t k) {
  int32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int32_t channel = (colour >> shift) & 0xff;
    out |= ((channel * k) >> 8) << shift;
  }
  return out;
}

uint32_t PixelOf(const render::TCustomDIBX& surface, int32_t colour) {
  return static_cast<uint32_t>(surface.ColorToPixel(colour));
}

}  // namespace

bool AlphaCodeDraws(int32_t alpha) {
  return alpha > 0 && alpha < 512;
}

void FillByAlphaCode(render::TCustomDIBX& surface, const Rect& rect, int32_t colour,
                     int32_t alpha) {
  if (alpha < 255) {
    surface.BlendRect(rect, PixelOf(surface, colour), alpha);
  } else if (alpha == 255) {
    surface.FillRect(rect, PixelOf(surface, colour));
  } else {
    surface.AddRect(rect, PixelOf(surface, ScaleColour(colour, alpha - 256)));
  }
}

void FrameByAlphaCode(render::TCustomDIBX& surface, const Rect& rect, int32_t border_width,
                      int32_t colour, int32_t alpha) {
  if (alpha < 255) {
    surface.BlendFrame(rect, border_width, alpha, PixelOf(surface, colour));
  } else if (alpha == 255) {
    surface.FrameRect(rect, border_width, PixelOf(surface, colour));
  } else {
    surface.AddFrame(rect, border_width, PixelOf(surface, ScaleColour(colour, alpha - 256)));
  }
}

}  // namespace novu
