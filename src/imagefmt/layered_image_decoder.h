#pragma once
// Frame 0 of a layered image for a drawing surface: hand one to TDIBX::LoadFromStream to let it
// open data starting with "Fipo".
#include "render/dibx.h"

namespace novu::imagefmt {

class FrameZeroDecoder final : public render::LayeredImageDecoder {
 public:
  void DecodeFrameZero(std::span<const uint8_t> data, int32_t code,
                       render::TDIBSurface& out) const override;
};

}  // namespace novu::imagefmt
