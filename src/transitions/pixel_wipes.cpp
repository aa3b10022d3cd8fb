#include "transitions/pixel_wipes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/pixel_rules.h"
#include "render/scan_hold.h"
#include "transitions/pixel_ops.h"
#include "transitions/rule_picture.h"

namespace novu::transitions {

// ---- spot light ----

namespace {

// One row of the spot light at progress p: with d = p - n, before the ring (d < 0) the old
// pixel, rising (d < 256) the old pixel plus grey d, falling (d < 512) the new pixel plus grey
// 511 - d, after it the new pixel.
void SpotRow32(uint32_t* out, const uint32_t* from, const uint32_t* to, const int32_t* dist, int n,
               int32_t p) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i channels = _mm_set1_epi32(0x00FFFFFF);
  const __m128i pv = _mm_set1_epi32(p);
  const __m128i c256 = _mm_set1_epi32(256), c512 = _mm_set1_epi32(512);
  const __m128i c511 = _mm_set1_epi32(511), minus1 = _mm_set1_epi32(-1);
  for (; x + 4 <= n; x += 4) {
    const __m128i d =
        _mm_sub_epi32(pv, _mm_loadu_si128(reinterpret_cast<const __m128i*>(dist + x)));
    const __m128i rising = _mm_cmplt_epi32(d, c256);
    const __m128i ring = _mm_and_si128(_mm_cmpgt_epi32(d, minus1), _mm_cmplt_epi32(d, c512));
    const __m128i level = _mm_and_si128(
        ring,
        _mm_or_si128(_mm_and_si128(rising, d), _mm_andnot_si128(rising, _mm_sub_epi32(c511, d))));
    const __m128i grey =
        _mm_or_si128(level, _mm_or_si128(_mm_slli_epi32(level, 8), _mm_slli_epi32(level, 16)));
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(to + x));
    const __m128i base = _mm_or_si128(_mm_and_si128(rising, a), _mm_andnot_si128(rising, b));
    const __m128i lit = _mm_and_si128(_mm_adds_epu8(base, grey), channels);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                     _mm_or_si128(_mm_and_si128(ring, lit), _mm_andnot_si128(ring, base)));
  }
#endif
  for (; x < n; ++x) {
    const int32_t d = p - dist[x];
    if (d < 0) {
      out[x] = from[x];
    } else if (d < 256) {
      out[x] = AddGrey32(from[x], static_cast<uint32_t>(d));
    } else if (d < 512) {
      out[x] = AddGrey32(to[x], static_cast<uint32_t>(511 - d));
    } else {
      out[x] = to[x];
    }
  }
}

// One row of the rule flashes: i = grey + shift (shift = p - 255); the grey amount is the tent
// max(0, min(i - 256, 767 - i)) over the old pixel below i = 512 and the new one from there.
void ShadowRow32(uint32_t* out, const uint32_t* from, const uint32_t* to, const uint8_t* greys,
                 int n, int32_t shift, bool darken) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i channels = _mm_set1_epi32(0x00FFFFFF);
  const __m128i sv = _mm_set1_epi16(static_cast<int16_t>(shift));
  const __m128i c256 = _mm_set1_epi16(256), c767 = _mm_set1_epi16(767), c511 = _mm_set1_epi16(511);
  for (; x + 4 <= n; x += 4) {
    int32_t g4;
    std::memcpy(&g4, greys + x, 4);
    const __m128i i = _mm_add_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(g4), zero), sv);
    const __m128i amount16 =
        _mm_max_epi16(zero, _mm_min_epi16(_mm_sub_epi16(i, c256), _mm_sub_epi16(c767, i)));
    const __m128i fresh16 = _mm_cmpgt_epi16(i, c511);
    const __m128i amount = _mm_unpacklo_epi16(amount16, zero);
    const __m128i fresh = _mm_unpacklo_epi16(fresh16, fresh16);
    const __m128i grey =
        _mm_or_si128(amount, _mm_or_si128(_mm_slli_epi32(amount, 8), _mm_slli_epi32(amount, 16)));
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(to + x));
    const __m128i base = _mm_or_si128(_mm_and_si128(fresh, b), _mm_andnot_si128(fresh, a));
    const __m128i r = darken ? _mm_subs_epu8(base, grey) : _mm_adds_epu8(base, grey);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_and_si128(r, channels));
  }
