#include "controls/novu_gauge.h"

#include <algorithm>
#include <cmath>

#include "controls/novu_slider.h"
#include "controls/picture_drawing.h"
#include "objects/object_list.h"
#include "render/custom_dibx.h"

namespace novu {

TNovuGauge::TNovuGauge(ObjectList* owner, ImageEnvironment env)
    : TNovuControl(owner), env_(env), picture_(env.cache) {}

TNovuGauge::~TNovuGauge() = default;

bool TNovuGauge::vertical() const {
  return orientation_ == OT_VERTICAL;
}

int32_t TNovuGauge::ShownValue() const {
  return static_cast<int32_t>(std::clamp(std::trunc(shown_), -2147483648.0, 2147483647.0));
}

int32_t TNovuGauge::FallingPart() const {
  return static_cast<int32_t>(std::clamp(std::trunc(falling_), 0.0, 2147483647.0));
}

bool TNovuGauge::Immediate() const {
  return full_range_ms_ <= 0 || max_ <= min_;
}

double TNovuGauge::Speed() const {
  return (static_cast<double>(max_) - min_) / full_range_ms_;
}

void TNovuGauge::ShowValueNow() {
  Invalidate();
  shown_ = value_;
  falling_ = 0;
  animation_ = kStill;
  hold_left_ = 0;
}

void TNovuGauge::AccumulatorsChanged(int32_t old_shown, int32_t old_falling) {
  if (old_shown != ShownValue() || old_falling != FallingPart()) Invalidate();
}

// --- setters ---

void TNovuGauge::SetSource(std::string_view name) {
  if (name == source_) return;
  Invalidate();
  source_ = name;
  picture_.Load(name);
  RecomputeSize();
}

void TNovuGauge::SetOrientation(int32_t orientation) {
  const auto byte = static_cast<uint8_t>(orientation);
  if (byte == orientation_) return;
  orientation_ = byte;
  RecomputeSize();
}

void TNovuGauge::SetBarSize(int32_t size) {
  if (size == bar_size_) return;
  bar_size_ = size;
  RecomputeSize();
}

void TNovuGauge::SetMin(int32_t value) {
  min_ = value;
  ShowValueNow();
}

void TNovuGauge::SetMax(int32_t value) {
  max_ = value;
  ShowValueNow();
}

void TNovuGauge::SetValue(int32_t value) {
  if (value == value_) return;
  value_ = value;
  if (Immediate()) {
    ShowValueNow();
    return;
  }
  const int32_t old_shown = ShownValue();
  const int32_t old_falling = FallingPart();
  if (value_ < shown_) {
    // What was shown above the new value falls: it waits for the hold time, then shrinks.
    falling_ = shown_ + falling_ - value_;
    shown_ = value_;
    animation_ = kFalling;
    hold_left_ = std::max(hold_ms_, 0);
  } else {
    falling_ = 0;
    animation_ = value_ > shown_ ? kRising : kStill;
  }
  AccumulatorsChanged(old_shown, old_falling);
}

void TNovuGauge::SetReverse(bool reverse) {
  reverse_ = reverse;
  Invalidate();
}

void TNovuGauge::SetAlpha(int32_t alpha) {
  alpha_ = alpha;
  Invalidate();
}

void TNovuGauge::RecomputeSize() {
  int32_t w = picture_.width() / 2;
  int32_t h = picture_.height();
  if (bar_size_ > 0) (vertical() ? h : w) = bar_size_;
  if (w != width()) SetWidth(w);
  if (h != height()) SetHeight(h);
  Invalidate();
}

// --- animation ---

int32_t TNovuGauge::Update() {
  const int32_t result = TNovuControl::Update();
  if (animation_ == kStill) return result;
  if (Immediate()) {
    ShowValueNow();
    return result;
  }
  int32_t elapsed = std::max(owner() != nullptr ? owner()->FrameDelta() : 0, 0);
  const int32_t old_shown = ShownValue();
  const int32_t old_falling = FallingPart();
  if (animation_ == kFalling) {
    const int32_t held = std::min(hold_left_, elapsed);
    hold_left_ -= held;
    elapsed -= held;
    falling_ -= Speed() * elapsed;
    if (falling_ < 1) {
      falling_ = 0;
      animation_ = kStill;
    }
  } else {
    shown_ += Speed() * elapsed;
    if (shown_ >= value_) {
      shown_ = value_;
      animation_ = kStill;
    }
  }
  AccumulatorsChanged(old_shown, old_falling);
  return result;
}

// --- painting ---

// The shown length runs from the starting end (left or bottom; with PR_REVERSE right or top,
// mirrored), the falling length right after it; both keep the tiles of the starting end.
void TNovuGauge::DrawSelf(render::TCustomDIBX& surface) {
  const render::TDIBX* picture = picture_.surface();
  if (picture == nullptr || width() < 1 || height() < 1 || !AlphaCodeDraws(alpha_)) return;
  const double range = static_cast<double>(max_) - min_;
  if (range <= 0) return;
  const Rect bar = GetBoundsRect();
  const int32_t length = vertical() ? bar.Height() : bar.Width();
  const int64_t l1 = std::clamp<int64_t>(
      RoundHalfEven(length * (ShownValue() - static_cast<double>(min_)) / range), 0, length);
  const int64_t l2 =
      std::clamp<int64_t>(RoundHalfEven(length * FallingPart() / range), 0, length - l1);
  const int32_t half = picture_.width() / 2;
  const Rect left_half{0, 0, half, picture_.height()};
  const Rect right_half{half, 0, 2 * half, picture_.height()};
  const auto n1 = static_cast<int32_t>(l1);
  const auto n2 = static_cast<int32_t>(l2);
  Rect shown = bar;
  Rect falling = bar;
  int32_t origin_x = bar.left;
  int32_t origin_y = bar.top;
  render::FlipOptions flips;
  if (!vertical() && !reverse_) {
    shown.right = bar.left + n1;
    falling.left = shown.right;
    falling.right = falling.left + n2;
  } else if (!vertical()) {
    shown.left = bar.right - n1;
    falling.right = shown.left;
    falling.left = falling.right - n2;
    origin_x = bar.right;
    flips.flip_h = true;
  } else if (!reverse_) {
    shown.top = bar.bottom - n1;
    falling.bottom = shown.top;
    falling.top = falling.bottom - n2;
    origin_y = bar.bottom;
  } else {
    shown.bottom = bar.top + n1;
    falling.top = shown.bottom;
    falling.bottom = falling.top + n2;
    flips.flip_v = true;
  }
  TilePictureCell(surface, shown, origin_x, origin_y, *picture, picture_.mask(), left_half, alpha_,
                  flips);
  TilePictureCell(surface, falling, origin_x, origin_y, *picture, picture_.mask(), right_half,
                  alpha_, flips);
}

// --- saved state ---

void TNovuGauge::AfterLoad() {
  RecomputeSize();
  ShowValueNow();
}

const PropertyTable& TNovuGauge::Table() {
  using R = PropertyRows<TNovuGauge>;
  using G = TNovuGauge;
  static const PropertyTable table(
      &TNovuControl::Table(),
      {
          R::Field(PR_SOURCE, &G::source_).Set(&G::SetSource).Save([](G& g, Serializer& s) {
            std::string name = g.source_;
            s.String(name);
            if (s.loading()) g.SetSource(name);
          }),
          // A saved record is read into the fields; the shown value follows in AfterLoad.
          R::Field(PR_MIN, &G::min_).Set(&G::SetMin),
          R::Field(PR_MAX, &G::max_).Set(&G::SetMax),
          R::Field(PR_VALUE, &G::value_).Set(&G::SetValue),
          R::Field(PR_ALPHA, &G::alpha_).Set(&G::SetAlpha),
          R::Field(PR_PAUSED, &G::paused_),
          R::Field(PR_ORIENTATION, &G::orientation_).Set(&G::SetOrientation),
          R::Field(PR_DELAY, &G::full_range_ms_),
          R::Field(PR_DURATION, &G::hold_ms_),
          R::Field(PR_REVERSE, &G::reverse_).Set(&G::SetReverse),
          R::Field(PR_ONIDLE, &G::on_idle_).Since(125),
          R::Field(PR_BARSIZE, &G::bar_size_).Set(&G::SetBarSize).Since(128),
          R::Answer(PR_PLAYING, [](const G& g) { return g.animation_ != kStill; }),
      });
  return table;
}

}  // namespace novu
