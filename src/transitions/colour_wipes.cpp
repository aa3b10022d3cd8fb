#include "transitions/colour_wipes.h"

#include <algorithm>

namespace novu::transitions {

void TWipeFade::DrawStep() {
  const double f = static_cast<double>(duration_ - elapsed_ - 1) / duration_;
  target_.Assign(from_);
  const auto x = static_cast<int>(RoundEven(params_[0] * f));
  const auto y = static_cast<int>(RoundEven(params_[1] * f));
  target_.DrawAlpha(x, y, static_cast<int>(Progress(256)), false, false, false,
                    render::Rect{0, 0, to_.Width(), to_.Height()}, to_);
}

void TWipeWhite::DrawStep() {
  const auto v = static_cast<int>(Progress(511));
  if (v < 256) {
    target_.Assign(from_);
    target_.AddRect(Whole(), Grey(v));
  } else {
    target_.Assign(to_);
    target_.AddRect(Whole(), Grey(511 - v));
  }
}

void TWipeBlack::DrawStep() {
  const auto v = static_cast<int>(Progress(511));
  if (v < 256) {
    target_.Assign(from_);
    target_.SubRect(Whole(), Grey(v));
  } else {
    target_.Assign(to_);
    target_.SubRect(Whole(), Grey(511 - v));
  }
}

void TWipeFlash::DrawStep() {
  target_.Assign(to_);
  target_.AddRect(Whole(), Grey(255 - static_cast<int>(Progress(255))));
}

void MakeBlurredCopy(const render::TCustomDIBX& source, const render::TCustomDIBX& like, int radius,
                     render::TDIBX& out) {
  out.SetSize(std::max(like.Width(), 1), std::max(like.Height(), 1), like.BitCount());
  out.Assign(source);
  out.Surface().Blur(radius);
}

TWipeBlurWhite::TWipeBlurWhite(render::TCustomDIBX& target, const render::TCustomDIBX& from,
                               const render::TCustomDIBX& to)
    : TCustomWipe(target, from, to) {
  const int radius = std::min(Width(), Height()) / 20;
  MakeBlurredCopy(from, target, radius, blurred_from_);
  MakeBlurredCopy(to, target, radius, blurred_to_);
}

void TWipeBlurWhite::Wash(int v) {
  target_.AddRect(Whole(), Grey(v));
}

void TWipeBlurBlack::Wash(int v) {
  target_.SubRect(Whole(), Grey(v));
}

void TWipeBlurWhite::DrawStep() {
  const auto b = static_cast<int>(Progress(639));
  const render::Rect all{0, 0, blurred_from_.Width(), blurred_from_.Height()};
  if (b < 256) {
    target_.Assign(from_);
    target_.DrawAlpha(0, 0, b, false, false, false, all, blurred_from_);
  } else if (b < 320) {
    target_.Assign(blurred_from_);
    Wash((b - 256) * 4);
  } else if (b < 384) {
    target_.Assign(blurred_to_);
    Wash((383 - b) * 4);
  } else {
    target_.Assign(to_);
    target_.DrawAlpha(0, 0, 639 - b, false, false, false, all, blurred_to_);
  }
}

}  // namespace novu::transitions
