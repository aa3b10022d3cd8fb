// Loads arbitrary bytes as a picture into a 32-bit and a 16-bit surface; bad data must end in
// NovuError, never in a crash, a hang or an out-of-bounds access.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/error.h"
#include "render/dibx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  for (const int depth : {32, 16}) {
    novu::render::TDIBX surface;
    surface.SetSize(1, 1, depth);
    try {
      surface.LoadFromStream(bytes, 0);
    } catch (const novu::NovuError&) {
    }
  }
  return 0;
}
