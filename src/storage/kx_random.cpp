#include "storage/kx_random.h"

#include "core/error.h"

namespace novu {

void TKxRandom::Reset(int32_t n) {
  count_ = n > 0 ? n : 0;
  remaining_ = count_;
  tree_.assign(static_cast<size_t>(count_) + 1, 0);
  // With every flag set, node i covers (i - lowbit(i), i] and so holds lowbit(i).
  for (int32_t i = 1; i <= count_; ++i) tree_[static_cast<size_t>(i)] = i & -i;
  top_bit_ = 1;
  while (top_bit_ <= count_ / 2) top_bit_ *= 2;
}

int32_t TKxRandom::NextIndex() {
  if (remaining_ <= 0) throw NovuError::FromUtf8("TKxRandom: no index left to draw");
  NextValue();
  // An unsigned remainder: a state of 2^31 or more is not negative.
  return TakePresent(state_ % static_cast<uint32_t>(remaining_));
}

int32_t TKxRandom::TakePresent(uint32_t k) {
  // Binary lifting: find the largest position whose prefix count is <= k; the answer is the
  // next position.
  int32_t position = 0;
  uint32_t left = k;
  for (int32_t step = top_bit_; step > 0; step /= 2) {
    const int32_t next = position + step;
    if (next <= count_ && static_cast<uint32_t>(tree_[static_cast<size_t>(next)]) <= left) {
      position = next;
      left -= static_cast<uint32_t>(tree_[static_cast<size_t>(next)]);
    }
  }
  const int32_t found = position + 1;  // 1-based
  for (int32_t i = found; i <= count_; i += i & -i) --tree_[static_cast<size_t>(i)];
  --remaining_;
  return found - 1;
}

}  // namespace novu
