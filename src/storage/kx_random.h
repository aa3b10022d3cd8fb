#pragma once
// The player's deterministic number source: s := 5 * s + c (mod 2^32), with the increment c
// chosen by the caller. It scrambles archive directories (as a value stream) and orders the
// rows and blocks of scrambled pictures and the dissolve cells of the dither wipe (as a drawer
// of permutations). Nothing is seeded from the clock; every use makes its own instance.
#include <cstdint>
#include <vector>

namespace novu {

class TKxRandom {
 public:
  explicit TKxRandom(int32_t increment) : increment_(static_cast<uint32_t>(increment)) {}

  // Makes 0 .. n-1 available to NextIndex; the state carries on, so a second Reset on the same
  // instance draws a different permutation. A negative n counts as 0.
  void Reset(int32_t n);

  // The next state, as 32 bits (callers that want a signed value read it as such).
  uint32_t NextValue() {
    state_ = state_ * 5u + increment_;
    return state_;
  }

  // Draws the (state mod remaining)-th of the remaining indices and removes it. After Reset(n),
  // n draws return each of 0 .. n-1 once. Drawing from an exhausted set throws NovuError.
  int32_t NextIndex();

  int32_t Count() const { return count_; }
  int32_t Remaining() const { return remaining_; }
  uint32_t State() const { return state_; }

 private:
  // The k-th (0-based) index still present.
  int32_t TakePresent(uint32_t k);

  uint32_t increment_;
  uint32_t state_ = 0;
  int32_t count_ = 0;
  int32_t remaining_ = 0;
  // Removing from the middle of a plain ordered list costs O(n) per draw, which hangs on
  // pictures with a million blocks. Here the remaining indices are bits of 64-bit words, and a
  // Fenwick tree over the words' bit counts finds the word holding the k-th remaining index in
  // O(log n); the result is the same as the list's.
  std::vector<uint64_t> present_;  // bit i of word w: index 64 * w + i not drawn yet
  std::vector<int32_t> tree_;      // 1-based Fenwick tree of the words' bit counts
  int32_t top_bit_ = 0;            // highest power of two <= number of words
};

}  // namespace novu