#endif
  for (; x < n; ++x) {
    const int32_t i = greys[x] + shift;
    const auto amount = static_cast<uint32_t>(std::max(0, std::min(i - 256, 767 - i)));
    const uint32_t base = i >= 512 ? to[x] : from[x];
    out[x] = darken ? SubGrey32(base, amount) : AddGrey32(base, amount);
  }
}

}  // namespace

void TWipeSpot::SetReverse(bool reverse) {
  TCustomWipe::SetReverse(reverse);
  BuildDistances();
}

void TWipeSpot::BuildDistances() {
  const int w = Width(), h = Height(), cx = w / 2, cy = h / 2;
  const int64_t reach = RoundEven(std::hypot(cy, cx));
  range_ = reach + 512;
  distances_.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const auto n = static_cast<int32_t>(RoundEven(std::hypot(y - cy, x - cx)));
      distances_[static_cast<size_t>(y) * w + x] = reverse_ ? static_cast<int32_t>(reach) - n : n;
    }
  }
}

void TWipeSpot::DrawStep() {
  // Built when first needed, even if the direction was never set.
  if (distances_.size() != static_cast<size_t>(Width()) * static_cast<size_t>(Height())) {
    BuildDistances();
  }
  const int64_t p = Progress(range_);
  const int w = Width(), h = Height();
  render::ScanHold hold_target(target_), hold_from(from_), hold_to(to_);
  if (PackedTrio(target_, from_, to_)) {
    const Rows32 t = RowsOf32(target_), f = RowsOf32(from_), n = RowsOf32(to_);
    for (int y = 0; y < h; ++y) {
      SpotRow32(t.Row(y), f.Row(y), n.Row(y), &distances_[static_cast<size_t>(y) * w], w,
                static_cast<int32_t>(p));
    }
    return;
  }
  const render::PixelFormat& format = target_.Format();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int64_t d = p - distances_[static_cast<size_t>(y) * w + x];
      uint32_t out;
      if (d < 0) {
        out = from_.GetPixel(x, y);
      } else if (d < 256) {
        out = render::rules::AddSaturate(format, from_.GetPixel(x, y), Grey(static_cast<int>(d)));
      } else if (d < 512) {
        out =
            render::rules::AddSaturate(format, to_.GetPixel(x, y), Grey(static_cast<int>(511 - d)));
      } else {
        out = to_.GetPixel(x, y);
      }
      target_.SetPixel(x, y, out);
    }
  }
}

// ---- ripple ----

std::vector<int32_t> RippleProfile(int width, int height, int32_t amplitude) {
  const int length = (std::min(width / 2, height / 2) * 2) / 3;
  std::vector<int32_t> profile(static_cast<size_t>(std::max(length, 0)), 0);
  const int tooth = length / 4;
  if (tooth == 0) return profile;  // too small for teeth: flat
  for (int i = 0; i < length; ++i) {
    profile[static_cast<size_t>(i)] =
        static_cast<int32_t>((static_cast<int64_t>(i % tooth) * amplitude) / tooth);
  }
  return profile;
}

TWipeRipple::TWipeRipple(render::TCustomDIBX& target, const render::TCustomDIBX& from,
                         const render::TCustomDIBX& to)
    : TCustomWipe(target, from, to) {
  const int w = Width(), h = Height();
  quadrant_width_ = (w + 1) / 2;
  quadrant_height_ = (h + 1) / 2;
  const size_t size = static_cast<size_t>(quadrant_width_) * static_cast<size_t>(quadrant_height_);
  distance_.resize(size);
  direction_.resize(size);
  for (int y = 0; y < quadrant_height_; ++y) {
    for (int x = 0; x < quadrant_width_; ++x) {
      const double dx = x - (w - 1) / 2.0, dy = y - (h - 1) / 2.0;
      const double length = std::hypot(dx, dy);
      const size_t i = static_cast<size_t>(y) * quadrant_width_ + x;
      distance_[i] = static_cast<int32_t>(RoundEven(length));
      direction_[i].cos16 = length > 0 ? static_cast<int32_t>(RoundEven(dx / length * 65536)) : 0;
      direction_[i].sin16 = length > 0 ? static_cast<int32_t>(RoundEven(dy / length * 65536)) : 0;
    }
  }
  BuildProfile();
}

