// Fuzzes the readers of saved timers, property motions and the event queue inside the object
// list's record. Whatever loads must survive a frame, save again and load back to the same
// bytes; whatever is refused must leave an empty scene and an empty queue.
#include <cstddef>
#include <cstdint>

#include "events_scene.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  if (size < 1) return 0;
  const int32_t version = fuzz::ObjectVersionFromByte(data[0]);
  BinaryWriter saved;
  {
    fuzz::TimedScene scene;
    BinaryReader in(std::span<const uint8_t>(data + 1, size - 1));
    try {
      scene.list.LoadFromStream(in, version);
    } catch (const NovuError&) {
      if (scene.list.registry().size() != 2 || scene.events.size() != 0) __builtin_trap();
      return 0;
    }
    scene.list.Update();
    scene.list.SaveToStream(saved);
  }
  fuzz::TimedScene again;
  BinaryReader in(saved.bytes());
  again.list.LoadFromStream(in, kObjectLayoutVersion);  // must not throw
  BinaryWriter resaved;
  again.list.SaveToStream(resaved);
  if (!in.AtEnd() || resaved.bytes() != saved.bytes()) __builtin_trap();
  return 0;
}
