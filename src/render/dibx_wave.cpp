#include "render/dibx_wave.h"

#include <climits>

#include "render/blit_plan.h"

namespace novu::render {
namespace {

constexpr int32_t kAllRowsLo = INT32_MIN / 2, kAllRowsHi = INT32_MAX / 2;

// The target's clip, put back however the forwarded call ends.
class TargetClip {
 public:
  explicit TargetClip(TCustomDIBX& target)
      : target_(target), rect_(target.ClipRect()), has_(target.HasClip()) {}
  ~TargetClip() { target_.RestoreClip(rect_, has_); }
  TargetClip(const TargetClip&) = delete;
  TargetClip& operator=(const TargetClip&) = delete;

 private:
  TCustomDIBX& target_;
  Rect rect_;
  bool has_;
};

}  // namespace

void TDIBXWave::SetSize(int width, int height, int depth) {
  TCustomDIBX::SetSize(std::max(width, 0), std::max(height, 0), depth);
  offsets_.assign(static_cast<size_t>(std::max(height, 0)), 0);
}

Rect TDIBXWave::DrawableRect() const {
  Rect r = Intersect(MakeRect(left_, top_, Width(), Height()), target_->DrawableRect());
  if (HasClip()) r = Intersect(r, ClipRect());
  return r;
}

void TDIBXWave::IncludeClip(Rect rect) {
  rect = Intersect(rect, MakeRect(left_, top_, Width(), Height()));
  if (rect.IsEmpty()) return;
  target_->IncludeClip(rect);
}

template <typename Fn>
void TDIBXWave::ForEachBand(int32_t row_lo, int32_t row_hi, bool whole_rows, Fn&& draw) {
  const Rect window = DrawableRect();
  const int32_t lo = std::max(row_lo, window.top), hi = std::min(row_hi, window.bottom);
  if (lo >= hi) return;
  // Shifted rows may leave the proxy's columns: only the target's clip (and ours) limit them.
  Rect columns = target_->DrawableRect();
  if (HasClip()) columns = Intersect(columns, ClipRect());
  const TargetClip restore(*target_);
  for (int32_t row = lo; row < hi;) {
    const int32_t offset = offsets_[static_cast<size_t>(row - top_)];
    int32_t end = row + 1;
    while (!whole_rows && end < hi && offsets_[static_cast<size_t>(end - top_)] == offset) ++end;
    target_->SetClipRect({columns.left, row, columns.right, end});
    draw(offset);
    row = end;
  }
}

void TDIBXWave::Clear(uint32_t raw) {
  FillRect(MakeRect(left_, top_, Width(), Height()), raw);
}

void TDIBXWave::FillRect(Rect rect, uint32_t raw) {
  ForEachBand(rect.top, rect.bottom, false,
              [&](int32_t dx) { target_->FillRect(Offset(rect, dx, 0), raw); });
}

void TDIBXWave::BlendRect(Rect rect, uint32_t raw, int alpha) {
  ForEachBand(rect.top, rect.bottom, false,
              [&](int32_t dx) { target_->BlendRect(Offset(rect, dx, 0), raw, alpha); });
}

void TDIBXWave::AddRect(Rect rect, uint32_t raw) {
  ForEachBand(rect.top, rect.bottom, false,
              [&](int32_t dx) { target_->AddRect(Offset(rect, dx, 0), raw); });
}

void TDIBXWave::SubRect(Rect rect, uint32_t raw) {
  ForEachBand(rect.top, rect.bottom, false,
              [&](int32_t dx) { target_->SubRect(Offset(rect, dx, 0), raw); });
}

void TDIBXWave::Assign(const TCustomDIBX& source) {
  Draw(0, 0, {}, Rect{0, 0, source.Width(), source.Height()}, source);
}

void TDIBXWave::Draw(int x, int y, DrawOptions options, Rect src_rect, const TCustomDIBX& source) {
  ForEachBand(kAllRowsLo, kAllRowsHi, false,
              [&](int32_t dx) { target_->Draw(x + dx, y, options, src_rect, source); });
}

void TDIBXWave::DrawMasked(int x, int y, const TCustomDIBX& mask, FlipOptions flips, Rect src_rect,
                           const TCustomDIBX& source) {
  ForEachBand(kAllRowsLo, kAllRowsHi, false,
              [&](int32_t dx) { target_->DrawMasked(x + dx, y, mask, flips, src_rect, source); });
}

void TDIBXWave::DrawAlpha(int x, int y, int alpha, DrawOptions options, Rect src_rect,
                          const TCustomDIBX& source) {
  ForEachBand(kAllRowsLo, kAllRowsHi, false,
              [&](int32_t dx) { target_->DrawAlpha(x + dx, y, alpha, options, src_rect, source); });
}

void TDIBXWave::DrawAlphaMasked(int x, int y, int alpha, const TCustomDIBX& mask, FlipOptions flips,
                                Rect src_rect, const TCustomDIBX& source) {
  ForEachBand(kAllRowsLo, kAllRowsHi, false, [&](int32_t dx) {
    target_->DrawAlphaMasked(x + dx, y, alpha, mask, flips, src_rect, source);
  });
}

void TDIBXWave::DrawAdd(int x, int y, int alpha, DrawOptions options, Rect src_rect,
                        const TCustomDIBX& source) {
  ForEachBand(kAllRowsLo, kAllRowsHi, false,
              [&](int32_t dx) { target_->DrawAdd(x + dx, y, alpha, options, src_rect, source); });
}

void TDIBXWave::DrawAddMasked(int x, int y, int alpha, const TCustomDIBX& mask, FlipOptions flips,
                              Rect src_rect, const TCustomDIBX& source) {
  ForEachBand(kAllRowsLo, kAllRowsHi, false, [&](int32_t dx) {
    target_->DrawAddMasked(x + dx, y, alpha, mask, flips, src_rect, source);
  });
}

void TDIBXWave::DrawMaskColor(int x, int y, int alpha, uint32_t raw, FlipOptions flips,
                              Rect src_rect, const TCustomDIBX& mask) {
  ForEachBand(kAllRowsLo, kAllRowsHi, false, [&](int32_t dx) {
    target_->DrawMaskColor(x + dx, y, alpha, raw, flips, src_rect, mask);
  });
}

void TDIBXWave::DrawRotate(int x, int y, int alpha_code, DrawOptions options, int angle,
                           int pivot_y, int pivot_x, Rect src_rect, const TCustomDIBX& source,
                           int zoom_y, int zoom_x) {
  const Rect box = RotatedBounds({x, y, pivot_x, pivot_y, angle, zoom_x, zoom_y, src_rect});
  ForEachBand(box.top, box.bottom, true, [&](int32_t dx) {
    target_->DrawRotate(x + dx, y, alpha_code, options, angle, pivot_y, pivot_x, src_rect, source,
                        zoom_y, zoom_x);
  });
}

void TDIBXWave::DrawRotateMasked(int x, int y, int alpha_code, const TCustomDIBX& mask,
                                 FlipOptions flips, int angle, int pivot_y, int pivot_x,
                                 Rect src_rect, const TCustomDIBX& source, int zoom_y, int zoom_x) {
  const Rect box = RotatedBounds({x, y, pivot_x, pivot_y, angle, zoom_x, zoom_y, src_rect});
  ForEachBand(box.top, box.bottom, true, [&](int32_t dx) {
    target_->DrawRotateMasked(x + dx, y, alpha_code, mask, flips, angle, pivot_y, pivot_x, src_rect,
                              source, zoom_y, zoom_x);
  });
}

void TDIBXWave::StretchDraw(Rect dest, const TCustomDIBX& source, int alpha, DrawOptions options,
                            Rect src_rect) {
  ForEachBand(dest.top, dest.bottom, true, [&](int32_t dx) {
    target_->StretchDraw(Offset(dest, dx, 0), source, alpha, options, src_rect);
  });
}

void TDIBXWave::StretchDrawMasked(Rect dest, const TCustomDIBX& source, int alpha,
                                  const TCustomDIBX& mask, FlipOptions flips, Rect src_rect) {
  ForEachBand(dest.top, dest.bottom, true, [&](int32_t dx) {
    target_->StretchDrawMasked(Offset(dest, dx, 0), source, alpha, mask, flips, src_rect);
  });
}

void TDIBXWave::StretchDrawAdd(Rect dest, const TCustomDIBX& source, int alpha, DrawOptions options,
                               Rect src_rect) {
  ForEachBand(dest.top, dest.bottom, true, [&](int32_t dx) {
    target_->StretchDrawAdd(Offset(dest, dx, 0), source, alpha, options, src_rect);
  });
}

void TDIBXWave::StretchDrawAddMasked(Rect dest, const TCustomDIBX& source, int alpha,
                                     const TCustomDIBX& mask, FlipOptions flips, Rect src_rect) {
  ForEachBand(dest.top, dest.bottom, true, [&](int32_t dx) {
    target_->StretchDrawAddMasked(Offset(dest, dx, 0), source, alpha, mask, flips, src_rect);
  });
}

void TDIBXWave::DrawGlyph(int x, int y, int factor, int alpha, FlipOptions flips, uint32_t raw,
                          Rect src_rect, const TDIBSurface& glyph) {
  ForEachBand(kAllRowsLo, kAllRowsHi, false, [&](int32_t dx) {
    target_->DrawGlyph(x + dx, y, factor, alpha, flips, raw, src_rect, glyph);
  });
}

void TDIBXWave::DrawGlyph3(int x, int y, int factor, int alpha, const std::array<uint32_t, 3>& raws,
                           FlipOptions flips, Rect src_rect, const TDIBSurface& glyph) {
  ForEachBand(kAllRowsLo, kAllRowsHi, false, [&](int32_t dx) {
    target_->DrawGlyph3(x + dx, y, factor, alpha, raws, flips, src_rect, glyph);
  });
}

void TDIBXWave::ZoomTile(Rect rect, int zoom_x, int alpha_code, DrawOptions options, int offset_y,
                         int offset_x, const TCustomDIBX& source, int zoom_y) {
  ForEachBand(rect.top, rect.bottom, true, [&](int32_t dx) {
    target_->ZoomTile(Offset(rect, dx, 0), zoom_x, alpha_code, options, offset_y, offset_x, source,
                      zoom_y);
  });
}

void TDIBXWave::ZoomTileMasked(Rect rect, int zoom_x, int alpha_code, FlipOptions flips,
                               const TCustomDIBX& mask, int offset_y, int offset_x,
                               const TCustomDIBX& source, int zoom_y) {
  ForEachBand(rect.top, rect.bottom, true, [&](int32_t dx) {
    target_->ZoomTileMasked(Offset(rect, dx, 0), zoom_x, alpha_code, flips, mask, offset_y,
                            offset_x, source, zoom_y);
  });
}

void TDIBXWave::DrawIndexed4(int x, int y, std::span<const uint32_t> table, int alpha,
                             FlipOptions flips, Rect src_rect, const TDIBSurface& source,
                             int64_t source_key) {
  ForEachBand(kAllRowsLo, kAllRowsHi, false, [&](int32_t dx) {
    target_->DrawIndexed4(x + dx, y, table, alpha, flips, src_rect, source, source_key);
  });
}

void TDIBXWave::DrawIndexedAdd(int x, int y, std::span<const uint32_t> table, int alpha,
                               FlipOptions flips, int lowest, Rect src_rect,
                               const TDIBSurface& source) {
  ForEachBand(kAllRowsLo, kAllRowsHi, false, [&](int32_t dx) {
    target_->DrawIndexedAdd(x + dx, y, table, alpha, flips, lowest, src_rect, source);
  });
}

void TDIBXWave::StretchDrawIndexed(Rect dest, const TDIBSurface& source,
                                   std::span<const uint32_t> table, int alpha, FlipOptions flips,
                                   int lowest, Rect src_rect) {
  ForEachBand(dest.top, dest.bottom, true, [&](int32_t dx) {
    target_->StretchDrawIndexed(Offset(dest, dx, 0), source, table, alpha, flips, lowest, src_rect);
  });
}

}  // namespace novu::render
