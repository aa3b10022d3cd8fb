#include "transitions/move_wipes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "render/blit_plan.h"
#include "render/scan_hold.h"
#include "transitions/pixel_ops.h"
#include "transitions/remaining_picker.h"

namespace novu::transitions {
namespace {

using render::TCustomDIBX;

// The band [a0, a1) along the moving axis over the whole other axis.
Rect Band(bool vertical, int64_t a0, int64_t a1, int w, int h) {
  const auto b0 = static_cast<int32_t>(a0), b1 = static_cast<int32_t>(a1);
  return vertical ? Rect{0, b0, w, b1} : Rect{b0, 0, b1, h};
}

void DrawAt(TCustomDIBX& target, bool vertical, int64_t at, Rect src, const TCustomDIBX& source) {
  const auto a = static_cast<int>(at);
  target.Draw(vertical ? 0 : a, vertical ? a : 0, {}, src, source);
}

void Scroll(TCustomDIBX& target, const TCustomDIBX& from, const TCustomDIBX& to, bool vertical,
            bool reverse, int64_t a) {
  const int w = target.Width(), h = target.Height();
  const int64_t n = vertical ? h : w;
  const Rect all{0, 0, w, h};
  DrawAt(target, vertical, reverse ? a : -a, all, from);
  DrawAt(target, vertical, reverse ? a - n : n - a, all, to);
}

// The sudare and rubber step: the source picture S rolled up to position a, with the strip of
// `strip` columns (rows) from `strip_start` smeared over the rolled part.
struct Roll {
  const TCustomDIBX* source;
  int64_t a;
};

Roll RollAt(const TCustomDIBX& from, const TCustomDIBX& to, int64_t n, int64_t a) {
  if (a < n) return {&from, a};
  return {&to, 2 * n - a - 1};
}

void DrawRoll(TCustomDIBX& target, bool vertical, bool reverse, const Roll& roll,
              int64_t strip_start, int64_t strip) {
  const int w = target.Width(), h = target.Height();
  const int64_t n = vertical ? h : w;
  const TCustomDIBX& s = *roll.source;
  const int64_t a = roll.a;
  const Rect strip_rect = Band(vertical, strip_start, strip_start + strip, w, h);
  if (!reverse) {
    target.StretchDraw(Band(vertical, 0, a + 1, w, h), s, 255, {}, strip_rect);
    if (a + 1 < n) DrawAt(target, vertical, a + 1, Band(vertical, a + 1, n, w, h), s);
  } else {
    const int64_t l = n - a - 1;
    target.StretchDraw(Band(vertical, l, n, w, h), s, 255, {}, strip_rect);
    if (l > 0) DrawAt(target, vertical, 0, Band(vertical, 0, l, w, h), s);
  }
}

void Sudare(TCustomDIBX& target, const TCustomDIBX& from, const TCustomDIBX& to, bool vertical,
            bool reverse, int64_t e, int64_t d) {
  const int64_t n = vertical ? target.Height() : target.Width();
  const Roll roll = RollAt(from, to, n, (2 * n - 1) * e / d);
  DrawRoll(target, vertical, reverse, roll, reverse ? n - roll.a - 1 : roll.a, 1);
}

void Rubber(TCustomDIBX& target, const TCustomDIBX& from, const TCustomDIBX& to, bool vertical,
            bool reverse, int64_t e, int64_t d) {
  const int64_t n = vertical ? target.Height() : target.Width();
  const Roll roll = RollAt(from, to, n, (2 * n - 1) * e / d);
  const double swing = std::abs(static_cast<double>(e) - d / 2.0) / (d / 2.0);
  const double half = reverse ? (roll.a + 1) / 2.0 : roll.a / 2.0;
  const int64_t g = std::max<int64_t>(1, RoundEven(swing * half));
  const int64_t start = reverse ? n - roll.a - 1 : std::max<int64_t>(0, roll.a - g);
  DrawRoll(target, vertical, reverse, roll, start, g);
}

constexpr double kPi = std::numbers::pi;

// The card angle of line `index` of `count` (counted from the far end when reversed).
double TwistAngle(double phi, int index, int count, bool reverse) {
  const int at = reverse ? count - 1 - index : index;
  return phi - (static_cast<double>(at) / count) * (kPi / 2);
}

}  // namespace

void TWipeScrollH::DrawStep() {
  Scroll(target_, from_, to_, false, reverse_, Progress(Width()));
}

void TWipeScrollV::DrawStep() {
  Scroll(target_, from_, to_, true, reverse_, Progress(Height()));
}

void TWipeSudareH::DrawStep() {
  Sudare(target_, from_, to_, false, reverse_, elapsed_, duration_);
}

void TWipeSudareV::DrawStep() {
  Sudare(target_, from_, to_, true, reverse_, elapsed_, duration_);
}

void TWipeRubberH::DrawStep() {
  Rubber(target_, from_, to_, false, reverse_, elapsed_, duration_);
}

void TWipeRubberV::DrawStep() {
  Rubber(target_, from_, to_, true, reverse_, elapsed_, duration_);
}

void TWipeTwistH::DrawStep() {
  const int w = Width(), h = Height();
  const double phi = Fraction() * 1.5 * kPi;
  const uint32_t black = Grey(0);
  for (int y = 0; y < h; ++y) {
    const double theta = TwistAngle(phi, y, h, reverse_);
    if (theta < 0) continue;
    const Rect row{0, y, w, y + 1};
    if (theta >= kPi) {
      target_.Draw(0, y, {}, row, to_);
      continue;
    }
    target_.FillRect(row, black);
    const int64_t squeezed = RoundEven(std::cos(theta) * w);
    if (squeezed == 0) continue;
    const auto width = static_cast<int32_t>(std::abs(squeezed));
    target_.StretchDraw(MakeRect((w - width) / 2, y, width, 1), squeezed > 0 ? from_ : to_, 255, {},
                        row);
  }
}

// 32-bit pictures: the same picture row by row, each column sampled with the row positions of
// the scaled draw of its height (one plan per height), so that no column is walked on its own.
void TWipeTwistV::DrawPacked() {
  const int w = Width(), h = Height();
  const double phi = Fraction() * 1.5 * kPi;
  const uint32_t black = Grey(0);
  render::ScanHold hold_target(target_), hold_from(from_), hold_to(to_);
  const Rows32 t = RowsOf32(target_), f = RowsOf32(from_), n = RowsOf32(to_);
  // Per column: -1 keeps the column, -2 shows the new column, otherwise the card's height;
  // cards sample the row positions of the scaled draw of their height.
  std::vector<int32_t> size(static_cast<size_t>(w), -1), top(static_cast<size_t>(w), 0);
  std::vector<const uint8_t*> source(static_cast<size_t>(w), nullptr);
  std::vector<const int32_t*> rows(static_cast<size_t>(w), nullptr);
  std::vector<std::vector<int32_t>> plans(static_cast<size_t>(h) + 1);
  for (int x = 0; x < w; ++x) {
    const auto c = static_cast<size_t>(x);
    const double theta = TwistAngle(phi, x, w, reverse_);
    if (theta < 0) continue;
    if (theta >= kPi) {
      size[c] = -2;
      continue;
    }
    const int64_t squeezed = RoundEven(std::cos(theta) * h);
    const auto s = static_cast<int32_t>(std::min<int64_t>(std::abs(squeezed), h));
    top[c] = (h - s) / 2;
    std::vector<int32_t>& plan = plans[static_cast<size_t>(s)];
    if (s > 0 && plan.empty()) {
      if (const auto scaled = render::PlanScaled(Rect{0, 0, 1, h}, Rect{0, top[c], 1, top[c] + s},
                                                 Rect{0, 0, 1, h}, false, false)) {
        plan = scaled->rows;
      }
    }
    size[c] = static_cast<int32_t>(plan.size()) == s ? s : 0;
    rows[c] = plan.data();
    source[c] = (squeezed > 0 ? f : n).top + static_cast<ptrdiff_t>(x) * 4;
  }
  const ptrdiff_t pitch = f.pitch;
  for (int y = 0; y < h; ++y) {
    uint32_t* out = t.Row(y);
    const uint32_t* fresh = n.Row(y);
    for (int x = 0; x < w; ++x) {
      const auto c = static_cast<size_t>(x);
      const int32_t s = size[c];
      if (s == -1) continue;
      if (s == -2) {
        out[x] = fresh[x];
        continue;
      }
      const int32_t j = y - top[c];
      out[x] = j >= 0 && j < s ? *reinterpret_cast<const uint32_t*>(source[c] + pitch * rows[c][j])
                               : black;
    }
  }
}

void TWipeTwistV::DrawStep() {
  if (PackedTrio(target_, from_, to_)) return DrawPacked();
  const int w = Width(), h = Height();
  const double phi = Fraction() * 1.5 * kPi;
  const uint32_t black = Grey(0);
  // Runs of adjacent columns that look alike are drawn with one operation.
  int x = 0;
  while (x < w) {
    const double theta = TwistAngle(phi, x, w, reverse_);
    if (theta < 0) {
      ++x;
      continue;
    }
    if (theta >= kPi) {
      int end = x + 1;
      while (end < w && TwistAngle(phi, end, w, reverse_) >= kPi) ++end;
      target_.Draw(x, 0, {}, Rect{x, 0, end, h}, to_);
      x = end;
      continue;
    }
    const int64_t squeezed = RoundEven(std::cos(theta) * h);
    int end = x + 1;
    while (end < w) {
      const double next = TwistAngle(phi, end, w, reverse_);
      if (next < 0 || next >= kPi || RoundEven(std::cos(next) * h) != squeezed) break;
      ++end;
    }
    const Rect columns{x, 0, end, h};
    target_.FillRect(columns, black);
    if (squeezed != 0) {
      const auto height = static_cast<int32_t>(std::abs(squeezed));
      const int32_t top = (h - height) / 2;
      target_.StretchDraw(Rect{x, top, end, top + height}, squeezed > 0 ? from_ : to_, 255, {},
                          columns);
    }
    x = end;
  }
}

// ---- crack ----

int64_t CrackFallTime(int height) {
  int64_t tau = 0;
  while (CrackFall(tau) < height) ++tau;
  return tau;
}

void TWipeCrack::SetParam(int index, int32_t value) {
  if (index == 0) {
    TCustomWipe::SetParam(0, std::max(value, 16));
    BuildTiles();
  } else if (index == 1) {
    TCustomWipe::SetParam(1, std::max(value, 0));
    SetStarts();
  }
}

void TWipeCrack::BuildTiles() {
  const int t = params_[0];
  const int cols = (Width() + t - 1) / t, rows = (Height() + t - 1) / t;
  const int32_t count = std::max(cols, 0) * std::max(rows, 0);
  tiles_.clear();
  tiles_.reserve(static_cast<size_t>(count));
  RemainingPicker picker(count);
  while (picker.remaining() > 0) {
    const int32_t cell = picker.Take(Random().Below(picker.remaining()));
    TWipeCrackDraw tile;
    tile.column = cell % cols;
    tile.row = cell / cols;
    tile.drift = Random().Below(200) - 100;
    tiles_.push_back(tile);
  }
  fall_time_ = CrackFallTime(Height());
  SetStarts();
}

void TWipeCrack::SetStarts() {
  const int64_t interval = params_[1];
  for (size_t k = 0; k < tiles_.size(); ++k) {
    tiles_[k].start = static_cast<int64_t>(k) * interval;
    tiles_[k].gone = false;
  }
  span_ = tiles_.empty() ? 0 : static_cast<int64_t>(tiles_.size() - 1) * interval;
}

void TWipeCrack::DrawStep() {
  const int t = params_[0];
  const int w = Width(), h = Height();
  const int64_t p = Progress(fall_time_ + span_);
  target_.Assign(to_);
  auto cell = [&](const TWipeCrackDraw& tile) {
    const int32_t x = tile.column * t, y = tile.row * t;
    return Rect{x, y, std::min(x + t, w), std::min(y + t, h)};
  };
  for (const TWipeCrackDraw& tile : tiles_) {
    if (p < tile.start) {
      const Rect home = cell(tile);
      target_.Draw(home.left, home.top, {}, home, from_);
    }
  }
  for (auto it = tiles_.rbegin(); it != tiles_.rend(); ++it) {
    TWipeCrackDraw& tile = *it;
    if (tile.gone || p < tile.start) continue;
    const int64_t tau = p - tile.start;
    const Rect home = cell(tile);
    // Past the fall time every tile is below the screen, so the square stays small.
    const int64_t y = tau >= fall_time_ ? h : home.top + CrackFall(tau);
    if (y >= h) {
      tile.gone = true;
      continue;
    }
    const int64_t x = home.left + tau * tile.drift / 100;
    target_.Draw(static_cast<int>(std::clamp<int64_t>(x, -kCoordinateLimit, kCoordinateLimit)),
                 static_cast<int>(y), {}, home, from_);
  }
}

}  // namespace novu::transitions
