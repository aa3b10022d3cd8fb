// Fuzzes the saved-game reader: a whole entry loaded into a running world. A refused entry must
// leave the world as it was; one that loads must save again and load back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine_game_save.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  std::vector<uint8_t> saved;
  {
    fuzz::SavedGameWorld world;
    world.Ticks(3);
    const std::vector<uint8_t> before = world.Save();
    GameWorld parts = world.World();
    try {
      LoadGameSave(parts, std::span<const uint8_t>(data, size));
    } catch (const NovuError&) {
      if (world.Save() != before) __builtin_trap();
      return 0;
    }
    world.Ticks(2);
    saved = world.Save();
  }
  fuzz::SavedGameWorld again;
  GameWorld parts = again.World();
  LoadGameSave(parts, saved);  // must not throw
  if (again.Save() != saved) __builtin_trap();
  return 0;
}