void TWipeRipple::SetParam(int index, int32_t value) {
  TCustomWipe::SetParam(index, value);
  if (index == 0) BuildProfile();
}

void TWipeRipple::BuildProfile() {
  profile_ = RippleProfile(Width(), Height(), params_[0]);
}

// The new picture sampled at radius d + profile[k] along the pixel's direction (the mirrored
// signs for pixels outside the top-left quadrant), or the new pixel itself outside the picture.
uint32_t TWipeRipple::Sample(int x, int y, size_t quadrant_index, bool flip_x, bool flip_y,
                             int64_t k) const {
  const int w = Width(), h = Height();
  const int64_t radius = distance_[quadrant_index] + profile_[static_cast<size_t>(k)];
  const Direction& dir = direction_[quadrant_index];
  const int64_t c = flip_x ? -dir.cos16 : dir.cos16;
  const int64_t s = flip_y ? -dir.sin16 : dir.sin16;
  const int64_t sx = (static_cast<int64_t>(w - 1) * 32768 + radius * c + 32768) >> 16;
  const int64_t sy = (static_cast<int64_t>(h - 1) * 32768 + radius * s + 32768) >> 16;
  if (sx >= 0 && sx < w && sy >= 0 && sy < h) {
    return to_.GetPixel(static_cast<int>(sx), static_cast<int>(sy));
  }
  return to_.GetPixel(x, y);
}

void TWipeRipple::DrawStep() {
  const int w = Width(), h = Height();
  const auto length = static_cast<int64_t>(profile_.size());
  const int64_t p = Progress(RoundEven(std::hypot(h / 2, w / 2)) + length);
  render::ScanHold hold_target(target_), hold_from(from_), hold_to(to_);
  if (PackedTrio(target_, from_, to_)) return DrawPacked(p);
  // Every pixel is the mirror image of one of the top-left quadrant, whose direction it takes
  // with the mirrored signs. Outside the wave front the old picture, inside it the new one.
  for (int y = 0; y < h; ++y) {
    const bool flip_y = y >= quadrant_height_;
    const size_t row = static_cast<size_t>(flip_y ? h - 1 - y : y) * quadrant_width_;
    for (int x = 0; x < w; ++x) {
      const bool flip_x = x >= quadrant_width_;
      const size_t i = row + static_cast<size_t>(flip_x ? w - 1 - x : x);
      const int64_t k = distance_[i] + (length - 1) - p;
      target_.SetPixel(x, y,
                       k > length - 1 ? from_.GetPixel(x, y)
                       : k < 0        ? to_.GetPixel(x, y)
                                      : Sample(x, y, i, flip_x, flip_y, k));
    }
  }
}

