#pragma once
// The dirty-rectangle list of a screen: rectangles closer than 20 pixels to each other are
// merged into their union, so a frame repaints a few larger areas rather than many small ones.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/geometry.h"

namespace novu {

class TClipList {
 public:
  static constexpr int64_t kMergeDistance = 20;

  // Adds a rectangle: nothing for an empty one or one inside the first nearby stored rectangle;
  // otherwise every chain of nearby rectangles is folded into one union.
  void Add(const Rect& rect);
  void Clear();

  int Count() const { return static_cast<int>(rects_.size()); }
  const Rect& operator[](int index) const { return rects_.at(static_cast<size_t>(index)); }
  const std::vector<Rect>& Rects() const { return rects_; }

  // Set by every change; the owner clears it once it has acted on the list.
  bool Changed() const { return changed_; }
  void SetChanged(bool changed) { changed_ = changed; }

 private:
  std::vector<Rect> rects_;
  bool changed_ = false;
};

}  // namespace novu
