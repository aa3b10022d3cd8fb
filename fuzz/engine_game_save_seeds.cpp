// Writes the seed corpus of the saved-game fuzz target into the folder given as argument: the
// fuzz world saved at several moments (mid-wait, inside a timer's handler, with a resume page).
#include <cstdio>
#include <filesystem>

#include "engine_game_save.h"
#include "platform/file_io.h"

int main(int argc, char** argv) {
  using namespace novu;
  if (argc != 2) {
    std::fprintf(stderr, "usage: engine_game_save_seeds CORPUS_FOLDER\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  const int moments[] = {0, 1, 3, 4, 9, 25};
  for (int ticks : moments) {
    fuzz::SavedGameWorld world;
    world.Ticks(ticks);
    platform::WriteFileAtomically(folder / ("after-" + std::to_string(ticks) + "-ticks"),
                                  world.Save());
  }
  fuzz::SavedGameWorld world;
  world.Ticks(4);
  GameSaveHeader header;
  header.caption = "resume";
  header.resume_page = "tick.nsb";
  header.resume_index = 1;
  platform::WriteFileAtomically(folder / "resume-page", WriteGameSave(world.World(), header));
  return 0;
}
