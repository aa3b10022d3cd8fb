#pragma once
// Raw-pixel arithmetic shared by the per-pixel effects and the mask composition: a packed path
// for 32-bit pictures and a per-pixel path through the pixel format for every other depth. Both
// give the per-channel results of the drawing rules (Blend, saturating add and subtract).
#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "render/custom_dibx.h"
#include "render/pixel_rules.h"

namespace novu::transitions {

// ((255 - m) · from + m · to) >> 8 per channel of a 32-bit pixel (the two red/blue channels in
// one product: each partial sum stays below 2^16).
inline uint32_t Blend32(uint32_t from, uint32_t to, uint32_t m) {
  const uint32_t rb = (((from & 0xFF00FFu) * (255 - m) + (to & 0xFF00FFu) * m) >> 8) & 0xFF00FFu;
  const uint32_t g = (((from & 0xFF00u) * (255 - m) + (to & 0xFF00u) * m) >> 8) & 0xFF00u;
  return rb | g;
}

// Grey level v added to (subtracted from) every channel, saturating.
inline uint32_t AddGrey32(uint32_t p, uint32_t v) {
  const uint32_t r = std::min(255u, ((p >> 16) & 0xFFu) + v);
  const uint32_t g = std::min(255u, ((p >> 8) & 0xFFu) + v);
  const uint32_t b = std::min(255u, (p & 0xFFu) + v);
  return (r << 16) | (g << 8) | b;
}

inline uint32_t SubGrey32(uint32_t p, uint32_t v) {
  const uint32_t r = (p >> 16) & 0xFFu, g = (p >> 8) & 0xFFu, b = p & 0xFFu;
  return ((r > v ? r - v : 0) << 16) | ((g > v ? g - v : 0) << 8) | (b > v ? b - v : 0);
}

// One row of the mask composition: m = 0 gives the from pixel, 255 the to pixel, anything else
// Blend32. Four pixels at a time where SSE2 is there (16-bit lanes hold each partial sum).
inline void BlendRow32(uint32_t* out, const uint32_t* from, const uint32_t* to, const uint8_t* m,
                       int n) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi32(255);
  const __m128i channels = _mm_set1_epi32(0x00FFFFFF);
  const __m128i max16 = _mm_set1_epi16(255);
  for (; x + 4 <= n; x += 4) {
    int32_t m4;
    std::memcpy(&m4, m + x, 4);
    const __m128i m16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(m4), zero);  // m0..m3 as u16
    const __m128i m32 = _mm_unpacklo_epi16(m16, zero);
    const __m128i pairs = _mm_unpacklo_epi16(m16, m16);     // m0 m0 m1 m1 m2 m2 m3 m3
    const __m128i w_lo = _mm_unpacklo_epi32(pairs, pairs);  // m0 × 4, m1 × 4
    const __m128i w_hi = _mm_unpackhi_epi32(pairs, pairs);  // m2 × 4, m3 × 4
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(to + x));
    auto half = [&](__m128i a16, __m128i b16, __m128i w) {
      return _mm_srli_epi16(
          _mm_add_epi16(_mm_mullo_epi16(a16, _mm_sub_epi16(max16, w)), _mm_mullo_epi16(b16, w)), 8);
    };
    const __m128i lo = half(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), w_lo);
    const __m128i hi = half(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), w_hi);
    const __m128i blended = _mm_and_si128(_mm_packus_epi16(lo, hi), channels);
    const __m128i is0 = _mm_cmpeq_epi32(m32, zero), is255 = _mm_cmpeq_epi32(m32, full);
    const __m128i result =
        _mm_or_si128(_mm_or_si128(_mm_and_si128(is0, a), _mm_and_si128(is255, b)),
                     _mm_andnot_si128(_mm_or_si128(is0, is255), blended));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), result);
  }
#endif
  for (; x < n; ++x) {
    const uint32_t v = m[x];
    out[x] = v == 0 ? from[x] : v == 255 ? to[x] : Blend32(from[x], to[x], v);
  }
}

// One row of grey levels (given as v · 0x010101) added to or subtracted from base pixels,
// saturating per channel.
inline void GreyRow32(uint32_t* out, const uint32_t* base, const uint32_t* grey, int n,
                      bool subtract) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i channels = _mm_set1_epi32(0x00FFFFFF);
  for (; x + 4 <= n; x += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + x));
    const __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grey + x));
    const __m128i r = subtract ? _mm_subs_epu8(p, g) : _mm_adds_epu8(p, g);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_and_si128(r, channels));
  }
#endif
  for (; x < n; ++x) {
    const uint32_t v = grey[x] & 0xFFu;
    out[x] = subtract ? SubGrey32(base[x], v) : AddGrey32(base[x], v);
  }
}

// Row access to a 32-bit picture; valid only when `ok`.
struct Rows32 {
  uint8_t* top = nullptr;
  ptrdiff_t pitch = 0;
  bool ok = false;

  uint32_t* Row(int y) const { return reinterpret_cast<uint32_t*>(top + pitch * y); }
};

inline Rows32 RowsOf32(const render::TCustomDIBX& s) {
  Rows32 r;
  if (s.BitCount() != 32 || s.IsEmpty()) return r;
  r.top = s.ScanPointer(0, 0);
  r.pitch = s.Pitch();
  r.ok = r.top != nullptr;
  return r;
}

// True when target, from and to are 32-bit pictures of one size that the packed loops can
// address directly.
inline bool PackedTrio(const render::TCustomDIBX& target, const render::TCustomDIBX& from,
                       const render::TCustomDIBX& to) {
  auto same = [&](const render::TCustomDIBX& s) {
    return s.Width() == target.Width() && s.Height() == target.Height() && RowsOf32(s).ok;
  };
  return same(target) && same(from) && same(to);
}

}  // namespace novu::transitions
