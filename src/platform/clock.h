#pragma once
// Millisecond clocks: the monotonic system clock and a manual one for tests and headless runs.
#include <cstdint>
#include <memory>

namespace novu::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start, wrapping at 2^32 like timeGetTime.
  virtual uint32_t NowMs() = 0;
  // Blocks for about `ms` milliseconds (a manual clock just advances).
  virtual void SleepMs(uint32_t ms) = 0;
};

std::unique_ptr<Clock> CreateSystemClock();

class ManualClock : public Clock {
 public:
  uint32_t NowMs() override { return now_; }
  void SleepMs(uint32_t ms) override { now_ += ms; }
  void Advance(uint32_t ms) { now_ += ms; }

 private:
  uint32_t now_ = 0;
};

}  // namespace novu::platform
