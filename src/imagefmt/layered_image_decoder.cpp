#include "imagefmt/layered_image_decoder.h"

#include "imagefmt/fipo_frame_list.h"

namespace novu::imagefmt {

void FrameZeroDecoder::DecodeFrameZero(std::span<const uint8_t> data, int32_t code,
                                       render::TDIBSurface& out) const {
  TFipoFrameList list(code);
  list.LoadFromStream(data, true);
  if (list.Count() == 0) {
    out.SetSize(0, 0, out.BitCount());
    return;
  }
  out = std::move(list.Frames(0).picture);
}

}  // namespace novu::imagefmt
