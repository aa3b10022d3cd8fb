// Draws whose source holds indices into a caller's table of raw destination pixels.
#include "render/custom_dibx.h"
#include "render/dib_surface.h"
#include "render/pixel_access.h"
#include "render/scan_hold.h"

namespace novu::render {
namespace {

bool HasPackedChannels(int depth) {
  return depth == 15 || depth == 16 || depth == 32;
}

}  // namespace

void TCustomDIBX::DrawIndexed4(int x, int y, std::span<const uint32_t> table, int alpha,
                               FlipOptions flips, Rect src_rect, const TDIBSurface& source,
                               int64_t source_key) {
  if (alpha <= 0 || source.BitCount() != 4) return;
  x = Tame(x);
  y = Tame(y);
  if (!ClampSource(src_rect, x, y, flips.flip_v, flips.flip_h, source.Bounds())) return;
  const auto plan = PlanDirect(DrawableRect(), x, y, src_rect, flips.flip_v, flips.flip_h);
  if (!plan) return;
  RuleParams p;
  p.alpha = std::min(alpha, 255);
  const Rule rule = p.alpha == 255 ? Rule::Copy : Rule::Alpha;
  const PixelFormat& f = Format();
  const ScanHold hold(*this);
  const SurfaceRows d = RowsOf();
  if (!d.top) return;
  for (int32_t row = plan->dest.top; row < plan->dest.bottom; ++row) {
    const uint8_t* srow = source.ScanLine(plan->src_y + (row - plan->dest.top) * plan->step_y);
    uint8_t* drow = d.Row(row);
    for (int32_t col = plan->dest.left; col < plan->dest.right; ++col) {
      const uint32_t index = LoadRaw(srow, plan->src_x + (col - plan->dest.left) * plan->step_x, 4);
      if (index == source_key || index >= table.size()) continue;
      uint32_t out;
      if (rules::Apply(rule, p, f, LoadRaw(drow, col, d.storage_bits), table[index], 255, out)) {
        StoreRaw(drow, col, d.storage_bits, out);
      }
    }
  }
}

void TCustomDIBX::DrawIndexedAdd(int x, int y, std::span<const uint32_t> table, int alpha,
                                 FlipOptions flips, int lowest, Rect src_rect,
                                 const TDIBSurface& source) {
  if (alpha <= 0 || source.BitCount() != 8 || !Format().HasChannels()) return;
  x = Tame(x);
  y = Tame(y);
  if (!ClampSource(src_rect, x, y, flips.flip_v, flips.flip_h, source.Bounds())) return;
  const auto plan = PlanDirect(DrawableRect(), x, y, src_rect, flips.flip_v, flips.flip_h);
  if (!plan) return;
  const uint32_t weight = static_cast<uint32_t>(std::min(alpha, 255));
  const PixelFormat& f = Format();
  const ScanHold hold(*this);
  const SurfaceRows d = RowsOf();
  if (!d.top) return;
  for (int32_t row = plan->dest.top; row < plan->dest.bottom; ++row) {
    const uint8_t* srow = source.ScanLine(plan->src_y + (row - plan->dest.top) * plan->step_y);
    uint8_t* drow = d.Row(row);
    for (int32_t col = plan->dest.left; col < plan->dest.right; ++col) {
      const int index = srow[plan->src_x + (col - plan->dest.left) * plan->step_x];
      if (index < lowest || static_cast<size_t>(index) >= table.size()) continue;
      StoreRaw(drow, col, d.storage_bits,
               rules::Add(f, LoadRaw(drow, col, d.storage_bits), table[index], weight));
    }
  }
}

void TCustomDIBX::StretchDrawIndexed(Rect dest, const TDIBSurface& source,
                                     std::span<const uint32_t> table, int alpha, FlipOptions flips,
                                     int lowest, Rect src_rect) {
  if (alpha <= 0 || source.BitCount() != 8 || !HasPackedChannels(BitCount())) return;
  dest = Tame(dest);
  src_rect = Intersect(src_rect, source.Bounds());
  const auto plan = PlanScaled(DrawableRect(), dest, src_rect, flips.flip_v, flips.flip_h);
  if (!plan) return;
  const uint32_t weight = static_cast<uint32_t>(std::min(alpha, 255));
  const PixelFormat& f = Format();
  const ScanHold hold(*this);
  const SurfaceRows d = RowsOf();
  if (!d.top) return;
  for (int32_t row = plan->dest.top; row < plan->dest.bottom; ++row) {
    const uint8_t* srow = source.ScanLine(plan->rows[static_cast<size_t>(row - plan->dest.top)]);
    uint8_t* drow = d.Row(row);
    for (int32_t col = plan->dest.left; col < plan->dest.right; ++col) {
      const int index = srow[plan->cols[static_cast<size_t>(col - plan->dest.left)]];
      if (index < lowest || static_cast<size_t>(index) >= table.size()) continue;
      StoreRaw(drow, col, d.storage_bits,
               rules::Add(f, LoadRaw(drow, col, d.storage_bits), table[index], weight));
    }
  }
}

}  // namespace novu::render
