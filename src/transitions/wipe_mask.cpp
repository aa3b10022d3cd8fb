#include "transitions/wipe_mask.h"

#include <algorithm>
#include <cstring>

#include "render/pixel_rules.h"
#include "render/scan_hold.h"
#include "transitions/pixel_ops.h"

namespace novu::transitions {

void TWipeMask::SetParam(int index, int32_t value) {
  TCustomWipe::SetParam(index, index == 0 ? std::max(value, 2) : std::max(value, 1));
}

void TWipeMask::PrepareEffect() {
  mask_width_ = std::max(Width(), 0);
  mask_height_ = std::max(MaskHeight(), 1);
  mask_.assign(static_cast<size_t>(mask_width_) * static_cast<size_t>(mask_height_), 0);
  last_progress_ = -1;
}

bool TWipeMask::ProgressChanged(int64_t progress) {
  if (progress == last_progress_) return false;
  last_progress_ = progress;
  return true;
}

void TWipeMask::FillMask(uint8_t value) {
  std::fill(mask_.begin(), mask_.end(), value);
}

void TWipeMask::FillMaskRect(Rect rect, uint8_t value) {
  rect = Intersect(rect, Rect{0, 0, mask_width_, mask_height_});
  if (rect.IsEmpty()) return;
  for (int y = rect.top; y < rect.bottom; ++y) {
    std::memset(MaskRow(y) + rect.left, value, static_cast<size_t>(rect.Width()));
  }
}

void TWipeMask::DrawStep() {
  if (mask_.empty() || !UpdateMask()) return;
  Compose();
}

void TWipeMask::Compose() {
  render::ScanHold hold_target(target_), hold_from(from_), hold_to(to_);
  if (PackedTrio(target_, from_, to_)) {
    ComposePacked();
  } else {
    ComposePerPixel();
  }
}

// The blend row gives the from pixel for 0 and the to pixel for 255 exactly, so a hard-edged
// mask (only 0 and 255) needs no loop of its own.
void TWipeMask::ComposePacked() {
  const Rows32 t = RowsOf32(target_), f = RowsOf32(from_), n = RowsOf32(to_);
  const int w = std::min(Width(), mask_width_);
  for (int y = 0; y < Height(); ++y) {
    BlendRow32(t.Row(y), f.Row(y), n.Row(y), MaskRow(y % mask_height_), w);
  }
}

void TWipeMask::ComposePerPixel() {
  const render::PixelFormat& format = target_.Format();
  const int w = std::min(Width(), mask_width_);
  for (int y = 0; y < Height(); ++y) {
    const uint8_t* m = MaskRow(y % mask_height_);
    for (int x = 0; x < w; ++x) {
      const uint32_t v = m[x];
      const uint32_t a = from_.GetPixel(x, y), b = to_.GetPixel(x, y);
      target_.SetPixel(x, y, v == 0 ? a : v == 255 ? b : render::rules::Blend(format, a, b, v));
    }
  }
}

}  // namespace novu::transitions
