#include "render/dib_surface.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/error.h"
#include "render/pixel_access.h"

namespace novu::render {
namespace {

// Ordered-dither thresholds of the 4 × 4 pattern, row by row.
constexpr uint8_t kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

size_t RowStride(int width, int storage_bits) {
  return ((static_cast<size_t>(width) * storage_bits + 31) / 32) * 4;
}

uint32_t BlendChannels(const PixelFormat& f, uint32_t d, uint32_t s, uint32_t w, bool div255) {
  uint32_t out = 0;
  for (const ChannelLayout* ch : {&f.red, &f.green, &f.blue}) {
    const uint32_t sum = ch->Get(d) * (255 - w) + ch->Get(s) * w;
    out |= (div255 ? sum / 255 : sum >> 8) << ch->shift;
  }
  return out;
}

}  // namespace

TDIBSurface::TDIBSurface() : format_(PixelFormat::ForDepth(32)) {}
TDIBSurface::~TDIBSurface() = default;
TDIBSurface::TDIBSurface(TDIBSurface&&) noexcept = default;
TDIBSurface& TDIBSurface::operator=(TDIBSurface&&) noexcept = default;

void TDIBSurface::SetSize(int width, int height, int depth) {
  const PixelFormat format = PixelFormat::ForDepth(depth);
  if (width < 0 || height < 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) {
    throw NovuError::FromUtf8("Picture size out of range: " + std::to_string(width) + " x " +
                              std::to_string(height));
  }
  const size_t stride = RowStride(width, format.storage_bits);
  const int64_t bytes = static_cast<int64_t>(stride) * height;
  if (bytes > kMaxSurfaceBytes) {
    throw NovuError::FromUtf8("Picture too large: " + std::to_string(bytes) + " bytes");
  }
  std::vector<uint8_t> bits(static_cast<size_t>(bytes), 0);
  bits_.swap(bits);
  width_ = width;
  height_ = height;
  format_ = format;
  stride_ = stride;
  if (mask_ && (mask_->width_ != width || mask_->height_ != height)) {
    mask_->SetSize(width, height, 8);
  }
}

void TDIBSurface::Clear() {
  bits_.clear();
  width_ = height_ = 0;
  stride_ = 0;
  mask_.reset();
}

uint32_t TDIBSurface::GetPixel(int x, int y) const {
  if (!Bounds().Contains(x, y)) return 0;
  return LoadRaw(ScanLine(y), x, format_.storage_bits);
}

void TDIBSurface::SetPixel(int x, int y, uint32_t raw) {
  if (!Bounds().Contains(x, y)) return;
  StoreRaw(ScanLine(y), x, format_.storage_bits, raw);
}

// --- mask -------------------------------------------------------------------------------

void TDIBSurface::EnsureMask() {
  if (!mask_) mask_ = std::make_unique<TDIBSurface>();
  if (mask_->width_ != width_ || mask_->height_ != height_ || mask_->BitCount() != 8) {
    mask_->SetSize(width_, height_, 8);
  }
}

void TDIBSurface::FillMask() {
  EnsureMask();
  std::fill(mask_->bits_.begin(), mask_->bits_.end(), uint8_t{255});
}

void TDIBSurface::CopyMaskFrom(const TDIBSurface& mask8) {
  if (mask8.BitCount() != 8 || mask8.width_ != width_ || mask8.height_ != height_) {
    throw NovuError::FromUtf8("Mask does not match the picture");
  }
  EnsureMask();
  mask_->bits_ = mask8.bits_;
}

void TDIBSurface::CopyMaskRect(const TDIBSurface& other, Rect rect) {
  if (!other.mask_) return;
  EnsureMask();
  rect = Intersect(Intersect(rect, Bounds()), other.Bounds());
  if (rect.IsEmpty()) return;
  for (int y = rect.top; y < rect.bottom; ++y) {
    std::memcpy(mask_->ScanLine(y) + rect.left, other.mask_->ScanLine(y) + rect.left,
                static_cast<size_t>(rect.Width()));
  }
}

// --- copies -----------------------------------------------------------------------------

std::optional<TDIBSurface::CopyArea> TDIBSurface::ClipCopy(int x, int y, Rect src_rect,
                                                           const TDIBSurface& src) const {
  const Rect clamped = Intersect(src_rect, src.Bounds());
  if (clamped.IsEmpty()) return std::nullopt;
  x += clamped.left - src_rect.left;
  y += clamped.top - src_rect.top;
  const Rect clip = clip_.IsEmpty() ? Bounds() : Intersect(clip_, Bounds());
  const Rect dest = Intersect(MakeRect(x, y, clamped.Width(), clamped.Height()), clip);
  if (dest.IsEmpty()) return std::nullopt;
  return CopyArea{
      dest.left,    dest.top,     clamped.left + (dest.left - x), clamped.top + (dest.top - y),
      dest.Width(), dest.Height()};
}

bool TDIBSurface::CanCopyRaw(const TDIBSurface& src) const {
  return src.format_.bit_count == format_.bit_count;
}

template <typename PixelFn>
void TDIBSurface::ForEachCopied(const CopyArea& a, const TDIBSurface& src, PixelFn fn) {
  const bool raw = CanCopyRaw(src);
  for (int j = 0; j < a.height; ++j) {
    uint8_t* drow = ScanLine(a.dy + j);
    const uint8_t* srow = src.ScanLine(a.sy + j);
    for (int i = 0; i < a.width; ++i) {
      uint32_t s = LoadRaw(srow, a.sx + i, src.format_.storage_bits);
      if (!raw) {
        uint8_t r, g, b;
        src.Rgb8Of(s, r, g, b);
        s = NearestPixel(r, g, b);
      }
      uint32_t d = LoadRaw(drow, a.dx + i, format_.storage_bits);
      if (fn(a.dx + i, a.dy + j, a.sx + i, a.sy + j, s, d)) {
        StoreRaw(drow, a.dx + i, format_.storage_bits, d);
      }
    }
  }
}

void TDIBSurface::Copy(int x, int y, Rect src_rect, const TDIBSurface& src) {
  const auto area = ClipCopy(x, y, src_rect, src);
  if (!area) return;
  if (CanCopyRaw(src) && format_.storage_bits >= 8) {
    const size_t bpp = format_.BytesPerPixel();
    for (int j = 0; j < area->height; ++j) {
      std::memmove(ScanLine(area->dy + j) + area->dx * bpp,
                   src.ScanLine(area->sy + j) + area->sx * bpp, area->width * bpp);
    }
    return;
  }
  ForEachCopied(*area, src, [](int, int, int, int, uint32_t s, uint32_t& d) {
    d = s;
    return true;
  });
}

void TDIBSurface::KeyedCopy(int x, int y, Rect src_rect, const TDIBSurface& src, int64_t key) {
  const auto area = ClipCopy(x, y, src_rect, src);
  if (!area) return;
  ForEachCopied(*area, src, [&](int, int, int sx, int sy, uint32_t s, uint32_t& d) {
    if (key >= 0 &&
        LoadRaw(src.ScanLine(sy), sx, src.format_.storage_bits) == static_cast<uint64_t>(key)) {
      return false;
    }
    d = s;
    return true;
  });
}

void TDIBSurface::DrawAlpha(int x, int y, Rect src_rect, const TDIBSurface& src, int alpha,
                            int64_t key) {
  if (alpha == 0) return;
  if (alpha > 254 || alpha < 0) return KeyedCopy(x, y, src_rect, src, key);
  const auto area = ClipCopy(x, y, src_rect, src);
  if (!area) return;
  auto is_key = [&](int sx, int sy) {
    return key >= 0 &&
           LoadRaw(src.ScanLine(sy), sx, src.format_.storage_bits) == static_cast<uint32_t>(key);
  };
  if (format_.bit_count <= 8) {
    const int level = alpha / 16;
    if (level > 14) return KeyedCopy(x, y, src_rect, src, key);
    ForEachCopied(*area, src, [&](int dx, int dy, int sx, int sy, uint32_t s, uint32_t& d) {
      // Level n copies the cells whose threshold is below n: alpha 128 gives half of each block.
      if (kBayer4[dy & 3][dx & 3] >= level || is_key(sx, sy)) return false;
      d = s;
      return true;
    });
    return;
  }
  const bool div255 = format_.bit_count != 32;
  const uint32_t w = static_cast<uint32_t>(alpha);
  ForEachCopied(*area, src, [&](int, int, int sx, int sy, uint32_t s, uint32_t& d) {
    if (is_key(sx, sy)) return false;
    d = BlendChannels(format_, d, s, w, div255);
    return true;
  });
}

void TDIBSurface::DrawMasked(int x, int y, Rect src_rect, const TDIBSurface& src, int alpha) {
  const TDIBSurface* mask = src.mask_.get();
  if (!mask) return DrawAlpha(x, y, src_rect, src, alpha, -1);
  const auto area = ClipCopy(x, y, src_rect, src);
  if (!area) return;
  const bool low_depth = format_.bit_count <= 8;
  const bool weighted = format_.bit_count == 24 && alpha < 255;
  ForEachCopied(*area, src, [&](int, int, int sx, int sy, uint32_t s, uint32_t& d) {
    const uint32_t m = mask->ScanLine(sy)[sx];
    if (low_depth) {
      if (m < 128) return false;
      d = s;
      return true;
    }
    if (weighted) {
      const uint32_t am = static_cast<uint32_t>(std::clamp(alpha, 0, 255)) * m;
      if (am < 256) return false;
      d = BlendChannels(format_, d, s, am >> 8, false);
      return true;
    }
    if (m == 0) return false;
    d = m == 255 ? s : BlendChannels(format_, d, s, m, false);
    return true;
  });
}

void TDIBSurface::FillRect(Rect rect, uint32_t raw) {
  rect = Intersect(rect, Bounds());
  if (rect.IsEmpty()) return;
  for (int y = rect.top; y < rect.bottom; ++y) {
    uint8_t* row = ScanLine(y);
    for (int x = rect.left; x < rect.right; ++x) StoreRaw(row, x, format_.storage_bits, raw);
  }
}

// --- colours ----------------------------------------------------------------------------

uint32_t TDIBSurface::NearestPixel(uint8_t r, uint8_t g, uint8_t b) const {
  if (format_.bit_count > 8) {
    if (format_.bit_count >= 24) return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
    return format_.FromRgb8(r, g, b);
  }
  const int entries = 1 << format_.bit_count;
  uint32_t best = 0;
  int best_distance = 1 << 30;
  for (int i = 0; i < entries; ++i) {
    const uint32_t p = palette_[i];
    const int dr = static_cast<int>((p >> 16) & 0xFF) - r;
    const int dg = static_cast<int>((p >> 8) & 0xFF) - g;
    const int db = static_cast<int>(p & 0xFF) - b;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < best_distance) {
      best_distance = distance;
      best = static_cast<uint32_t>(i);
    }
  }
  return best;
}

