#pragma once
// TNovuGauge (LT_GAUGE): a bar showing a value, drawn from one picture of two halves side by
// side: the left half repeats along the shown value, the right half along the part still
// falling. A lower value shows at once and leaves the difference as a falling part that stays
// for the hold time (PR_DURATION) and then shrinks; a higher value rises to it. Either moves by
// the whole range in the full-range time (PR_DELAY, ms); 0 or less makes changes immediate.
#include <cstdint>
#include <string>
#include <string_view>

#include "controls/cached_picture.h"
#include "controls/image_environment.h"
#include "objects/novu_control.h"

namespace novu {

class TNovuGauge final : public TNovuControl {
 public:
  // What the shown value is doing.
  enum Animation : int32_t { kStill = 0, kFalling = 100, kRising = 200 };

  TNovuGauge(ObjectList* owner, ImageEnvironment env);
  ~TNovuGauge() override;

  ComponentType GetType() const override { return LT_GAUGE; }

  // The value shown and the falling part beyond it, whole numbers.
  int32_t ShownValue() const;
  int32_t FallingPart() const;
  Animation animation() const { return animation_; }

  void SetSource(std::string_view name);
  void SetOrientation(int32_t orientation);
  void SetBarSize(int32_t size);
  void SetMin(int32_t value);
  void SetMax(int32_t value);
  void SetValue(int32_t value);
  void SetReverse(bool reverse);
  void SetAlpha(int32_t alpha);

  int32_t Update() override;

  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

 protected:
  void DrawSelf(render::TCustomDIBX& surface) override;
  void AfterLoad() override;

 private:
  bool vertical() const;
  bool Immediate() const;
  // Range per millisecond.
  double Speed() const;
  void ShowValueNow();
  void RecomputeSize();
  // Repaints when the whole numbers shown changed.
  void AccumulatorsChanged(int32_t old_shown, int32_t old_falling);

  ImageEnvironment env_;
  CachedPicture picture_;
  std::string source_;
  int32_t min_ = 0, max_ = 0, value_ = 0;
  int32_t alpha_ = 255;
  bool paused_ = false;
  uint8_t orientation_ = 0;
  int32_t full_range_ms_ = 0;
  int32_t hold_ms_ = 0;
  bool reverse_ = false;
  std::string on_idle_;
  int32_t bar_size_ = 0;

  double shown_ = 0;    // the shown value, before truncation
  double falling_ = 0;  // the falling part, before truncation
  Animation animation_ = kStill;
  int32_t hold_left_ = 0;
};

}  // namespace novu
