#pragma once
// Draws the k-th of the items not drawn yet and removes it, as erasing from an ordered list
// would, in O(log n) per draw (a Fenwick tree over the items still present).
#include <cstdint>
#include <vector>

namespace novu::transitions {

class RemainingPicker {
 public:
  explicit RemainingPicker(int32_t count) : tree_(static_cast<size_t>(count) + 1, 0) {
    for (int32_t i = 1; i <= count; ++i) {
      tree_[static_cast<size_t>(i)] += 1;
      const int32_t parent = i + (i & -i);
      if (parent <= count) tree_[static_cast<size_t>(parent)] += tree_[static_cast<size_t>(i)];
    }
    remaining_ = count;
    top_ = 1;
    while (top_ * 2 <= count) top_ *= 2;
  }

  int32_t remaining() const { return remaining_; }

  // The k-th remaining item (0-based, k < remaining()).
  int32_t Take(int32_t k) {
    int32_t pos = 0;
    int32_t rest = k + 1;
    const auto n = static_cast<int32_t>(tree_.size()) - 1;
    for (int32_t step = top_; step > 0; step /= 2) {
      const int32_t next = pos + step;
      if (next <= n && tree_[static_cast<size_t>(next)] < rest) {
        pos = next;
        rest -= tree_[static_cast<size_t>(next)];
      }
    }
    // pos + 1 is the 1-based position of the item.
    for (int32_t i = pos + 1; i <= n; i += i & -i) tree_[static_cast<size_t>(i)] -= 1;
    --remaining_;
    return pos;
  }

 private:
  std::vector<int32_t> tree_;
  int32_t remaining_ = 0;
  int32_t top_ = 1;
};

}  // namespace novu::transitions
