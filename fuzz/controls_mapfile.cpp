// Fuzzes the region map reader of selection images: the input is a whole map file. Whatever
// it reads is hit-tested and painted into a small 8-bit mask the way the control does, and
// written back, which must read again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "controls/region_map.h"
#include "platform/error.h"
#include "render/dibx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  RegionMap map;
  try {
    map = RegionMap::Read(std::span<const uint8_t>(data, size));
  } catch (const NovuError&) {
    return 0;
  }
  render::TDIBX mask;
  mask.SetSize(24, 16, 8);
  for (int32_t i = 0; i < map.size() && i < 64; ++i) {
    mask.Clear(0);
    map.Paint(mask, i, 0, 0, 255);
    const Rect box = map.regions()[static_cast<size_t>(i)].Box();
    map.Paint(mask, i, -box.left, -box.top, 128);
  }
  for (int32_t y = -2; y < 18; y += 3) {
    for (int32_t x = -2; x < 26; x += 3) (void)map.IndexAt({x, y});
  }
  const std::vector<uint8_t> written = map.Write();
  if (RegionMap::Read(written).Write() != written) std::abort();
  return 0;
}
