#include "shell/loop_timer.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace novu {
namespace {

TEST(LoopTimer, AcceptsIntervalsAndWaitsForTheRestOf15Ms) {
  ProcessState state;
  platform::ManualClock clock;
  TLoopTimer timer(state, clock.NowMs());
  EXPECT_EQ(timer.wait_ms(), 1u) << "the first wake-up comes after 1 ms";

  struct Step {
    uint32_t elapsed;
    bool ticks;
    int32_t game_clock;
    uint32_t next_wait;
  };
  const Step steps[] = {
      {1, true, 1, 14},      // 15 - 1
      {15, true, 16, 1},     // on time: 0 → at least 1
      {40, true, 56, 1},     // late: no catch-up, the next wait is just short
      {299, true, 355, 1},   // still accepted
      {300, false, 355, 1},  // a gap of 300 ms or more is dropped
      {5000, false, 355, 1}, {10, true, 365, 5},
  };
  for (const Step& s : steps) {
    clock.Advance(s.elapsed);
    EXPECT_EQ(timer.Wake(clock.NowMs()), s.ticks) << "after " << s.elapsed;
    EXPECT_EQ(state.game_clock, s.game_clock) << "after " << s.elapsed;
    EXPECT_EQ(timer.wait_ms(), s.next_wait) << "after " << s.elapsed;
    if (s.ticks) {
      EXPECT_EQ(state.frame_delta, static_cast<int32_t>(s.elapsed));
    }
  }
  EXPECT_EQ(state.last_tick_time, clock.NowMs());
}

TEST(LoopTimer, ActivationDoesNotCountThePause) {
  ProcessState state;
  platform::ManualClock clock;
  TLoopTimer timer(state, 0);
  clock.Advance(100);
  timer.ResetLastTick(clock.NowMs());
  clock.Advance(20);
  EXPECT_TRUE(timer.Wake(clock.NowMs()));
  EXPECT_EQ(state.game_clock, 20);
}

TEST(LoopTimer, ClockWrapAroundIsAnOrdinaryInterval) {
  ProcessState state;
  TLoopTimer timer(state, 0xFFFFFFF0u);
  EXPECT_TRUE(timer.Wake(0x00000004u));
  EXPECT_EQ(state.frame_delta, 20);
}

}  // namespace
}  // namespace novu