void TDIBSurface::PixelComponents(uint32_t raw, uint8_t& r, uint8_t& g, uint8_t& b) const {
  if (format_.bit_count <= 8) {
    const uint32_t p = palette_[raw & 0xFF];
    r = static_cast<uint8_t>(p >> 16);
    g = static_cast<uint8_t>(p >> 8);
    b = static_cast<uint8_t>(p);
    return;
  }
  r = static_cast<uint8_t>(format_.red.Get(raw));
  g = static_cast<uint8_t>(format_.green.Get(raw));
  b = static_cast<uint8_t>(format_.blue.Get(raw));
}

void TDIBSurface::Rgb8Of(uint32_t raw, uint8_t& r, uint8_t& g, uint8_t& b) const {
  if (format_.bit_count <= 8) return PixelComponents(raw, r, g, b);
  format_.ToRgb8(raw, r, g, b);
}

// --- shape ------------------------------------------------------------------------------

Rect TDIBSurface::TrimBounds(int64_t key) const {
  if (key < 0) return Bounds();
  Rect box{width_, height_, 0, 0};
  for (int y = 0; y < height_; ++y) {
    const uint8_t* row = ScanLine(y);
    for (int x = 0; x < width_; ++x) {
      if (LoadRaw(row, x, format_.storage_bits) == static_cast<uint32_t>(key)) continue;
      box = Union(box, Rect{x, y, x + 1, y + 1});
    }
  }
  return box.IsEmpty() ? Rect{} : box;
}

