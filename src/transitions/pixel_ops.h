#pragma once
// Raw-pixel arithmetic shared by the per-pixel effects and the mask composition: a packed path
// for 32-bit pictures and a per-pixel path through the pixel format for every other depth. Both
// give the per-channel results of the drawing rules (Blend, saturating add and subtract).
#include <algorithm>
#include <cstdint>

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
