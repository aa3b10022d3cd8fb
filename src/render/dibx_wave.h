#pragma once
// TDIBXWave: a drawing surface without pixels of its own. It forwards every drawing call into a
// target surface with each row shifted horizontally by that row's offset (the wave effect).
// Coordinates are the target's; the proxy covers [left, left + width) × [top, top + height) and
// offset 0 belongs to row `top`. Rows outside the offsets are not drawn.
#include <cstdint>
#include <span>
#include <vector>

#include "render/custom_dibx.h"

namespace novu::render {

class TDIBXWave : public TCustomDIBX {
 public:
  explicit TDIBXWave(TCustomDIBX& target) : target_(&target) {}

  void SetTarget(TCustomDIBX& target) { target_ = &target; }
  TCustomDIBX& Target() override { return *target_; }
  // Sets the proxy's size (the depth is the target's); every offset goes back to 0.
  void SetSize(int width, int height, int depth) override;
  void SetOrigin(int left, int top) {
    left_ = left;
    top_ = top;
  }
  int Left() const { return left_; }
  int Top() const { return top_; }
  std::span<int32_t> Offsets() { return offsets_; }

  int BitCount() const override { return target_->BitCount(); }
  int StorageBitCount() const override { return target_->StorageBitCount(); }
  const PixelFormat& Format() const override { return target_->Format(); }
  ptrdiff_t Pitch() const override { return target_->Pitch(); }

  Rect DrawableRect() const override;
  void IncludeClip(Rect rect) override;

  void Clear(uint32_t raw) override;
  void FillRect(Rect rect, uint32_t raw) override;
  void BlendRect(Rect rect, uint32_t raw, int alpha) override;
  void AddRect(Rect rect, uint32_t raw) override;
  void SubRect(Rect rect, uint32_t raw) override;
  void Assign(const TCustomDIBX& source) override;
  void Draw(int x, int y, DrawOptions options, Rect src_rect, const TCustomDIBX& source) override;
  void DrawMasked(int x, int y, const TCustomDIBX& mask, FlipOptions flips, Rect src_rect,
                  const TCustomDIBX& source) override;
  void DrawAlpha(int x, int y, int alpha, DrawOptions options, Rect src_rect,
                 const TCustomDIBX& source) override;
  void DrawAlphaMasked(int x, int y, int alpha, const TCustomDIBX& mask, FlipOptions flips,
                       Rect src_rect, const TCustomDIBX& source) override;
  void DrawAdd(int x, int y, int alpha, DrawOptions options, Rect src_rect,
               const TCustomDIBX& source) override;
  void DrawAddMasked(int x, int y, int alpha, const TCustomDIBX& mask, FlipOptions flips,
                     Rect src_rect, const TCustomDIBX& source) override;
  void DrawMaskColor(int x, int y, int alpha, uint32_t raw, FlipOptions flips, Rect src_rect,
                     const TCustomDIBX& mask) override;
  void DrawRotate(int x, int y, int alpha_code, DrawOptions options, int angle, int pivot_y,
                  int pivot_x, Rect src_rect, const TCustomDIBX& source, int zoom_y,
                  int zoom_x) override;
  void DrawRotateMasked(int x, int y, int alpha_code, const TCustomDIBX& mask, FlipOptions flips,
                        int angle, int pivot_y, int pivot_x, Rect src_rect,
                        const TCustomDIBX& source, int zoom_y, int zoom_x) override;
  void StretchDraw(Rect dest, const TCustomDIBX& source, int alpha, DrawOptions options,
                   Rect src_rect) override;
  void StretchDrawMasked(Rect dest, const TCustomDIBX& source, int alpha, const TCustomDIBX& mask,
                         FlipOptions flips, Rect src_rect) override;
  void StretchDrawAdd(Rect dest, const TCustomDIBX& source, int alpha, DrawOptions options,
                      Rect src_rect) override;
  void StretchDrawAddMasked(Rect dest, const TCustomDIBX& source, int alpha,
                            const TCustomDIBX& mask, FlipOptions flips, Rect src_rect) override;
  void DrawGlyph(int x, int y, int factor, int alpha, FlipOptions flips, uint32_t raw,
                 Rect src_rect, const TDIBSurface& glyph) override;
  void DrawGlyph3(int x, int y, int factor, int alpha, const std::array<uint32_t, 3>& raws,
                  FlipOptions flips, Rect src_rect, const TDIBSurface& glyph) override;
  void ZoomTile(Rect rect, int zoom_x, int alpha_code, DrawOptions options, int offset_y,
                int offset_x, const TCustomDIBX& source, int zoom_y) override;
  void ZoomTileMasked(Rect rect, int zoom_x, int alpha_code, FlipOptions flips,
                      const TCustomDIBX& mask, int offset_y, int offset_x,
                      const TCustomDIBX& source, int zoom_y) override;
  void DrawIndexed4(int x, int y, std::span<const uint32_t> table, int alpha, FlipOptions flips,
                    Rect src_rect, const TDIBSurface& source, int64_t source_key) override;
  void DrawIndexedAdd(int x, int y, std::span<const uint32_t> table, int alpha, FlipOptions flips,
                      int lowest, Rect src_rect, const TDIBSurface& source) override;
  void StretchDrawIndexed(Rect dest, const TDIBSurface& source, std::span<const uint32_t> table,
                          int alpha, FlipOptions flips, int lowest, Rect src_rect) override;

 private:
  // Calls draw(shift) once per band of rows in [row_lo, row_hi) sharing one offset, with the
  // target clipped to the band; whole_rows: one row per call (scaled and rotated draws).
  template <typename Fn>
  void ForEachBand(int32_t row_lo, int32_t row_hi, bool whole_rows, Fn&& draw);

  TCustomDIBX* target_;
  std::vector<int32_t> offsets_;
  int32_t left_ = 0;
  int32_t top_ = 0;
};

}  // namespace novu::render
