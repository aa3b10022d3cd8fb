// Fuzzes the saved records of the picture controls inside the object list. Whatever loads must
// update and draw; once saved, the scene must load back and save to the same bytes again. (The
// first save may still differ from what a second load makes of it: a loose control read from
// the component list is not saved again, and the events it queued lose their sender.)
#include <cstddef>
#include <cstdint>
#include <vector>

#include "controls_scene.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"

namespace {

// Loads `bytes` into a fresh scene and saves it again; must not throw.
std::vector<uint8_t> Resave(const std::vector<uint8_t>& bytes) {
  novu::fuzz::ControlsScene scene;
  novu::BinaryReader in(bytes);
  scene.list.LoadFromStream(in, novu::kObjectLayoutVersion);
  if (!in.AtEnd()) __builtin_trap();
  novu::BinaryWriter out;
  scene.list.SaveToStream(out);
  return out.Take();
}

}  // namespace

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
    // Every picture let go of the cache.
    if (scene.cache.size() != 0) __builtin_trap();
  }
  const std::vector<uint8_t> once = Resave(saved.Take());
  if (Resave(once) != once) __builtin_trap();
  return 0;
}
