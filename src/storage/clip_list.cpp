#include "storage/clip_list.h"

#include <algorithm>

namespace novu {
namespace {

// Computed in 64 bits: coordinates near the i32 limits must not wrap.
bool IsNear(const Rect& s, const Rect& r) {
  constexpr int64_t d = TClipList::kMergeDistance;
  return !(int64_t{s.right} + d < r.left || int64_t{s.bottom} + d < r.top ||
           int64_t{r.right} < int64_t{s.left} - d || int64_t{r.bottom} < int64_t{s.top} - d);
}

}  // namespace

void TClipList::Add(const Rect& rect) {
  if (rect.IsEmpty()) return;
  Rect merged = rect;
  for (;;) {
    const auto near = std::find_if(rects_.begin(), rects_.end(),
                                   [&](const Rect& s) { return IsNear(s, merged); });
    if (near == rects_.end()) {
      rects_.push_back(merged);
      changed_ = true;
      return;
    }
    if (near->Contains(merged)) return;
    merged = Union(merged, *near);
    rects_.erase(near);
    changed_ = true;
  }
}

void TClipList::Clear() {
  rects_.clear();
  changed_ = true;
}

}  // namespace novu
