#include "transitions/pixel_wipes.h"

#include <algorithm>
#include <cmath>

#include "render/pixel_rules.h"
#include "render/scan_hold.h"
#include "transitions/pixel_ops.h"
#include "transitions/rule_picture.h"

namespace novu::transitions {

// ---- spot light ----

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
      const int32_t* dist = &distances_[static_cast<size_t>(y) * w];
      uint32_t* out = t.Row(y);
      const uint32_t* a = f.Row(y);
      const uint32_t* b = n.Row(y);
      for (int x = 0; x < w; ++x) {
        const int64_t d = p - dist[x];
        if (d < 0) {
          out[x] = a[x];
        } else if (d < 256) {
          out[x] = AddGrey32(a[x], static_cast<uint32_t>(d));
        } else if (d < 512) {
          out[x] = AddGrey32(b[x], static_cast<uint32_t>(511 - d));
        } else {
          out[x] = b[x];
        }
      }
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
  polar_.resize(static_cast<size_t>(quadrant_width_) * static_cast<size_t>(quadrant_height_));
  for (int y = 0; y < quadrant_height_; ++y) {
    for (int x = 0; x < quadrant_width_; ++x) {
      const double dx = x - (w - 1) / 2.0, dy = y - (h - 1) / 2.0;
      const double length = std::hypot(dx, dy);
      Polar& p = polar_[static_cast<size_t>(y) * quadrant_width_ + x];
      p.distance = static_cast<int32_t>(RoundEven(length));
      p.cos16 = length > 0 ? static_cast<int32_t>(RoundEven(dx / length * 65536)) : 0;
      p.sin16 = length > 0 ? static_cast<int32_t>(RoundEven(dy / length * 65536)) : 0;
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

void TWipeRipple::DrawStep() {
  const int w = Width(), h = Height();
  const auto length = static_cast<int64_t>(profile_.size());
  const int64_t p = Progress(RoundEven(std::hypot(h / 2, w / 2)) + length);
  const bool packed = PackedTrio(target_, from_, to_);
  render::ScanHold hold_target(target_), hold_from(from_), hold_to(to_);
  const Rows32 t = RowsOf32(target_), f = RowsOf32(from_), n = RowsOf32(to_);
  auto get = [&](const render::TCustomDIBX& s, const Rows32& rows, int x, int y) {
    return packed ? rows.Row(y)[x] : s.GetPixel(x, y);
  };
  auto put = [&](int x, int y, uint32_t v) {
    if (packed) {
      t.Row(y)[x] = v;
    } else {
      target_.SetPixel(x, y, v);
    }
  };
  const int64_t centre_x16 = static_cast<int64_t>(w - 1) * 32768;
  const int64_t centre_y16 = static_cast<int64_t>(h - 1) * 32768;
  for (int qy = 0; qy < quadrant_height_; ++qy) {
    for (int qx = 0; qx < quadrant_width_; ++qx) {
      const Polar& polar = polar_[static_cast<size_t>(qy) * quadrant_width_ + qx];
      const int64_t k = polar.distance + (length - 1) - p;
      // The pixel and its mirror images; mirrored directions flip their sign.
      for (int mirror = 0; mirror < 4; ++mirror) {
        const bool flip_x = (mirror & 1) != 0, flip_y = (mirror & 2) != 0;
        const int x = flip_x ? w - 1 - qx : qx, y = flip_y ? h - 1 - qy : qy;
        if ((flip_x && x == qx) || (flip_y && y == qy)) continue;
        uint32_t out;
        if (k > length - 1) {
          out = get(from_, f, x, y);
        } else if (k < 0) {
          out = get(to_, n, x, y);
        } else {
          const int64_t radius = polar.distance + profile_[static_cast<size_t>(k)];
          const int64_t c = flip_x ? -polar.cos16 : polar.cos16;
          const int64_t s = flip_y ? -polar.sin16 : polar.sin16;
          const int64_t sx = (centre_x16 + radius * c + 32768) >> 16;
          const int64_t sy = (centre_y16 + radius * s + 32768) >> 16;
          const bool inside = sx >= 0 && sx < w && sy >= 0 && sy < h;
          out =
              inside ? get(to_, n, static_cast<int>(sx), static_cast<int>(sy)) : get(to_, n, x, y);
        }
        put(x, y, out);
      }
    }
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
      const uint8_t* g = &greys_[static_cast<size_t>(y) * w];
      uint32_t* out = t.Row(y);
      const uint32_t* a = f.Row(y);
      const uint32_t* b = n.Row(y);
      for (int x = 0; x < w; ++x) {
        const int32_t v = levels[g[x]];
        const uint32_t base = v <= 255 ? a[x] : b[x];
        const auto grey = static_cast<uint32_t>(v <= 255 ? v : 511 - v);
        out[x] = darkens ? SubGrey32(base, grey) : AddGrey32(base, grey);
      }
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
