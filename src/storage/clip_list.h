#pragma once
// The dirty-rectangle list of a screen: rectangles closer than 20 pixels to each other are
// merged into their union, so a frame repaints a few larger areas rather than many small ones.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace novu {

// Right and bottom are exclusive.
struct TClipRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool operator==(const TClipRect&) const = default;
};

class TClipList {
 public:
  static constexpr int64_t kMergeDistance = 20;

  // Adds a rectangle: nothing for an empty one or one inside the first nearby stored rectangle;
  // otherwise every chain of nearby rectangles is folded into one union.
  void Add(const TClipRect& rect);
  void Clear();

  int Count() const { return static_cast<int>(rects_.size()); }
  const TClipRect& operator[](int index) const { return rects_.at(static_cast<size_t>(index)); }
  const std::vector<TClipRect>& Rects() const { return rects_; }

  // Set by every change; the owner clears it once it has acted on the list.
  bool Changed() const { return changed_; }
  void SetChanged(bool changed) { changed_ = changed; }

 private:
  std::vector<TClipRect> rects_;
  bool changed_ = false;
};

}  // namespace novu
