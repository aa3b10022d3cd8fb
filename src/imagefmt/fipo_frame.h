#pragma once
// One frame of a layered image: its layers while they are kept, and the picture composed from
// the visible ones (with an optional 8-bit alpha mask).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "render/dib_surface.h"
#include "render/dibx.h"

namespace novu::imagefmt {

struct TFipoLayer {
  bool visible = true;
  int32_t key_value = -1;  // raw pixel value, -1 none
  int32_t opacity = 255;   // 0-255
  bool mask_enabled = false;
  std::string name;  // CP932
  // The frame's size and depth; carries the layer's mask when it has one.
  render::TDIBSurface pixels;
};

class TFipoFrame {
 public:
  std::string name;  // CP932
  int32_t duration = 100;
  int32_t key_value = -1;   // raw pixel value (palette index at 8 bits or less), -1 none
  int32_t key_colour = -1;  // the key value as a 0x00BBGGRR colour, -1 none
  render::TDIBSurface picture;
  std::vector<Rect> draw_regions;
  std::vector<Rect> second_regions;
  std::vector<TFipoLayer> layers;  // empty unless the caller asked for them

  int Width() const { return picture.Width(); }
  int Height() const { return picture.Height(); }
  // Of layer 0 when layers are kept, else of the picture.
  int BitCount() const;
  bool HasMask() const { return picture.Mask() != nullptr; }

  // For a frame without mask: a mask of 255 with 0 wherever the pixel equals the key value.
  void MakeMask();
  // Crops to the box of pixels that differ from the key (of non-zero mask values when there
  // is a mask), moving the region lists along. Returns the box when the frame changed, for the
  // caller to place the frame at its top-left corner.
  std::optional<Rect> Trim();

  // The picture at the target's depth, with the region lists.
  void CopyTo(render::TDIBX& target) const;
  // The mask (255 where there is none) into an 8-bit picture.
  void CopyMaskTo(render::TDIBSurface& target) const;
};

// The 0x00BBGGRR colour of a raw pixel value of `picture`'s format (the value is cut to the
// pixel's width, as writing it into a pixel does).
int32_t PixelColour(const render::TDIBSurface& picture, uint32_t raw);

}  // namespace novu::imagefmt
