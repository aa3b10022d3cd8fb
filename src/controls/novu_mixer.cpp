#include "controls/novu_mixer.h"

namespace novu {

bool TNovuMixer::Over(int32_t now) const {
  return duration_ <= 0 || int64_t{now} - start_time_ >= duration_;
}

int32_t TNovuMixer::Level(int32_t now) const {
  if (Over(now)) return target_level_;
  const int64_t e = std::max<int64_t>(int64_t{now} - start_time_, 0);
  const int64_t s = start_level_;
  const int64_t t = target_level_;
  const int64_t d = duration_;
  const bool midi = item_ != nullptr && item_->IsMidi();
  if (midi) return static_cast<int32_t>(s + e * (t - s) / d);
  const int64_t h = (t - s) / 2;
  if (s > t) return static_cast<int32_t>(s + e * h / d);
  return static_cast<int32_t>(s + h + e * h / d);
}

bool TNovuMixerFadein::Step(int32_t now) {
  if (!started_) {
    if (item_ != nullptr) {
      item_->SetVolume(kSilentLevel);
      item_->Play();
    }
    start_level_ = kSilentLevel;
    start_time_ = now;
    started_ = true;
    return false;
  }
  if (item_ == nullptr) return Over(now);
  if (!Over(now)) {
    item_->SetVolume(Level(now));
    return false;
  }
  item_->SetVolume(target_level_);
  return true;
}

bool TNovuMixerFadeout::Step(int32_t now) {
  if (!started_) {
    if (item_ != nullptr) start_level_ = item_->GetVolume();
    target_level_ = kSilentLevel;
    start_time_ = now;
    started_ = true;
    return false;
  }
  if (Over(now)) return true;
  if (item_ != nullptr) item_->SetVolume(Level(now));
  return false;
}

}  // namespace novu
