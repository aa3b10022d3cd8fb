#pragma once
// The timing rules of the frame loop: the loop wakes after `wait_ms()`, and each wake-up either
// accepts the interval since the last one (it advances the game clock and a tick runs) or, for a
// gap of 300 ms or more (a suspended machine, a debugger), drops it.
#include <cstdint>

#include "core/process_state.h"

namespace novu {

class TLoopTimer {
 public:
  static constexpr uint32_t kTargetMs = 15;
  static constexpr uint32_t kDroppedGapMs = 300;

  TLoopTimer(ProcessState& state, uint32_t now) : state_(state), last_(now) {}

  // How long to wait before the next wake-up: 15 ms minus the last interval, at least 1.
  uint32_t wait_ms() const { return wait_ < 1 ? 1 : static_cast<uint32_t>(wait_); }

  // Called when the wait ends; true when a tick is to run now.
  bool Wake(uint32_t now);

  // After a pause (activation): the time spent paused does not count.
  void ResetLastTick(uint32_t now);

 private:
  ProcessState& state_;
  uint32_t last_;
  int64_t wait_ = 1;
};

}  // namespace novu
