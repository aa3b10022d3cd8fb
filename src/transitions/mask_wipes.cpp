#include "transitions/mask_wipes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "storage/kx_random.h"
#include "transitions/pixel_ops.h"
#include "transitions/remaining_picker.h"
#include "transitions/rule_picture.h"
#include "transitions/shape_fill.h"

namespace novu::transitions {
namespace {

constexpr double kPi = std::numbers::pi;

// 0 before the threshold, then rising by 255 / softness per progress unit up to 255.
uint8_t Ramp(int64_t progress, int64_t threshold, int64_t softness) {
  if (progress < threshold) return 0;
  return static_cast<uint8_t>(std::min<int64_t>(255, (progress - threshold) * 255 / softness));
}

bool IsHard(uint8_t v) {
  return v == 0 || v == 255;
}

}  // namespace

// ---- blinds ----

bool TWipeBlindH::UpdateMask() {
  const int64_t w = params_[0], s = params_[1];
  const int64_t p = Progress(s + 2 * w - 2);
  if (!ProgressChanged(p)) return false;
  uint8_t* row = MaskRow(0);
  for (int x = 0; x < mask_width_; ++x) {
    const int64_t in_slat = x % w;
    row[x] = Ramp(p, 2 * (reverse_ ? w - in_slat - 1 : in_slat), s);
  }
  hard_edge_ = s < 2;
  return true;
}

bool TWipeBlindV::UpdateMask() {
  const int64_t w = params_[0], s = params_[1];
  const int64_t p = Progress(s + 2 * w - 2);
  if (!ProgressChanged(p)) return false;
  hard_edge_ = true;
  for (int y = 0; y < mask_height_; ++y) {
    const uint8_t v = Ramp(p, 2 * (reverse_ ? w - y - 1 : y), s);
    hard_edge_ = hard_edge_ && IsHard(v);
    std::memset(MaskRow(y), v, static_cast<size_t>(mask_width_));
  }
  return true;
}

// ---- curtains ----

void TWipeOrderHMask::SetParam(int index, int32_t value) {
  TCustomWipe::SetParam(index, std::max(value, 1));
}

bool TWipeOrderHMask::UpdateMask() {
  const int64_t w = params_[0], s = params_[1];
  const int n = Vertical() ? Height() : Width();
  const int64_t range = ((n + w - 1) / w + w - 2) * 16 + s;
  const int64_t p = Progress(range);
  if (!ProgressChanged(p)) return false;
  for (int i = 0; i < n; ++i) {
    const int64_t at = reverse_ ? n - i - 1 : i;
    const uint8_t v = Ramp(p, (at / w + at % w) * 16, s);
    if (Vertical()) {
      if (i < mask_height_) std::memset(MaskRow(i), v, static_cast<size_t>(mask_width_));
    } else if (i < mask_width_) {
      MaskRow(0)[i] = v;
    }
  }
  hard_edge_ = s < 2;
  return true;
}

// ---- grids ----

int64_t TWipeGrid::CellOrder(int i, int j, int cols, int rows) const {
  return reverse_ ? RoundEven(std::hypot(rows - j - 1, cols - i - 1)) : RoundEven(std::hypot(j, i));
}
int64_t TWipeGrid::MaxOrder(int cols, int rows) const {
  return RoundEven(std::hypot(rows - 1, cols - 1));
}
int64_t TWipeGridH::CellOrder(int i, int, int cols, int) const {
  return reverse_ ? cols - i - 1 : i;
}
int64_t TWipeGridH::MaxOrder(int cols, int) const {
  return cols;
}
int64_t TWipeGridV::CellOrder(int, int j, int, int rows) const {
  return reverse_ ? rows - j - 1 : j;
}
int64_t TWipeGridV::MaxOrder(int, int rows) const {
  return rows;
}

void TWipeGrid::PrepareEffect() {
  TWipeMask::PrepareEffect();
  const int c = params_[0];
  cols_ = (mask_width_ + c - 1) / c;
  rows_ = (mask_height_ + c - 1) / c;
  orders_.resize(static_cast<size_t>(cols_) * static_cast<size_t>(rows_));
  for (int j = 0; j < rows_; ++j) {
    for (int i = 0; i < cols_; ++i) {
      orders_[static_cast<size_t>(j) * cols_ + i] = 4 * CellOrder(i, j, cols_, rows_);
    }
  }
}

bool TWipeGrid::UpdateMask() {
  const int64_t c = params_[0], s = params_[1];
  const int64_t p = Progress(s + 4 * MaxOrder(cols_, rows_) - 4);
  if (!ProgressChanged(p)) return false;
  FillMask(0);
  for (int j = 0; j < rows_; ++j) {
    for (int i = 0; i < cols_; ++i) {
      const int64_t h = orders_[static_cast<size_t>(j) * cols_ + i];
      const uint8_t v = Ramp(p, h, s);
      if (v == 0) continue;
      const auto a = static_cast<int32_t>(std::min(c, c * (p - h) / s));
      const auto inset = static_cast<int32_t>((c - a) / 2);
      FillMaskRect(
          MakeRect(static_cast<int32_t>(i * c) + inset, static_cast<int32_t>(j * c) + inset, a, a),
          v);
    }
  }
  hard_edge_ = s < 2;
  return true;
}

// ---- dither ----

void TWipeDither::PrepareEffect() {
  TWipeMask::PrepareEffect();
  TKxRandom random(kIncrement);
  random.Reset(kCells);
  order_.resize(kCells);
  for (int32_t& cell : order_) cell = random.NextIndex();
  pattern_.assign(kCells, 0);
}

bool TWipeDither::UpdateMask() {
  const int64_t n = Progress(kCells);
  if (!ProgressChanged(n)) return false;
  if (n > kCells / 2 - 1) {
    std::fill(pattern_.begin(), pattern_.end(), uint8_t{255});
    for (int64_t k = n; k < kCells; ++k) pattern_[static_cast<size_t>(order_[k])] = 0;
  } else {
    std::fill(pattern_.begin(), pattern_.end(), uint8_t{0});
    for (int64_t k = 0; k < n; ++k) pattern_[static_cast<size_t>(order_[k])] = 255;
  }
  for (int y = 0; y < mask_height_; ++y) {
    const uint8_t* source = &pattern_[static_cast<size_t>(y % kPatternSide) * kPatternSide];
    uint8_t* row = MaskRow(y);
    for (int x = 0; x < mask_width_; x += kPatternSide) {
      std::memcpy(row + x, source, static_cast<size_t>(std::min(kPatternSide, mask_width_ - x)));
    }
  }
  hard_edge_ = true;
  return true;
}

// ---- rule-image fade ----

void TWipeShadow::PrepareEffect() {
  TWipeMask::PrepareEffect();
  greys_ = RuleGreys(context_, rule_name_, reverse_, Width(), Height());
}

bool TWipeShadow::UpdateMask() {
  const int64_t p = Progress(512) + 255;
  if (!ProgressChanged(p)) return false;
  // mask = clamp(p + g - 256) with g = grey - 255, that is the grey level moved by p - 511 with
  // saturation at 0 and 255.
  const int64_t offset = p - 511;
  const auto amount = static_cast<uint8_t>(std::min<int64_t>(std::abs(offset), 255));
  const size_t count = greys_.size();
  const uint8_t* g = greys_.data();
  uint8_t* out = mask_.data();
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i step = _mm_set1_epi8(static_cast<char>(amount));
  for (; i + 16 <= count; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     offset >= 0 ? _mm_adds_epu8(v, step) : _mm_subs_epu8(v, step));
  }
#endif
  for (; i < count; ++i) {
    out[i] = static_cast<uint8_t>(std::clamp<int64_t>(g[i] + offset, 0, 255));
  }
  hard_edge_ = false;
  return true;
}