// 32-bit pictures. Along a half row the distance from the centre only falls (left half) or only
// rises (right half), so each half is at most three runs: the old picture, the wave, the new
// picture. The two outer runs are copied whole; the wave samples the new picture.
void TWipeRipple::DrawPacked(int64_t p) {
  const int w = Width(), h = Height();
  const auto length = static_cast<int64_t>(profile_.size());
  const Rows32 t = RowsOf32(target_), f = RowsOf32(from_), n = RowsOf32(to_);
  const int64_t centre_x16 = static_cast<int64_t>(w - 1) * 32768 + 32768;
  const int64_t centre_y16 = static_cast<int64_t>(h - 1) * 32768 + 32768;
  // k of a pixel is its place on the wave: above length - 1 the wave has not reached it, below
  // 0 it has passed.
  const int64_t shift = (length - 1) - p;
  for (int y = 0; y < h; ++y) {
    const bool flip_y = y >= quadrant_height_;
    const size_t row = static_cast<size_t>(flip_y ? h - 1 - y : y) * quadrant_width_;
    const int32_t* distance = distance_.data() + row;
    const Direction* direction = direction_.data() + row;
    uint32_t* out = t.Row(y);
    const uint32_t* old_row = f.Row(y);
    const uint32_t* new_row = n.Row(y);
    const int64_t sin_sign = flip_y ? -1 : 1;
    // Pixels [x0, x1) of the row, mirrored onto quadrant columns by `column(x)`.
    auto draw_wave = [&](int x0, int x1, auto column, int64_t cos_sign) {
      for (int x = x0; x < x1; ++x) {
        const size_t q = column(x);
        const int64_t k = distance[q] + shift;
        const int64_t radius = distance[q] + profile_[static_cast<size_t>(k)];
        const int64_t sx = (centre_x16 + radius * cos_sign * direction[q].cos16) >> 16;
        const int64_t sy = (centre_y16 + radius * sin_sign * direction[q].sin16) >> 16;
        out[x] = static_cast<uint64_t>(sx) < static_cast<uint64_t>(w) &&
                         static_cast<uint64_t>(sy) < static_cast<uint64_t>(h)
                     ? n.Row(static_cast<int>(sy))[sx]
                     : new_row[x];
      }
    };
    auto copy = [&](const uint32_t* from_row, int x0, int x1) {
      if (x1 > x0) std::memcpy(out + x0, from_row + x0, static_cast<size_t>(x1 - x0) * 4);
    };
    auto not_reached = [&](size_t q) { return distance[q] + shift > length - 1; };
    auto passed = [&](size_t q) { return distance[q] + shift < 0; };

    // Left half, towards the centre: old, wave, new.
    const int half = std::min(quadrant_width_, w);
    auto left = [](int x) { return static_cast<size_t>(x); };
    int a = 0;
    while (a < half && not_reached(left(a))) ++a;
    int b = a;
    while (b < half && !passed(left(b))) ++b;
    copy(old_row, 0, a);
    draw_wave(a, b, left, 1);
    copy(new_row, b, half);

    // Right half, away from the centre: new, wave, old.
    auto right = [w](int x) { return static_cast<size_t>(w - 1 - x); };
    int c = half;
    while (c < w && passed(right(c))) ++c;
    int d = c;
    while (d < w && !not_reached(right(d))) ++d;
    copy(new_row, half, c);
    draw_wave(c, d, right, -1);
    copy(old_row, d, w);
  }
}

// ---- rule-image flashes ----

void TWipeShadowWhite::PrepareEffect() {
  greys_ = RuleGreys(context_, rule_name_, reverse_, Width(), Height());
}

void TWipeShadowWhite::DrawStep() {
  const int64_t p = Progress(768) + 255;
  int32_t levels[256];
  for (int grey = 0; grey < 256; ++grey) levels[grey] = ShadowLevel(p + grey - 255);
  const int w = Width(), h = Height();
  const bool darkens = Darkens();
  render::ScanHold hold_target(target_), hold_from(from_), hold_to(to_);
  if (PackedTrio(target_, from_, to_)) {
    const Rows32 t = RowsOf32(target_), f = RowsOf32(from_), n = RowsOf32(to_);
    for (int y = 0; y < h; ++y) {
      ShadowRow32(t.Row(y), f.Row(y), n.Row(y), &greys_[static_cast<size_t>(y) * w], w,
                  static_cast<int32_t>(p - 255), darkens);
    }
    return;
  }
  const render::PixelFormat& format = target_.Format();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int32_t v = levels[greys_[static_cast<size_t>(y) * w + x]];
      const uint32_t base = v <= 255 ? from_.GetPixel(x, y) : to_.GetPixel(x, y);
      const uint32_t grey = Grey(v <= 255 ? v : 511 - v);
      target_.SetPixel(x, y,
                       darkens ? render::rules::SubSaturate(format, base, grey)
                               : render::rules::AddSaturate(format, base, grey));
    }
  }
}

}  // namespace novu::transitions