void TDIBSurface::TrimTo(int64_t key) {
  const Rect box = TrimBounds(key);
  Crop(box.IsEmpty() ? Rect{0, 0, 1, 1} : box);
}

void TDIBSurface::Crop(Rect rect) {
  rect = Intersect(rect, Bounds());
  if (rect.IsEmpty()) rect = {0, 0, std::min(1, width_), std::min(1, height_)};
  TDIBSurface cropped(rect.Width(), rect.Height(), format_.bit_count);
  cropped.palette_ = palette_;
  cropped.Copy(0, 0, rect, *this);
  if (mask_) {
    cropped.EnsureMask();
    cropped.mask_->Copy(0, 0, rect, *mask_);
  }
  AssignFrom(cropped);
}

void TDIBSurface::MirrorH() {
  for (int y = 0; y < height_; ++y) {
    uint8_t* row = ScanLine(y);
    for (int l = 0, r = width_ - 1; l < r; ++l, --r) {
      const uint32_t a = LoadRaw(row, l, format_.storage_bits);
      StoreRaw(row, l, format_.storage_bits, LoadRaw(row, r, format_.storage_bits));
      StoreRaw(row, r, format_.storage_bits, a);
    }
  }
  if (mask_) mask_->MirrorH();
}

void TDIBSurface::MirrorV() {
  for (int t = 0, b = height_ - 1; t < b; ++t, --b) {
    std::swap_ranges(ScanLine(t), ScanLine(t) + stride_, ScanLine(b));
  }
  if (mask_) mask_->MirrorV();
}

void TDIBSurface::AssignFrom(const TDIBSurface& other) {
  if (&other == this) return;
  width_ = other.width_;
  height_ = other.height_;
  format_ = other.format_;
  stride_ = other.stride_;
  bits_ = other.bits_;
  palette_ = other.palette_;
  clip_ = other.clip_;
  if (other.mask_) {
    auto mask = std::make_unique<TDIBSurface>();
    mask->AssignFrom(*other.mask_);
    mask_ = std::move(mask);
  } else {
    mask_.reset();
  }
}

}  // namespace novu::render
