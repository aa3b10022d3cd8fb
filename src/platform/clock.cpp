#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace novu::platform {
namespace {

class SystemClock : public Clock {
 public:
  uint32_t NowMs() override {
    auto since = std::chrono::steady_clock::now() - start_;
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
  }
  void SleepMs(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace

std::unique_ptr<Clock> CreateSystemClock() {
  return std::make_unique<SystemClock>();
}

}  // namespace novu::platform
