#pragma once
// TWipeMask: the base of the transitions that paint an 8-bit mask and let it pick, per pixel,
// between the old picture (0), the new one (255) or a blend of both. The mask is as wide as the
// target and MaskHeight() rows tall, repeating down the screen; it is recomputed and the
// picture recomposed only when the effect's progress value changes.
#include <cstdint>
#include <vector>

#include "transitions/custom_wipe.h"

namespace novu::transitions {

class TWipeMask : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;

  // Param 0 is at least 2, param 1 at least 1.
  void SetParam(int index, int32_t value) override;
  virtual int MaskHeight() const { return Height(); }

  // The mask as last painted (row y of MaskHeight() rows); for tests and tools.
  const uint8_t* MaskRow(int y) const {
    return mask_.data() + static_cast<size_t>(y) * static_cast<size_t>(mask_width_);
  }
  int mask_width() const { return mask_width_; }
  int mask_height() const { return mask_height_; }
  bool hard_edge() const { return hard_edge_; }

 protected:
  // Paints the mask for the current elapsed time; false when nothing changed.
  virtual bool UpdateMask() { return false; }

  // Sizes the mask to (target width, MaskHeight()) and clears it; subclasses call it first.
  void PrepareEffect() override;
  void DrawStep() override;

  // Stores the progress value and tells whether it differs from the last one.
  bool ProgressChanged(int64_t progress);
  uint8_t* MaskRow(int y) {
    return mask_.data() + static_cast<size_t>(y) * static_cast<size_t>(mask_width_);
  }
  void FillMask(uint8_t value);
  // Fills `rect` cut to the mask.
  void FillMaskRect(Rect rect, uint8_t value);

  int mask_width_ = 0;
  int mask_height_ = 0;
  std::vector<uint8_t> mask_;
  int64_t last_progress_ = -1;
  bool hard_edge_ = false;

 private:
  void Compose();
  void ComposePacked();
  void ComposePerPixel();
};

}  // namespace novu::transitions
