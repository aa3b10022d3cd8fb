#include "shell/loop_timer.h"

namespace novu {

bool TLoopTimer::Wake(uint32_t now) {
  uint32_t diff = now - last_;
  last_ = now;
  if (diff >= kDroppedGapMs) {
    wait_ = 1;
    return false;
  }
  state_.game_clock += static_cast<int32_t>(diff);
  state_.frame_delta = static_cast<int32_t>(diff);
  state_.last_tick_time = now;
  wait_ = static_cast<int64_t>(kTargetMs) - diff;
  return true;
}

void TLoopTimer::ResetLastTick(uint32_t now) {
  last_ = now;
  state_.last_tick_time = now;
}

}  // namespace novu
