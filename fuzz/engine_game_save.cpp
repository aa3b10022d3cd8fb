// Fuzzes the saved-game reader: a whole entry loaded into a running world. A refused entry must
// leave the world as it was; one that loads must save again and load back to the same bytes.
// The same bytes are also described in words, which may refuse them but never crash.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/game_save_report.h"
#include "engine_game_save.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu;
  {
    fuzz::SavedGameWorld pages;
    try {
      DescribeGameSave(std::span<const uint8_t>(data, size), pages, fuzz::MakeSavedGameObject);
    } catch (const NovuError&) {
    }
  }
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