// ---- pies ----

double PieStartAngle(int32_t degrees) {
  return degrees * 2 * kPi / 360 - kPi / 2;
}

namespace {

// Clears the mask and paints the pies (start, sweep) at 255.
void PaintPies(uint8_t* mask, int width, int height,
               std::initializer_list<std::pair<double, double>> pies) {
  std::memset(mask, 0, static_cast<size_t>(width) * static_cast<size_t>(height));
  for (const auto& [start, sweep] : pies) {
    PieShape(width / 2, height / 2, start, sweep)
        .ForEachSpan(width, height, [&](int y, int x0, int x1) {
          std::memset(mask + static_cast<size_t>(y) * width + x0, 255,
                      static_cast<size_t>(x1 - x0));
        });
  }
}

}  // namespace

void TWipeClockhand::SetParam(int index, int32_t value) {
  TCustomWipe::SetParam(index, value);
  if (index == 0) last_angle_ = start_angle_ = PieStartAngle(value);
}

bool TWipeClockhand::UpdateMask() {
  const double sweep = Fraction() * 2 * kPi;
  const double angle = reverse_ ? start_angle_ - sweep : start_angle_ + sweep;
  if (angle == last_angle_) return false;
  last_angle_ = angle;
  PaintPies(MaskRow(0), mask_width_, mask_height_, {{reverse_ ? angle : start_angle_, sweep}});
  hard_edge_ = true;
  return true;
}

void TWipeFan::SetParam(int index, int32_t value) {
  TCustomWipe::SetParam(index, value);
  if (index == 0) start_angle_ = PieStartAngle(value);
}

bool TWipeFan::UpdateMask() {
  const double half = Fraction() * kPi;
  if (half == last_angle_) return false;
  last_angle_ = half;
  PaintPies(MaskRow(0), mask_width_, mask_height_, {{start_angle_ - half, 2 * half}});
  hard_edge_ = true;
  return true;
}

void TWipeWFan::SetParam(int index, int32_t value) {
  TCustomWipe::SetParam(index, value);
  if (index == 0) start_angle_ = PieStartAngle(value);
}

