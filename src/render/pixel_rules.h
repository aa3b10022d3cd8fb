#pragma once
// The per-pixel rules of every drawing operation, written plainly. This is the reference the
// fast row loops are checked against; keep it obvious rather than quick.
//
// All blends truncate: Blend(d, s, w) = ((255 - w) * d + w * s) >> 8 per channel, so weight 255
// turns 255 over 0 into 254. Add(d, s, w) = min(max, d + ((w * s) >> 8)).
#include <algorithm>
#include <cstdint>

#include "render/pixel_format.h"

namespace novu::render {

enum class Rule : uint8_t {
  Copy,         // Draw: s, skipping the key
  Masked,       // DrawMasked: m = 255 copies, else blends by m
  Alpha,        // DrawAlpha: constant blend, skipping the key and equal pixels
  AlphaMasked,  // DrawAlphaMasked: blend by alpha × mask
  Add,          // DrawAdd: additive
  AddMasked,    // DrawAddMasked
  MaskColor,    // DrawMaskColor: paints params.colour through the mask
  Stretch,      // StretchDraw: alpha 255 copies, below blends
  StretchAdd,   // StretchDrawAdd
  Rotate,       // DrawRotate: by alpha code, blends equal pixels too
  ZoomTile,     // ZoomTile: by alpha code
  Fill,         // FillRect, Clear
  BlendFill,    // BlendRect
  AddFill,      // AddRect
  SubFill,      // SubRect
};

constexpr bool RuleUsesMask(Rule r) {
  return r == Rule::Masked || r == Rule::AlphaMasked || r == Rule::AddMasked ||
         r == Rule::MaskColor;
}

struct RuleParams {
  int alpha = 255;  // weight 1-255, or an alpha code for Rotate and ZoomTile
  bool use_key = false;
  uint32_t key = 0;
  uint32_t colour = 0;  // raw colour of fills and MaskColor
};

namespace rules {

inline uint32_t Blend(const PixelFormat& f, uint32_t d, uint32_t s, uint32_t w) {
  uint32_t out = 0;
  for (const ChannelLayout* ch : {&f.red, &f.green, &f.blue}) {
    out |= (((255 - w) * ch->Get(d) + w * ch->Get(s)) >> 8) << ch->shift;
  }
  return out;
}

inline uint32_t Add(const PixelFormat& f, uint32_t d, uint32_t s, uint32_t w) {
  uint32_t out = 0;
  for (const ChannelLayout* ch : {&f.red, &f.green, &f.blue}) {
    out |= std::min(ch->Max(), ch->Get(d) + ((w * ch->Get(s)) >> 8)) << ch->shift;
  }
  return out;
}

inline uint32_t AddSaturate(const PixelFormat& f, uint32_t d, uint32_t c) {
  uint32_t out = 0;
  for (const ChannelLayout* ch : {&f.red, &f.green, &f.blue}) {
    out |= std::min(ch->Max(), ch->Get(d) + ch->Get(c)) << ch->shift;
  }
  return out;
}

inline uint32_t SubSaturate(const PixelFormat& f, uint32_t d, uint32_t c) {
  uint32_t out = 0;
  for (const ChannelLayout* ch : {&f.red, &f.green, &f.blue}) {
    const uint32_t a = ch->Get(d), b = ch->Get(c);
    out |= (a > b ? a - b : 0) << ch->shift;
  }
  return out;
}

// Weight of alpha × mask. The 32-bit loops use alpha itself where the mask is opaque; the
// 15/16-bit and per-pixel loops always scale.
inline uint32_t MaskedWeight(DepthClass c, uint32_t alpha, uint32_t m) {
  if (c == DepthClass::Packed32 && m == 255) return alpha;
  return (alpha * m) >> 8;
}

inline uint32_t MaskColorWeight(DepthClass c, uint32_t alpha, uint32_t m) {
  if (c == DepthClass::PerPixel) return (alpha * m) >> 8;
  if (alpha >= 255) return m;
  return MaskedWeight(c, alpha, m);
}

// The per-pixel loops of 8 and 24 bits skip equal pixels only in DrawAlpha and BlendRect.
inline bool SkipsEqual(DepthClass c) {
  return c != DepthClass::PerPixel;
}

// Applies `rule` to destination d with source s and mask value m. Returns false when the pixel
// is left alone; otherwise stores the new destination value in `out`. `p.alpha` is already in
// range (1-255 for weights; 1-511 for alpha codes).
inline bool Apply(Rule rule, const RuleParams& p, const PixelFormat& f, uint32_t d, uint32_t s,
                  uint32_t m, uint32_t& out) {
  const DepthClass cls = f.Class();
  const uint32_t alpha = static_cast<uint32_t>(p.alpha);
  const bool keyed = p.use_key && s == p.key;
  switch (rule) {
    case Rule::Copy:
      if (keyed) return false;
      out = s;
      return true;
    case Rule::Masked:
      if (m == 0) return false;
      if (m == 255) {
        out = s;
        return true;
      }
      if (SkipsEqual(cls) && s == d) return false;
      out = Blend(f, d, s, m);
      return true;
    case Rule::Alpha:
      if (keyed || s == d) return false;
      out = Blend(f, d, s, alpha);
      return true;
    case Rule::AlphaMasked:
      if (m == 0 || (SkipsEqual(cls) && s == d)) return false;
      out = Blend(f, d, s, MaskedWeight(cls, alpha, m));
      return true;
    case Rule::Add:
      if (keyed) return false;
      out = f.bit_count == 8 ? std::min(255u, d + s) : Add(f, d, s, alpha);
      return true;
    case Rule::AddMasked:
      if (m == 0) return false;
      out = Add(f, d, s, MaskedWeight(cls, alpha, m));
      return true;
    case Rule::MaskColor:
      if (m == 0 || (SkipsEqual(cls) && d == p.colour)) return false;
      out = Blend(f, d, p.colour, MaskColorWeight(cls, alpha, m));
      return true;
    case Rule::Stretch:
      if (keyed) return false;
      if (alpha >= 255) {
        out = s;
        return true;
      }
      if (SkipsEqual(cls) && s == d) return false;
      out = Blend(f, d, s, alpha);
      return true;
    case Rule::StretchAdd:
      if (keyed) return false;
      out = Add(f, d, s, alpha);
      return true;
    case Rule::Rotate:
      if (keyed) return false;
      if (alpha == 255) {
        out = s;
      } else if (alpha > 255) {
        out = Add(f, d, s, std::min(alpha - 256, 255u));
      } else {
        out = Blend(f, d, s, alpha);
      }
      return true;
    case Rule::ZoomTile:
      if (keyed) return false;
      if (alpha == 255) {
        out = s;
      } else if (alpha > 255) {
        out = Add(f, d, s, std::min(alpha - 256, 255u));
      } else {
        if (SkipsEqual(cls) && s == d) return false;
        out = Blend(f, d, s, alpha);
      }
      return true;
    case Rule::Fill:
      out = p.colour;
      return true;
    case Rule::BlendFill:
      if (d == p.colour) return false;
      out = Blend(f, d, p.colour, alpha);
      return true;
    case Rule::AddFill:
      out = AddSaturate(f, d, p.colour);
      return true;
    case Rule::SubFill:
      out = SubSaturate(f, d, p.colour);
      return true;
  }
  return false;
}

}  // namespace rules
}  // namespace novu::render
