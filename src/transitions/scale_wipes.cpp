#include "transitions/scale_wipes.h"

#include <algorithm>
#include <cmath>

namespace novu::transitions {

int MosaicFactor(int b) {
  if (b <= 511) return 263 - (b / 2) * 15 / 16;
  return ((b - 512) / 2) * 15 / 16 + 24;
}

TWipeMosaic::TWipeMosaic(render::TCustomDIBX& target, const render::TCustomDIBX& from,
                         const render::TCustomDIBX& to)
    : TCustomWipe(target, from, to) {
  scratch_.SetSize(std::max(target.Width(), 1), std::max(target.Height(), 1), target.BitCount());
}

void TWipeMosaic::DrawStep() {
  const auto b = static_cast<int>(Progress(1023));
  const int f = MosaicFactor(b);
  const int w = std::max(1, ((Width() / 4) * f) >> 8);
  const int h = std::max(1, (f * (Height() / 4)) >> 8);
  const Rect small{0, 0, w, h};
  const Rect from_all{0, 0, from_.Width(), from_.Height()};
  const Rect to_all{0, 0, to_.Width(), to_.Height()};
  if (b <= 767) scratch_.StretchDraw(small, from_, 255, {}, from_all);
  if (b >= 256 && b <= 511) {
    scratch_.StretchDraw(small, to_, (b - 256) / 4, {}, to_all);
  } else if (b >= 512 && b <= 767) {
    scratch_.StretchDraw(small, to_, (b - 256) / 2, {}, to_all);
  } else if (b > 767) {
    scratch_.StretchDraw(small, to_, 255, {}, to_all);
  }
  target_.StretchDraw(Whole(), scratch_, 255, {}, small);
}

namespace {

// Draws `source` about its centre at the target's centre with alpha code and zoom z.
void DrawTurned(render::TCustomDIBX& target, const render::TCustomDIBX& source, int z, int angle) {
  target.DrawRotate(target.Width() / 2, target.Height() / 2, z, {}, angle, source.Height() / 2,
                    source.Width() / 2, Rect{0, 0, source.Width(), source.Height()}, source, z, z);
}

}  // namespace

void TWipeSmall::DrawStep() {
  const double left = static_cast<double>(duration_ - elapsed_ - 1) / duration_;
  const auto z = static_cast<int>(RoundEven(left * 255));
  const int turn = reverse_ ? -params_[0] : params_[0];
  target_.Assign(to_);
  DrawTurned(target_, from_, z,
             static_cast<int>(RoundEven(static_cast<double>(turn) * elapsed_ / duration_)));
}

void TWipeBig::DrawStep() {
  const double left = static_cast<double>(duration_ - elapsed_ - 1) / duration_;
  const auto z = static_cast<int>(RoundEven(Fraction() * 255));
  const int turn = reverse_ ? -params_[0] : params_[0];
  target_.Assign(from_);
  DrawTurned(target_, to_, z, static_cast<int>(RoundEven(turn * left)));
}

void TWipeZoomin::DrawStep() {
  const int w = Width(), h = Height();
  const double c = 2.0 * elapsed_ / duration_;
  const bool first_half = c <= 1;
  const render::TCustomDIBX& source = first_half ? from_ : to_;
  const double scale = first_half ? 1 - c : c - 1;
  const double weight = first_half ? c : 2 - c;
  const auto ww = static_cast<int32_t>(std::max<int64_t>(1, RoundEven(w * scale)));
  const auto wh = static_cast<int32_t>(std::max<int64_t>(1, RoundEven(h * scale)));
  auto place = [&](int32_t point, int32_t size, int32_t window) {
    int64_t at =
        RoundEven((static_cast<double>(point) - size / 2) * weight) + size / 2 - window / 2;
    if (at < 0) at = 0;
    if (at + window > size) at = size - window;
    return static_cast<int32_t>(at);
  };
  const int32_t x = place(params_[0], w, ww), y = place(params_[1], h, wh);
  target_.StretchDraw(Whole(), source, 255, {}, MakeRect(x, y, ww, wh));
}

}  // namespace novu::transitions
