#pragma once
// TNovuImageData and TNovuImageList: a control's view of a cached picture. Each frame view may
// brighten or darken its frame into a surface of its own; the list keeps the frame clock.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "controls/fipo_collection.h"
#include "render/dibx.h"

namespace novu {

class TNovuImageData {
 public:
  explicit TNovuImageData(TFipoItemFrame& frame) : frame_(&frame) {}

  // Positive adds grey (b, b, b) to every pixel, negative subtracts it, 0 shows the cached
  // frame as it is; a colour key keeps marking the same pixels.
  void SetBrightness(int32_t brightness);
  int32_t brightness() const { return brightness_; }

  render::TDIBX& Picture() const;
  // The cached frame's mask, if it has one.
  render::TDIBX* Mask() const { return frame_->mask.get(); }
  int32_t delay() const { return frame_->delay; }
  int32_t offset_x() const { return frame_->offset_x; }
  int32_t offset_y() const { return frame_->offset_y; }

  void ReleaseSurfaces() { own_.reset(); }
  // Rebuilds the adjusted copy at the cached frame's current depth.
  void RestoreSurfaces();

 private:
  void Adjust();

  TFipoItemFrame* frame_;
  int32_t brightness_ = 0;
  std::unique_ptr<render::TDIBX> own_;
};

class TNovuImageList {
 public:
  explicit TNovuImageList(TFipoCollection* cache) : cache_(cache) {}
  ~TNovuImageList() { Clear(); }
  TNovuImageList(const TNovuImageList&) = delete;
  TNovuImageList& operator=(const TNovuImageList&) = delete;

  // Drops the views and releases the cached picture.
  void Clear();
  // Shows `name` (untrimmed) under the identity `user`: one view per frame, frame 0 current.
  void Load(const void* user, std::string_view name, bool masked);

  int Count() const { return static_cast<int>(data_.size()); }
  // Null out of range.
  TNovuImageData* Item(int index) const;
  TFipoItem* item() const { return item_; }
  int index() const { return index_; }
  int32_t remaining() const { return remaining_; }
  void set_remaining(int32_t ms) { remaining_ = ms; }
  // Clamped to the last frame; the remaining time becomes that frame's delay + 1.
  void SetIndex(int index);
  // Runs the clock by `elapsed_ms`; true when the current frame changed.
  bool Advance(int32_t elapsed_ms);

  void ReleaseSurfaces();
  void RestoreSurfaces();

 private:
  TFipoCollection* cache_;
  TFipoItem* item_ = nullptr;
  const void* user_ = nullptr;
  std::vector<std::unique_ptr<TNovuImageData>> data_;
  int index_ = 0;
  int32_t remaining_ = 0;
};

}  // namespace novu
