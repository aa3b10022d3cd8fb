#include "storage/kx_random.h"

#include <algorithm>
#include <bit>
#include <climits>

#include "platform/error.h"

namespace novu {

void TKxRandom::Reset(int32_t n) {
  count_ = n > 0 ? n : 0;
  remaining_ = count_;
  const auto words = static_cast<size_t>((count_ + 63) / 64);
  present_.assign(words, ~uint64_t{0});
  if (count_ % 64 != 0) present_.back() = (uint64_t{1} << (count_ % 64)) - 1;
  top_bit_ = 1;
  while (static_cast<size_t>(top_bit_) <= words / 2) top_bit_ *= 2;
  // Padding past the last word holds counts no draw can reach, so the lifting below needs no
  // bounds check.
  tree_.assign(std::max(words + 1, static_cast<size_t>(top_bit_) * 2), INT32_MAX);
  std::fill(tree_.begin(), tree_.begin() + static_cast<std::ptrdiff_t>(words) + 1, 0);
  for (size_t i = 1; i <= words; ++i) {
    tree_[i] += std::popcount(present_[i - 1]);
    const size_t parent = i + (i & (~i + 1));
    if (parent <= words) tree_[parent] += tree_[i];
  }
}

int32_t TKxRandom::NextIndex() {
  if (remaining_ <= 0) throw NovuError::FromUtf8("TKxRandom: no index left to draw");
  NextValue();
  // An unsigned remainder: a state of 2^31 or more is not negative.
  return TakePresent(state_ % static_cast<uint32_t>(remaining_));
}

namespace {

// Position of the k-th (0-based) set bit of a word that has more than k set bits.
int SelectBit(uint64_t word, uint32_t k) {
  int base = 0;
  for (;;) {
    const auto in_byte = static_cast<uint32_t>(std::popcount(word & 0xFF));
    if (k < in_byte) break;
    k -= in_byte;
    word >>= 8;
    base += 8;
  }
  for (uint32_t i = 0; i < k; ++i) word &= word - 1;
  return base + std::countr_zero(word);
}

}  // namespace

int32_t TKxRandom::TakePresent(uint32_t k) {
  const auto words = static_cast<int32_t>(present_.size());
  // Binary lifting: the largest word position whose prefix count is <= k.
  int32_t position = 0;
  uint32_t left = k;
  for (int32_t step = top_bit_; step > 0; step /= 2) {
    const int32_t next = position + step;
    const auto count = static_cast<uint32_t>(tree_[static_cast<size_t>(next)]);
    const bool take = count <= left;  // kept branch-free: the outcome is random
    position = take ? next : position;
    left -= take ? count : 0;
  }
  uint64_t& word = present_[static_cast<size_t>(position)];
  const int bit = SelectBit(word, left);
  word &= ~(uint64_t{1} << bit);
  for (int32_t i = position + 1; i <= words; i += i & -i) --tree_[static_cast<size_t>(i)];
  --remaining_;
  return position * 64 + bit;
}

}  // namespace novu
