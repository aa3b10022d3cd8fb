#include "objects/key_state.h"

#include <algorithm>
#include <limits>

namespace novu {

void KeyState::SetKeyState(int key, bool down) {
  if (!InRange(key) || held_[Index(key)] == down) return;
  const size_t i = Index(key);
  held_[i] = down;
  repeat_pending_[i] = down;
  if (down) {
    counters_[i] = kFirstRepeatMs;
    went_down_ = true;
    repeated_ = true;
    down_keys_.push_back(key);
    repeat_keys_.push_back(key);
  } else {
    went_up_ = true;
    up_keys_.push_back(key);
  }
}

void KeyState::SetKeyClick(int key, bool flag) {
  if (InRange(key)) pressed_[Index(key)] = flag;
}

void KeyState::ClearKeys() {
  held_.fill(false);
  pressed_.fill(false);
  repeat_pending_.fill(false);
  counters_.fill(0);
  went_down_ = went_up_ = repeated_ = false;
  down_keys_.clear();
  up_keys_.clear();
  repeat_keys_.clear();
}

void KeyState::LatchFrame() {
  key_click_ = pressed_;
  pressed_.fill(false);
  key_repeat_ = repeat_pending_;
}

void KeyState::FinishFrame(int32_t elapsed_ms) {
  went_down_ = went_up_ = repeated_ = false;
  down_keys_.clear();
  up_keys_.clear();
  repeat_keys_.clear();
  // A negative delta would hold the repeat back for ever; a huge one must not wrap the count.
  const int32_t elapsed = std::max(elapsed_ms, 0);
  for (int key = 0; key < kKeyCount; ++key) {
    const size_t i = Index(key);
    if (!held_[i]) continue;
    counters_[i] = static_cast<int32_t>(std::max<int64_t>(int64_t{counters_[i]} - elapsed,
                                                          std::numeric_limits<int32_t>::min() / 2));
    repeat_pending_[i] = counters_[i] <= 0;
    if (repeat_pending_[i]) {
      counters_[i] += kRepeatIntervalMs;
      repeated_ = true;
      repeat_keys_.push_back(key);
    }
  }
}

}  // namespace novu
