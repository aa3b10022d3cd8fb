#pragma once
// The process-wide random generator used by the Random function, the fire and particle effects
// and the random transitions: seed := seed * 134775813 + 1 (mod 2^32); a draw below n is the
// high 32 bits of the 64-bit product seed * n, taken after the step.
#include <cstdint>

namespace novu {

class ProcessRandom {
 public:
  explicit ProcessRandom(uint32_t seed = 0) : seed_(seed) {}

  // The seed taken from a UTC time of day.
  static uint32_t SeedFromTimeOfDay(int hour, int minute, int second, int millisecond) {
    return static_cast<uint32_t>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond);
  }

  void Seed(uint32_t seed) { seed_ = seed; }
  uint32_t seed() const { return seed_; }

  // A value in [0, n) for n > 0 (n is multiplied as an unsigned 32-bit number).
  int32_t Below(int32_t n) {
    Step();
    return static_cast<int32_t>((static_cast<uint64_t>(seed_) * static_cast<uint32_t>(n)) >> 32);
  }
  // A value in [0, 1).
  double Unit() {
    Step();
    return seed_ / 4294967296.0;
  }

 private:
  void Step() { seed_ = seed_ * 134775813u + 1u; }
  uint32_t seed_;
};

}  // namespace novu
