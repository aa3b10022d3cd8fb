#pragma once
// Process-wide state that every subsystem may read: the terminate flag, the game clock and
// frame delta kept by the frame loop, the frame counter and the shared random generator.
// One instance lives in the player's runtime; tests make their own.
#include <cstdint>

#include "core/process_random.h"

namespace novu {

struct ProcessState {
  // Set while the program is closing or start-up failed; the interpreter stops at once when it
  // is set. Starts true and is cleared when the project has been constructed.
  bool terminate = true;
  int32_t game_clock = 0;       // ms, sum of all accepted frame intervals
  int32_t frame_delta = 0;      // ms, length of the last accepted interval
  uint32_t last_tick_time = 0;  // clock reading at the last accepted interval
  int32_t frame_counter = 0;    // ticks that reached the object update
  int32_t draw_divisor = 1;     // draw and present only every N-th tick (1, 2, 4 or 10)
  // Drawing a number changes it; those that only read the rest of the state draw from it too.
  mutable ProcessRandom random;
};

}  // namespace novu
