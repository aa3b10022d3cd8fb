#include "render/custom_dibx.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>

#include "render/dib_surface.h"
#include "render/pixel_access.h"
#include "render/scan_hold.h"

namespace novu::render {
namespace {

// A blend weight: nothing for 0 or less, at most 255.
std::optional<int> Weight(int alpha) {
  if (alpha <= 0) return std::nullopt;
  return std::min(alpha, 255);
}

RuleParams KeyParams(int alpha, bool use_key, const TCustomDIBX& source) {
  RuleParams p;
  p.alpha = alpha;
  p.use_key = use_key && source.KeyColor() >= 0;
  p.key = static_cast<uint32_t>(source.KeyColor());
  return p;
}

}  // namespace

void TCustomDIBX::SetSize(int width, int height, int) {
  width_ = width;
  height_ = height;
}

const PixelFormat& TCustomDIBX::Format() const {
  static const PixelFormat kFormats[] = {PixelFormat::ForDepth(8),  PixelFormat::ForDepth(15),
                                         PixelFormat::ForDepth(16), PixelFormat::ForDepth(24),
                                         PixelFormat::ForDepth(32), PixelFormat::ForDepth(1),
                                         PixelFormat::ForDepth(4)};
  for (const PixelFormat& f : kFormats) {
    if (f.bit_count == BitCount()) return f;
  }
  return kFormats[4];
}

uint8_t* TCustomDIBX::ScanPointer(int, int) const {
  return nullptr;
}

SurfaceRows TCustomDIBX::RowsOf() const {
  if (IsEmpty()) return {};
  uint8_t* top = ScanPointer(0, 0);
  if (!top) return {};
  return {top, Pitch(), Width(), Height(), Format().storage_bits};
}

std::vector<uint32_t> TCustomDIBX::GetPaletteEntries(int first, int count) const {
  const auto palette = GetPalette();
  const int begin = std::clamp(first, 0, 256);
  const int end = static_cast<int>(std::clamp<int64_t>(int64_t{first} + count, begin, 256));
  return {palette.begin() + begin, palette.begin() + end};
}

void TCustomDIBX::SetPaletteEntries(int first, std::span<const uint32_t> entries) {
  auto palette = GetPalette();
  for (size_t i = 0; i < entries.size(); ++i) {
    const int64_t index = int64_t{first} + static_cast<int64_t>(i);
    if (index >= 0 && index < 256) palette[static_cast<size_t>(index)] = entries[i];
  }
  SetPalette(palette);
}

// --- clip -------------------------------------------------------------------------------

void TCustomDIBX::SetClipRect(const Rect& rect) {
  clip_ = rect;
  has_clip_ = true;
}

void TCustomDIBX::ResetClip() {
  clip_.right = 0;
  has_clip_ = false;
}

void TCustomDIBX::IncludeClip(Rect rect) {
  rect = Intersect(rect, Rect{0, 0, Width(), Height()});
  if (rect.IsEmpty()) return;
  SetClipRect(has_clip_ ? Union(clip_, rect) : rect);
}

void TCustomDIBX::RestoreClip(const Rect& rect, bool has_clip) {
  clip_ = rect;
  has_clip_ = has_clip;
}

Rect TCustomDIBX::DrawableRect() const {
  const Rect whole{0, 0, Width(), Height()};
  return has_clip_ ? Intersect(clip_, whole) : whole;
}

// --- kernels ----------------------------------------------------------------------------

void TCustomDIBX::BlitDirect(Rule rule, const RuleParams& p, int x, int y, FlipOptions flips,
                             Rect src_rect, const TCustomDIBX& source, const TCustomDIBX* mask) {
  x = Tame(x);
  y = Tame(y);
  const bool paints_colour = rule == Rule::MaskColor;
  const bool masked = RuleUsesMask(rule) && !paints_colour;
  if (!paints_colour && source.BitCount() != BitCount()) return;
  if (paints_colour && source.BitCount() != 8) return;
  if (masked && (!mask || mask->BitCount() != 8)) return;
  ScanHold hold_dst(*this);
  ScanHold hold_src(source);
  std::optional<ScanHold> hold_mask;
  if (masked) hold_mask.emplace(*mask);
  BlitSurfaces s{RowsOf(), source.RowsOf(), {}};
  if (!s.dst.top || !s.src.top) return;
  Rect bounds{0, 0, source.Width(), source.Height()};
  if (masked) {
    s.mask = mask->RowsOf();
    if (!s.mask.top) return;
    bounds = Intersect(bounds, Rect{0, 0, mask->Width(), mask->Height()});
  }
  if (paints_colour) s.mask = s.src;
  if (!ClampSource(src_rect, x, y, flips.flip_v, flips.flip_h, bounds)) return;
  const auto plan = PlanDirect(DrawableRect(), x, y, src_rect, flips.flip_v, flips.flip_h);
  if (!plan) return;
  ActiveKernels().direct(rule, p, Format(), s, *plan);
}

void TCustomDIBX::BlitScaled(Rule rule, const RuleParams& p, Rect dest, Rect src_rect,
                             FlipOptions flips, const TCustomDIBX& source,
                             const TCustomDIBX* mask) {
  dest = Tame(dest);
  Rect bounds{0, 0, source.Width(), source.Height()};
  if (mask) bounds = Intersect(bounds, Rect{0, 0, mask->Width(), mask->Height()});
  src_rect = Intersect(src_rect, bounds);
  const auto plan = PlanScaled(DrawableRect(), dest, src_rect, flips.flip_v, flips.flip_h);
  if (plan) BlitSampled(rule, p, *plan, source, mask);
}

void TCustomDIBX::BlitSampled(Rule rule, const RuleParams& p, const ScaledBlit& plan,
                              const TCustomDIBX& source, const TCustomDIBX* mask) {
  const bool masked = RuleUsesMask(rule);
  if (source.BitCount() != BitCount()) return;
  if (masked && (!mask || mask->BitCount() != 8)) return;
  ScanHold hold_dst(*this);
  ScanHold hold_src(source);
  std::optional<ScanHold> hold_mask;
  if (masked) hold_mask.emplace(*mask);
  BlitSurfaces s{RowsOf(), source.RowsOf(), {}};
  if (!s.dst.top || !s.src.top) return;
  if (masked) {
    s.mask = mask->RowsOf();
    if (!s.mask.top) return;
  }
  ActiveKernels().scaled(rule, p, Format(), s, plan);
}

void TCustomDIBX::BlitRotated(Rule rule, const RuleParams& p, int x, int y, FlipOptions flips,
                              int angle, int pivot_y, int pivot_x, Rect src_rect,
                              const TCustomDIBX& source, const TCustomDIBX* mask, int zoom_y,
                              int zoom_x) {
  const bool masked = RuleUsesMask(rule);
  if (source.BitCount() != BitCount()) return;
  if (masked && (!mask || mask->BitCount() != 8)) return;
  ScanHold hold_dst(*this);
  ScanHold hold_src(source);
  std::optional<ScanHold> hold_mask;
  if (masked) hold_mask.emplace(*mask);
  BlitSurfaces s{RowsOf(), source.RowsOf(), {}};
  if (!s.dst.top || !s.src.top) return;
  Rect bounds{0, 0, source.Width(), source.Height()};
  if (masked) {
    s.mask = mask->RowsOf();
    if (!s.mask.top) return;
    bounds = Intersect(bounds, Rect{0, 0, mask->Width(), mask->Height()});
  }
  RotateGeometry g;
  g.x = Tame(x);
  g.y = Tame(y);
  g.pivot_x = Tame(pivot_x);
  g.pivot_y = Tame(pivot_y);
  g.angle = angle;
  g.zoom_x = zoom_x;
  g.zoom_y = zoom_y;
  g.src_rect = Intersect(src_rect, bounds);
  g.flip_v = flips.flip_v;
  g.flip_h = flips.flip_h;
  const auto plan = PlanRotated(DrawableRect(), g);
  if (!plan) return;
  ActiveKernels().rotated(rule, p, Format(), s, *plan);
}

void TCustomDIBX::FillWith(Rule rule, const RuleParams& p, Rect rect) {
  ScanHold hold(*this);
  const SurfaceRows dst = RowsOf();
  if (!dst.top) return;
  rect = Intersect(Tame(rect), DrawableRect());
  if (rect.IsEmpty()) return;
  ActiveKernels().fill(rule, p, Format(), dst, rect);
}

// --- fills ------------------------------------------------------------------------------

void TCustomDIBX::Clear(uint32_t raw) {
  const Rect saved = clip_;
  const bool saved_flag = has_clip_;
  has_clip_ = false;
  RuleParams p;
  p.colour = raw;
  FillWith(Rule::Fill, p, Rect{0, 0, Width(), Height()});
  clip_ = saved;
  has_clip_ = saved_flag;
}

void TCustomDIBX::FillRect(Rect rect, uint32_t raw) {
  RuleParams p;
  p.colour = raw;
  FillWith(Rule::Fill, p, rect);
}

void TCustomDIBX::BlendRect(Rect rect, uint32_t raw, int alpha) {
  const auto w = Weight(alpha);
  if (!w) return;
  RuleParams p;
  p.colour = raw;
  p.alpha = *w;
  FillWith(Rule::BlendFill, p, rect);
}

void TCustomDIBX::AddRect(Rect rect, uint32_t raw) {
  RuleParams p;
  p.colour = raw;
  FillWith(Rule::AddFill, p, rect);
}

void TCustomDIBX::SubRect(Rect rect, uint32_t raw) {
  RuleParams p;
  p.colour = raw;
  FillWith(Rule::SubFill, p, rect);
}

void TCustomDIBX::Band(Rect r, int t, const std::function<void(Rect)>& fill) {
  r = Tame(r);
  if (t <= 0 || r.IsEmpty()) return;
  t = std::min(t, std::max(r.Width(), r.Height()));  // thicker bands cover nothing more
  const int w = r.Width(), h = r.Height();
  fill(MakeRect(r.left, r.top, w, t));
  fill(MakeRect(r.left, r.bottom - t, w, t));
  if (h - 2 * t > 0) {
    fill(MakeRect(r.left, r.top + t, t, h - 2 * t));
    fill(MakeRect(r.right - t, r.top + t, t, h - 2 * t));
  }
}

void TCustomDIBX::FrameRect(Rect rect, int thickness, uint32_t raw) {
  Band(rect, thickness, [&](Rect band) { FillRect(band, raw); });
}

void TCustomDIBX::BlendFrame(Rect rect, int thickness, int alpha, uint32_t raw) {
  Band(rect, thickness, [&](Rect band) { BlendRect(band, raw, alpha); });
}

void TCustomDIBX::AddFrame(Rect rect, int thickness, uint32_t raw) {
  Band(rect, thickness, [&](Rect band) { AddRect(band, raw); });
}

// --- copies -----------------------------------------------------------------------------

void TCustomDIBX::Assign(const TCustomDIBX& source) {
  if (&source == this) return;
  if (source.Width() == Width() && source.Height() == Height() && source.Pitch() == Pitch() &&
      source.BitCount() == BitCount()) {
    ScanHold hold_dst(*this);
    ScanHold hold_src(source);
    const SurfaceRows d = RowsOf(), s = source.RowsOf();
    if (d.top && s.top) {
      const size_t row_bytes = static_cast<size_t>(std::abs(Pitch()));
      for (int32_t y = 0; y < d.height; ++y) std::memcpy(d.Row(y), s.Row(y), row_bytes);
      return;
    }
  }
  Draw(0, 0, {}, Rect{0, 0, source.Width(), source.Height()}, source);
}

void TCustomDIBX::Draw(int x, int y, DrawOptions options, Rect src_rect,
                       const TCustomDIBX& source) {
  if (source.BitCount() != BitCount()) {
    return DrawConverted(x, y, options, src_rect, source);
  }
  BlitDirect(Rule::Copy, KeyParams(255, options.use_key, source), x, y, options.flips(), src_rect,
             source, nullptr);
}

// Pictures of another depth (15, 16, 24 or 32 bits) are converted pixel by pixel through their
// 8-bit channels; palette pictures are not converted.
void TCustomDIBX::DrawConverted(int x, int y, DrawOptions options, Rect src_rect,
                                const TCustomDIBX& source) {
  x = Tame(x);
  y = Tame(y);
  const PixelFormat& sf = source.Format();
  const PixelFormat& df = Format();
  if (!sf.HasChannels() || !df.HasChannels()) return;
  ScanHold hold_dst(*this);
  ScanHold hold_src(source);
  const SurfaceRows d = RowsOf(), s = source.RowsOf();
  if (!d.top || !s.top) return;
  if (!ClampSource(src_rect, x, y, options.flip_v, options.flip_h, Rect{0, 0, s.width, s.height}))
    return;
  const auto plan = PlanDirect(DrawableRect(), x, y, src_rect, options.flip_v, options.flip_h);
  if (!plan) return;
  const bool keyed = options.use_key && source.KeyColor() >= 0;
  for (int32_t row = plan->dest.top; row < plan->dest.bottom; ++row) {
    const int32_t sy = plan->src_y + (row - plan->dest.top) * plan->step_y;
    for (int32_t col = plan->dest.left; col < plan->dest.right; ++col) {
      const int32_t sx = plan->src_x + (col - plan->dest.left) * plan->step_x;
      const uint32_t raw = LoadRaw(s.Row(sy), sx, s.storage_bits);
      if (keyed && raw == static_cast<uint32_t>(source.KeyColor())) continue;
      uint8_t r, g, b;
      sf.ToRgb8(raw, r, g, b);
      StoreRaw(d.Row(row), col, d.storage_bits, df.FromRgb8(r, g, b));
    }
  }
}

void TCustomDIBX::DrawMasked(int x, int y, const TCustomDIBX& mask, FlipOptions flips,
                             Rect src_rect, const TCustomDIBX& source) {
  BlitDirect(Rule::Masked, RuleParams{}, x, y, flips, src_rect, source, &mask);
}

void TCustomDIBX::DrawAlpha(int x, int y, int alpha, DrawOptions options, Rect src_rect,
                            const TCustomDIBX& source) {
  const auto w = Weight(alpha);
  if (!w) return;
  BlitDirect(Rule::Alpha, KeyParams(*w, options.use_key, source), x, y, options.flips(), src_rect,
             source, nullptr);
}

void TCustomDIBX::DrawAlphaMasked(int x, int y, int alpha, const TCustomDIBX& mask,
                                  FlipOptions flips, Rect src_rect, const TCustomDIBX& source) {
  const auto w = Weight(alpha);
  if (!w) return;
  BlitDirect(Rule::AlphaMasked, KeyParams(*w, false, source), x, y, flips, src_rect, source, &mask);
}

void TCustomDIBX::DrawAdd(int x, int y, int alpha, DrawOptions options, Rect src_rect,
                          const TCustomDIBX& source) {
  const auto w = Weight(alpha);
  if (!w) return;
  BlitDirect(Rule::Add, KeyParams(*w, true, source), x, y, options.flips(), src_rect, source,
             nullptr);
}

void TCustomDIBX::DrawAddMasked(int x, int y, int alpha, const TCustomDIBX& mask, FlipOptions flips,
                                Rect src_rect, const TCustomDIBX& source) {
  const auto w = Weight(alpha);
  if (!w) return;
  BlitDirect(Rule::AddMasked, KeyParams(*w, false, source), x, y, flips, src_rect, source, &mask);
}

void TCustomDIBX::DrawMaskColor(int x, int y, int alpha, uint32_t raw, FlipOptions flips,
                                Rect src_rect, const TCustomDIBX& mask) {
  if (alpha <= 0) return;
  if (src_rect.left < 0 || src_rect.top < 0 || src_rect.right > mask.Width() ||
      src_rect.bottom > mask.Height()) {
    return;
  }
  RuleParams p;
  p.alpha = std::min(alpha, 255);
  p.colour = raw;
  BlitDirect(Rule::MaskColor, p, x, y, flips, src_rect, mask, nullptr);
}

// --- rotated and scaled -----------------------------------------------------------------

void TCustomDIBX::DrawRotate(int x, int y, int alpha_code, DrawOptions options, int angle,
                             int pivot_y, int pivot_x, Rect src_rect, const TCustomDIBX& source,
                             int zoom_y, int zoom_x) {
  if (alpha_code <= 0) return;
  BlitRotated(Rule::Rotate, KeyParams(alpha_code, options.use_key, source), x, y, options.flips(),
              angle, pivot_y, pivot_x, src_rect, source, nullptr, zoom_y, zoom_x);
}

void TCustomDIBX::DrawRotateMasked(int x, int y, int alpha_code, const TCustomDIBX& mask,
                                   FlipOptions flips, int angle, int pivot_y, int pivot_x,
                                   Rect src_rect, const TCustomDIBX& source, int zoom_y,
                                   int zoom_x) {
  if (alpha_code <= 0) return;
  Rule rule = Rule::AlphaMasked;
  int weight = alpha_code;
  if (alpha_code == kAlphaCopy) {
    rule = Rule::Masked;
  } else if (alpha_code > kAlphaCopy) {
    rule = Rule::AddMasked;
    weight = std::min(alpha_code - 256, 255);
  }
  BlitRotated(rule, KeyParams(weight, false, source), x, y, flips, angle, pivot_y, pivot_x,
              src_rect, source, &mask, zoom_y, zoom_x);
}

void TCustomDIBX::StretchDraw(Rect dest, const TCustomDIBX& source, int alpha, DrawOptions options,
                              Rect src_rect) {
  const auto w = Weight(alpha);
  if (!w) return;
  BlitScaled(Rule::Stretch, KeyParams(*w, options.use_key, source), dest, src_rect, options.flips(),
             source, nullptr);
}

void TCustomDIBX::StretchDrawMasked(Rect dest, const TCustomDIBX& source, int alpha,
                                    const TCustomDIBX& mask, FlipOptions flips, Rect src_rect) {
  const auto w = Weight(alpha);
  if (!w) return;
  BlitScaled(*w == 255 ? Rule::Masked : Rule::AlphaMasked, KeyParams(*w, false, source), dest,
             src_rect, flips, source, &mask);
}

void TCustomDIBX::StretchDrawAdd(Rect dest, const TCustomDIBX& source, int alpha,
                                 DrawOptions options, Rect src_rect) {
  const auto w = Weight(alpha);
  if (!w) return;
  BlitScaled(Rule::StretchAdd, KeyParams(*w, options.use_key, source), dest, src_rect,
             options.flips(), source, nullptr);
}

void TCustomDIBX::StretchDrawAddMasked(Rect dest, const TCustomDIBX& source, int alpha,
                                       const TCustomDIBX& mask, FlipOptions flips, Rect src_rect) {
  const auto w = Weight(alpha);
  if (!w) return;
  BlitScaled(Rule::AddMasked, KeyParams(*w, false, source), dest, src_rect, flips, source, &mask);
}

void TCustomDIBX::DrawWithAlphaCode(int x, int y, int alpha_code, const TCustomDIBX* mask,
                                    DrawOptions options, Rect src_rect, const TCustomDIBX& source) {
  if (alpha_code < 1 || alpha_code >= 512) return;
  if (alpha_code < 255) {
    if (mask != nullptr) {
      DrawAlphaMasked(x, y, alpha_code, *mask, options.flips(), src_rect, source);
    } else {
      DrawAlpha(x, y, alpha_code, options, src_rect, source);
    }
  } else if (alpha_code == 255) {
    if (mask != nullptr) {
      DrawMasked(x, y, *mask, options.flips(), src_rect, source);
    } else {
      Draw(x, y, options, src_rect, source);
    }
  } else if (mask != nullptr) {
    DrawAddMasked(x, y, alpha_code - 256, *mask, options.flips(), src_rect, source);
  } else {
    DrawAdd(x, y, alpha_code - 256, options, src_rect, source);
  }
}

}  // namespace novu::render
