// Fuzzes the saved records of the picture controls inside the object list. Whatever loads must
// update, draw, save again and load back to the same bytes; whatever is refused must leave an
// empty scene, and nothing may keep a cached picture alive once the scene is gone.
#include <cstddef>
#include <cstdint>

#include "controls_scene.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  if (size < 1) return 0;
  const int32_t version = fuzz::ObjectVersionFromByte(data[0]);
  BinaryWriter saved;
  {
    fuzz::ControlsScene scene;
    BinaryReader in(std::span<const uint8_t>(data + 1, size - 1));
    try {
      scene.list.LoadFromStream(in, version);
    } catch (const NovuError&) {
      if (scene.list.registry().size() != 2 || scene.cache.size() != 0) __builtin_trap();
      return 0;
    }
    for (int tick = 0; tick < 3; ++tick) scene.list.Update();
    scene.list.base(0).InvalidateAll();
    scene.list.Paint();
    scene.list.SaveToStream(saved);
    scene.list.Reset();
    if (scene.cache.size() != 0) __builtin_trap();
  }
  fuzz::ControlsScene again;
  BinaryReader in(saved.bytes());
  again.list.LoadFromStream(in, kObjectLayoutVersion);  // must not throw
  BinaryWriter resaved;
  again.list.SaveToStream(resaved);
  if (!in.AtEnd() || resaved.bytes() != saved.bytes()) __builtin_trap();
  return 0;
}
