// Fuzzes the layered image reader: the input is a whole ".fip" file, read with the code the
// seed corpus was scrambled with; what it reads is trimmed and converted like the player does.
#include <cstddef>
#include <cstdint>
#include <span>

#include "imagefmt/fipo_frame_list.h"
#include "platform/error.h"
#include "render/dibx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  constexpr int32_t kSeedCode = 4660;
  // Small caps keep every run fast; the size checks themselves are the same.
  imagefmt::TFipoFrameList list(kSeedCode);
  list.Limits().max_picture_bytes = int64_t{1} << 20;
  list.Limits().max_total_bytes = int64_t{8} << 20;
  try {
    list.LoadFromStream(std::span<const uint8_t>(data, size));
  } catch (const NovuError&) {
    return 0;
  }
  for (int i = 0; i < list.Count(); ++i) {
    imagefmt::TFipoFrame& frame = list.Frames(i);
    render::TDIBX target;
    target.SetSize(1, 1, 32);
    frame.CopyTo(target);
    frame.MakeMask();
    frame.Trim();
  }
  return 0;
}
