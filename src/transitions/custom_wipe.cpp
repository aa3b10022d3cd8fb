#include "transitions/custom_wipe.h"

#include <algorithm>
#include <cmath>

namespace novu::transitions {

TCustomWipe::TCustomWipe(render::TCustomDIBX& target, const render::TCustomDIBX& from,
                         const render::TCustomDIBX& to)
    : target_(target), from_(from), to_(to) {}

int32_t TCustomWipe::GetParam(int index) const {
  return index == 0 || index == 1 ? params_[static_cast<size_t>(index)] : 0;
}

void TCustomWipe::SetParam(int index, int32_t value) {
  if (index == 0 || index == 1) params_[static_cast<size_t>(index)] = value;
}

void TCustomWipe::Prepare() {
  prepared_ = true;
  PrepareEffect();
}

bool TCustomWipe::Step() {
  dirty_ = Whole();
  if (elapsed_ >= duration_) return true;
  if (!prepared_) Prepare();
  target_.IncludeClip(Whole());
  DrawStep();
  return false;
}

uint32_t TCustomWipe::Grey(int v) {
  if (grey_depth_ != target_.BitCount()) {
    grey_depth_ = target_.BitCount();
    for (int i = 0; i < 256; ++i) {
      greys_[static_cast<size_t>(i)] = static_cast<uint32_t>(target_.ColorToPixel(i * 0x010101));
    }
  }
  return greys_[static_cast<size_t>(std::clamp(v, 0, 255))];
}

int64_t RoundEven(double value) {
  return static_cast<int64_t>(std::nearbyint(value));
}

}  // namespace novu::transitions
