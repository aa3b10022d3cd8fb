#include "storage/clip_list.h"

#include <algorithm>

namespace novu {
namespace {

// Computed in 64 bits: coordinates near the i32 limits must not wrap.
bool IsNear(const TClipRect& s, const TClipRect& r) {
  constexpr int64_t d = TClipList::kMergeDistance;
  return !(int64_t{s.right} + d < r.left || int64_t{s.bottom} + d < r.top ||
           int64_t{r.right} < int64_t{s.left} - d || int64_t{r.bottom} < int64_t{s.top} - d);
}

bool IsInside(const TClipRect& r, const TClipRect& s) {
  return r.left >= s.left && r.top >= s.top && r.right <= s.right && r.bottom <= s.bottom;
}

TClipRect Union(const TClipRect& a, const TClipRect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

}  // namespace

void TClipList::Add(const TClipRect& rect) {
  if (rect.IsEmpty()) return;
  TClipRect merged = rect;
  for (;;) {
    const auto near = std::find_if(rects_.begin(), rects_.end(),
                                   [&](const TClipRect& s) { return IsNear(s, merged); });
    if (near == rects_.end()) {
      rects_.push_back(merged);
      changed_ = true;
      return;
    }
    if (IsInside(merged, *near)) return;
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
