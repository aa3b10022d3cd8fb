#include "transitions/colour_wipes.h"

#include <algorithm>
#include <vector>

namespace novu::transitions {

void TWipeFade::DrawStep() {
  const double f = static_cast<double>(duration_ - elapsed_ - 1) / duration_;
  target_.Assign(from_);
  const auto x = static_cast<int>(RoundEven(params_[0] * f));
  const auto y = static_cast<int>(RoundEven(params_[1] * f));
  target_.DrawAlpha(x, y, static_cast<int>(Progress(256)), {},
                    Rect{0, 0, to_.Width(), to_.Height()}, to_);
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

namespace {

// Averages of every window [i - radius, i + radius] cut to [0, count) of a line read through
// `at`, written through `put`; the running sum adds the entering value and drops the leaving one.
template <typename At, typename Put>
void AverageLine(int count, int radius, At at, Put put) {
  uint64_t sum = 0;
  for (int k = 0; k <= std::min(radius, count - 1); ++k) sum += at(k);
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      if (i + radius < count) sum += at(i + radius);
      if (i - radius - 1 >= 0) sum -= at(i - radius - 1);
    }
    const int lo = std::max(0, i - radius), hi = std::min(count - 1, i + radius);
    put(i, static_cast<uint32_t>(sum / static_cast<uint64_t>(hi - lo + 1)));
  }
}

}  // namespace

void BoxBlur32(render::TDIBX& picture, int radius) {
  const int w = picture.Width(), h = picture.Height();
  if (radius <= 0 || w == 0 || h == 0) return;
  if (picture.BitCount() != 32) return picture.Surface().Blur(radius);
  radius = std::min(radius, std::max(w, h));
  render::TDIBSurface& dib = picture.Surface();
  const size_t size = static_cast<size_t>(w) * static_cast<size_t>(h);
  std::vector<uint32_t> plane(size), across(size);
  std::vector<uint64_t> column_sums(static_cast<size_t>(w));
  for (const int shift : {16, 8, 0}) {
    for (int y = 0; y < h; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(dib.ScanLine(y));
      uint32_t* line = &plane[static_cast<size_t>(y) * w];
      for (int x = 0; x < w; ++x) line[x] = (row[x] >> shift) & 0xFFu;
    }
    for (int y = 0; y < h; ++y) {
      const uint32_t* line = &plane[static_cast<size_t>(y) * w];
      uint32_t* out = &across[static_cast<size_t>(y) * w];
      AverageLine(
          w, radius, [&](int k) { return line[k]; }, [&](int i, uint32_t v) { out[i] = v; });
    }
    // Down the columns, all columns at once: one running sum per column.
    auto row_of = [&](int y) { return &across[static_cast<size_t>(y) * w]; };
    std::fill(column_sums.begin(), column_sums.end(), 0);
    for (int k = 0; k <= std::min(radius, h - 1); ++k) {
      for (int x = 0; x < w; ++x) column_sums[static_cast<size_t>(x)] += row_of(k)[x];
    }
    for (int y = 0; y < h; ++y) {
      if (y > 0) {
        if (y + radius < h) {
          for (int x = 0; x < w; ++x) column_sums[static_cast<size_t>(x)] += row_of(y + radius)[x];
        }
        if (y - radius - 1 >= 0) {
          for (int x = 0; x < w; ++x)
            column_sums[static_cast<size_t>(x)] -= row_of(y - radius - 1)[x];
        }
      }
      const auto count =
          static_cast<uint64_t>(std::min(h - 1, y + radius) - std::max(0, y - radius) + 1);
      auto* row = reinterpret_cast<uint32_t*>(dib.ScanLine(y));
      for (int x = 0; x < w; ++x) {
        const auto v = static_cast<uint32_t>(column_sums[static_cast<size_t>(x)] / count);
        row[x] = (row[x] & ~(0xFFu << shift)) | (v << shift);
      }
    }
  }
}

void MakeBlurredCopy(const render::TCustomDIBX& source, const render::TCustomDIBX& like, int radius,
                     render::TDIBX& out) {
  out.SetSize(std::max(like.Width(), 1), std::max(like.Height(), 1), like.BitCount());
  out.Assign(source);
  BoxBlur32(out, radius);
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
  const Rect all{0, 0, blurred_from_.Width(), blurred_from_.Height()};
  if (b < 256) {
    target_.Assign(from_);
    target_.DrawAlpha(0, 0, b, {}, all, blurred_from_);
  } else if (b < 320) {
    target_.Assign(blurred_from_);
    Wash((b - 256) * 4);
  } else if (b < 384) {
    target_.Assign(blurred_to_);
    Wash((383 - b) * 4);
  } else {
    target_.Assign(to_);
    target_.DrawAlpha(0, 0, 639 - b, {}, all, blurred_to_);
  }
}

}  // namespace novu::transitions