bool TWipeWFan::UpdateMask() {
  const double half = Fraction() * kPi / 2;
  if (half == last_angle_) return false;
  last_angle_ = half;
  PaintPies(MaskRow(0), mask_width_, mask_height_,
            {{start_angle_ - half, 2 * half}, {start_angle_ + kPi - half, 2 * half}});
  hard_edge_ = true;
  return true;
}

// ---- circle ----

bool TWipeCircle::UpdateMask() {
  const int cx = Width() / 2, cy = Height() / 2;
  const double r = std::hypot(cx, cy);
  const int64_t radius =
      RoundEven(r * static_cast<double>(reverse_ ? duration_ - elapsed_ : elapsed_) / duration_);
  if (!ProgressChanged(radius)) return false;
  const uint8_t disc = reverse_ ? 0 : 255;
  FillMask(reverse_ ? 255 : 0);
  if (radius > 0) {
    ForEachDiscSpan(mask_width_, mask_height_, cx, cy, radius, [&](int y, int x0, int x1) {
      std::memset(MaskRow(y) + x0, disc, static_cast<size_t>(x1 - x0));
    });
  }
  hard_edge_ = true;
  return true;
}

// ---- blocks ----

std::vector<int32_t> SpiralOrder(int across, int down) {
  std::vector<int32_t> order;
  order.reserve(static_cast<size_t>(across) * static_cast<size_t>(down));
  int left = 0, right = across - 1, top = 0, bottom = down - 1;
  auto at = [&](int x, int y) { order.push_back(y * across + x); };
  while (left <= right && top <= bottom) {
    for (int x = left; x <= right; ++x) at(x, top);
    ++top;
    for (int y = top; y <= bottom; ++y) at(right, y);
    --right;
    if (top <= bottom) {
      for (int x = right; x >= left; --x) at(x, bottom);
      --bottom;
    }
    if (left <= right) {
      for (int y = bottom; y >= top; --y) at(left, y);
      ++left;
    }
  }
  return order;
}

int32_t BlockSequence::Build(int32_t p0, int width, int height,
                             const std::function<std::vector<int32_t>(int, int)>& order) {
  // At least one pixel, so that an empty screen never divides by zero.
  const int32_t side = std::max(1, std::min({std::max(p0, 10), width, height}));
  const int across = (width + side - 1) / side, down = (height + side - 1) / side;
  blocks_.clear();
  for (const int32_t index : order(across, down)) {
    blocks_.push_back(MakeRect((index % across) * side, (index / across) * side, side, side));
  }
  return side;
}

namespace {

// Paints the blocks that join the lit set [0, k] (or [k, N) when reversed) since the last change.
bool PaintBlocks(BlockSequence& sequence, bool reversed, int64_t k,
                 const std::function<void(const Rect&)>& paint) {
  const auto& blocks = sequence.blocks();
  if (!reversed) {
    for (int64_t i = sequence.last + 1; i <= k; ++i) paint(blocks[static_cast<size_t>(i)]);
    sequence.last = std::max(sequence.last, k);
  } else {
    for (int64_t i = k; i < sequence.last; ++i) paint(blocks[static_cast<size_t>(i)]);
    sequence.last = std::min(sequence.last, k);
  }
  return true;
}

}  // namespace

void TWipeBlockCoil::PrepareEffect() {
  TWipeMask::PrepareEffect();
  params_[0] = sequence_.Build(params_[0], Width(), Height(), SpiralOrder);
  sequence_.last = reverse_ ? static_cast<int64_t>(sequence_.blocks().size()) : -1;
  hard_edge_ = true;
}

bool TWipeBlockCoil::UpdateMask() {
  const auto n = static_cast<int64_t>(sequence_.blocks().size());
  if (n == 0) return false;
  const int64_t k = (n - 1) * (reverse_ ? duration_ - elapsed_ : elapsed_) / duration_;
  if (!ProgressChanged(k)) return false;
  return PaintBlocks(sequence_, reverse_, k, [&](const Rect& r) { FillMaskRect(r, 255); });
}

void TWipeBlockRandom::PrepareEffect() {
  TWipeMask::PrepareEffect();
  params_[0] = sequence_.Build(params_[0], Width(), Height(), [&](int across, int down) {
    const int32_t n = across * down;
    RemainingPicker picker(n);
    std::vector<int32_t> order;
    order.reserve(static_cast<size_t>(n));
    while (picker.remaining() > 0) order.push_back(picker.Take(Random().Below(picker.remaining())));
    return order;
  });
  sequence_.last = -1;
  hard_edge_ = true;
}

bool TWipeBlockRandom::UpdateMask() {
  const auto n = static_cast<int64_t>(sequence_.blocks().size());
  if (n == 0) return false;
  const int64_t k = Progress(n - 1);
  if (!ProgressChanged(k)) return false;
  return PaintBlocks(sequence_, false, k, [&](const Rect& r) { FillMaskRect(r, 255); });
}

}  // namespace novu::transitions
