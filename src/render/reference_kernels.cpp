// The pixel-by-pixel reference loops.
#include "render/pixel_access.h"
#include "render/pixel_kernels.h"

namespace novu::render {
namespace {

struct PixelSite {
  uint8_t* drow;
  int32_t dx;
  const uint8_t* srow;
  const uint8_t* mrow;
  int32_t sx;
};

inline void ApplyAt(Rule rule, const RuleParams& p, const PixelFormat& f, const BlitSurfaces& s,
                    const PixelSite& site) {
  const uint32_t d = LoadRaw(site.drow, site.dx, s.dst.storage_bits);
  const uint32_t src = site.srow ? LoadRaw(site.srow, site.sx, s.src.storage_bits) : 0;
  const uint32_t m = site.mrow ? site.mrow[site.sx] : 255;
  uint32_t out;
  if (rules::Apply(rule, p, f, d, src, m, out))
    StoreRaw(site.drow, site.dx, s.dst.storage_bits, out);
}

const uint8_t* MaskRow(const BlitSurfaces& s, int32_t y) {
  return s.mask.top ? s.mask.Row(y) : nullptr;
}

void Direct(Rule rule, const RuleParams& p, const PixelFormat& f, const BlitSurfaces& s,
            const DirectBlit& plan) {
  for (int32_t y = plan.dest.top; y < plan.dest.bottom; ++y) {
    const int32_t sy = plan.src_y + (y - plan.dest.top) * plan.step_y;
    for (int32_t x = plan.dest.left; x < plan.dest.right; ++x) {
      const int32_t sx = plan.src_x + (x - plan.dest.left) * plan.step_x;
      ApplyAt(rule, p, f, s, {s.dst.Row(y), x, s.src.Row(sy), MaskRow(s, sy), sx});
    }
  }
}

void Scaled(Rule rule, const RuleParams& p, const PixelFormat& f, const BlitSurfaces& s,
            const ScaledBlit& plan) {
  for (int32_t y = plan.dest.top; y < plan.dest.bottom; ++y) {
    const int32_t sy = plan.rows[static_cast<size_t>(y - plan.dest.top)];
    for (int32_t x = plan.dest.left; x < plan.dest.right; ++x) {
      const int32_t sx = plan.cols[static_cast<size_t>(x - plan.dest.left)];
      ApplyAt(rule, p, f, s, {s.dst.Row(y), x, s.src.Row(sy), MaskRow(s, sy), sx});
    }
  }
}

void Rotated(Rule rule, const RuleParams& p, const PixelFormat& f, const BlitSurfaces& s,
             const RotatedBlit& plan) {
  for (int32_t y = plan.dest.top; y < plan.dest.bottom; ++y) {
    const int64_t j = y - plan.dest.top;
    for (int32_t x = plan.dest.left; x < plan.dest.right; ++x) {
      const int64_t i = x - plan.dest.left;
      const int64_t sx = plan.sx0 + i * plan.a + j * plan.c;
      const int64_t sy = plan.sy0 + i * plan.b + j * plan.e;
      if (sx < plan.sx_min || sx > plan.sx_max || sy < plan.sy_min || sy > plan.sy_max) continue;
      int32_t px = static_cast<int32_t>(sx >> 16), py = static_cast<int32_t>(sy >> 16);
      if (plan.flip_h) px = plan.mirror_x - px;
      if (plan.flip_v) py = plan.mirror_y - py;
      ApplyAt(rule, p, f, s, {s.dst.Row(y), x, s.src.Row(py), MaskRow(s, py), px});
    }
  }
}

void Fill(Rule rule, const RuleParams& p, const PixelFormat& f, const SurfaceRows& dst,
          const Rect& rect) {
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    uint8_t* row = dst.Row(y);
    for (int32_t x = rect.left; x < rect.right; ++x) {
      uint32_t out;
      if (rules::Apply(rule, p, f, LoadRaw(row, x, dst.storage_bits), 0, 255, out)) {
        StoreRaw(row, x, dst.storage_bits, out);
      }
    }
  }
}

}  // namespace

const KernelSet& ReferenceKernels() {
  static const KernelSet set{"reference", Direct, Scaled, Rotated, Fill};
  return set;
}

}  // namespace novu::render
