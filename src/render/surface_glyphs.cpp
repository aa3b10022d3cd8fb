// Text glyphs drawn from supersampled bitmaps: one destination pixel covers a block of cells,
// and the share of ink cells weights the colour against the background.
#include <bit>

#include "render/custom_dibx.h"
#include "render/dib_surface.h"
#include "render/pixel_access.h"
#include "render/scan_hold.h"

namespace novu::render {
namespace {

// Destination pixels of a glyph draw: the cells of src_rect (factor × factor source pixels each)
// clipped like a 1:1 draw. Returns nothing when no whole cell is visible.
std::optional<DirectBlit> PlanCells(const Rect& clip, int x, int y, const Rect& src_rect,
                                    int factor, FlipOptions flips) {
  const Rect cells{0, 0, src_rect.Width() / factor, src_rect.Height() / factor};
  return PlanDirect(clip, x, y, cells, flips.flip_v, flips.flip_h);
}

uint32_t MixChannels(const PixelFormat& f, uint32_t d, uint32_t colour, uint32_t coverage) {
  uint32_t out = 0;
  for (const ChannelLayout* ch : {&f.red, &f.green, &f.blue}) {
    out |= ((ch->Get(colour) * coverage + ch->Get(d) * (16 - coverage)) >> 4) << ch->shift;
  }
  return out;
}

}  // namespace

void TCustomDIBX::DrawGlyph(int x, int y, int factor, int alpha, FlipOptions flips, uint32_t raw,
                            Rect src_rect, const TDIBSurface& glyph) {
  const int depth = BitCount();
  if (factor != 4 || alpha <= 0 || glyph.BitCount() != 1) return;
  if (depth != 15 && depth != 16 && depth != 32) return;
  x = Tame(x);
  y = Tame(y);
  src_rect = Intersect(src_rect, glyph.Bounds());
  const auto plan = PlanCells(DrawableRect(), x, y, src_rect, factor, flips);
  if (!plan) return;
  const PixelFormat& f = Format();
  const uint32_t weight = static_cast<uint32_t>(std::min(alpha, 255));
  const ScanHold hold(*this);
  const SurfaceRows d = RowsOf();
  if (!d.top) return;
  for (int32_t row = plan->dest.top; row < plan->dest.bottom; ++row) {
    const int32_t cy = plan->src_y + (row - plan->dest.top) * plan->step_y;
    for (int32_t col = plan->dest.left; col < plan->dest.right; ++col) {
      const int32_t cx = plan->src_x + (col - plan->dest.left) * plan->step_x;
      uint32_t ink = 0;
      for (int j = 0; j < 4; ++j) {
        const uint8_t* bits = glyph.ScanLine(src_rect.top + 4 * cy + j);
        for (int i = 0; i < 4; ++i) ink += LoadRaw(bits, src_rect.left + 4 * cx + i, 1) == 0;
      }
      if (weight < 255) ink = (weight * ink) >> 8;
      if (ink == 0) continue;
      uint8_t* drow = d.Row(row);
      StoreRaw(drow, col, d.storage_bits,
               MixChannels(f, LoadRaw(drow, col, d.storage_bits), raw, ink));
    }
  }
}

void TCustomDIBX::DrawGlyph3(int x, int y, int factor, int alpha,
                             const std::array<uint32_t, 3>& raws, FlipOptions flips, Rect src_rect,
                             const TDIBSurface& glyph) {
  if (factor <= 0 || factor > 16 || !std::has_single_bit(static_cast<unsigned>(factor))) return;
  if (alpha <= 0 || glyph.BitCount() != 4 || !Format().HasChannels()) return;
  x = Tame(x);
  y = Tame(y);
  src_rect = Intersect(src_rect, glyph.Bounds());
  const auto plan = PlanCells(DrawableRect(), x, y, src_rect, factor, flips);
  if (!plan) return;
  const PixelFormat& f = Format();
  const uint32_t area = static_cast<uint32_t>(factor * factor);
  const int shift = std::countr_zero(area) + 8;
  const bool additive = alpha > 255;
  const uint32_t colour_weight =
      additive ? static_cast<uint32_t>(std::min(alpha - 256, 255)) : static_cast<uint32_t>(alpha);
  const ScanHold hold(*this);
  const SurfaceRows d = RowsOf();
  if (!d.top) return;
  for (int32_t row = plan->dest.top; row < plan->dest.bottom; ++row) {
    const int32_t cy = plan->src_y + (row - plan->dest.top) * plan->step_y;
    for (int32_t col = plan->dest.left; col < plan->dest.right; ++col) {
      const int32_t cx = plan->src_x + (col - plan->dest.left) * plan->step_x;
      uint32_t n[4] = {0, 0, 0, 0};
      for (int j = 0; j < factor; ++j) {
        const uint8_t* cells = glyph.ScanLine(src_rect.top + factor * cy + j);
        for (int i = 0; i < factor; ++i)
          ++n[LoadRaw(cells, src_rect.left + factor * cx + i, 4) & 3];
      }
      if (n[0] == area) continue;
      uint8_t* drow = d.Row(row);
      if (alpha == 255 && (n[1] == area || n[2] == area)) {
        StoreRaw(drow, col, d.storage_bits, n[1] == area ? raws[0] : raws[1]);
        continue;
      }
      uint32_t w[4];
      for (int k = 1; k <= 3; ++k) w[k] = (alpha == 255 ? 256 : colour_weight) * n[k];
      w[0] = additive ? 256 * area : 256 * area - w[1] - w[2] - w[3];
      const uint32_t dv = LoadRaw(drow, col, d.storage_bits);
      uint32_t out = 0;
      for (const ChannelLayout* ch : {&f.red, &f.green, &f.blue}) {
        uint64_t sum = uint64_t{w[0]} * ch->Get(dv);
        for (int k = 1; k <= 3; ++k) sum += uint64_t{w[k]} * ch->Get(raws[k - 1]);
        out |= static_cast<uint32_t>(std::min<uint64_t>(sum >> shift, ch->Max())) << ch->shift;
      }
      StoreRaw(drow, col, d.storage_bits, out);
    }
  }
}

}  // namespace novu::render
