#include "imagefmt/layered_image_loader.h"

#include "imagefmt/fipo_frame_list.h"
#include "render/dibx.h"

namespace novu::imagefmt {

void InstallLayeredImageLoader() {
  render::TDIBX::SetLayeredImageLoader(
      [](std::span<const uint8_t> data, int32_t code, render::TDIBSurface& out) {
        TFipoFrameList list(code);
        list.LoadFromStream(data, true);
        if (list.Count() == 0) {
          out.SetSize(0, 0, out.BitCount());
          return;
        }
        out = std::move(list.Frames(0).picture);
      });
}

}  // namespace novu::imagefmt
