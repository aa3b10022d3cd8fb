#pragma once
// TDIBSurface: the in-memory picture under every drawing surface and every frame of a layered
// image. Rows are stored bottom-up, each padded to 4 bytes; `Pitch()` is therefore negative and
// `ScanLine(y)` takes the top-down row index. Pictures of 8 bits or less carry a 256-entry
// palette; any picture may carry an 8-bit alpha mask of its own size.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "core/geometry.h"
#include "render/pixel_format.h"

namespace novu::render {

// Largest accepted width or height; width × height × bytes is computed in 64 bits as well.
inline constexpr int32_t kMaxSurfaceSide = 16384;
inline constexpr int64_t kMaxSurfaceBytes = int64_t{kMaxSurfaceSide} * kMaxSurfaceSide * 4;

class TDIBSurface {
 public:
  TDIBSurface();
  TDIBSurface(int width, int height, int depth) : TDIBSurface() { SetSize(width, height, depth); }
  TDIBSurface(const TDIBSurface&) = delete;
  TDIBSurface& operator=(const TDIBSurface&) = delete;
  TDIBSurface(TDIBSurface&&) noexcept;
  TDIBSurface& operator=(TDIBSurface&&) noexcept;
  ~TDIBSurface();

  // (Re)allocates cleared pixels; an existing mask follows the new size. Throws NovuError for
  // unsupported depths, negative sizes and sizes beyond the limits above.
  void SetSize(int width, int height, int depth);
  // Drops pixels and mask (0 × 0, depth kept).
  void Clear();

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitCount() const { return format_.bit_count; }
  int StorageBitCount() const { return format_.storage_bits; }
  const PixelFormat& Format() const { return format_; }
  bool IsEmpty() const { return width_ == 0 || height_ == 0; }
  Rect Bounds() const { return {0, 0, width_, height_}; }

  // Byte distance from row y to row y + 1 (negative: rows are stored bottom-up).
  ptrdiff_t Pitch() const { return -static_cast<ptrdiff_t>(stride_); }
  size_t Stride() const { return stride_; }
  uint8_t* ScanLine(int y) { return bits_.data() + (height_ - 1 - y) * stride_; }
  const uint8_t* ScanLine(int y) const { return bits_.data() + (height_ - 1 - y) * stride_; }
  std::span<uint8_t> Bits() { return bits_; }
  std::span<const uint8_t> Bits() const { return bits_; }

  uint32_t GetPixel(int x, int y) const;      // 0 outside the picture
  void SetPixel(int x, int y, uint32_t raw);  // ignored outside the picture

  // Palette entries are 0x00RRGGBB (the bytes blue, green, red, 0 of a bitmap file).
  std::array<uint32_t, 256>& Palette() { return palette_; }
  const std::array<uint32_t, 256>& Palette() const { return palette_; }

  // Clip for the copies below; an empty rectangle means the whole picture.
  Rect& ClipRect() { return clip_; }
  const Rect& ClipRect() const { return clip_; }

  // --- mask ---
  TDIBSurface* Mask() { return mask_.get(); }
  const TDIBSurface* Mask() const { return mask_.get(); }
  void EnsureMask();
  void FillMask();
  void DropMask() { mask_.reset(); }
  // Copies the rows of an 8-bit picture of the same size into the mask (creating it).
  void CopyMaskFrom(const TDIBSurface& mask8);
  // Copies `rect` of another picture's mask to the same place of this mask.
  void CopyMaskRect(const TDIBSurface& other, Rect rect);

  // --- copies (destination point, source rectangle, source) ---
  void Copy(int x, int y, Rect src_rect, const TDIBSurface& src);
  void KeyedCopy(int x, int y, Rect src_rect, const TDIBSurface& src, int64_t key);
  void DrawAlpha(int x, int y, Rect src_rect, const TDIBSurface& src, int alpha, int64_t key);
  void DrawMasked(int x, int y, Rect src_rect, const TDIBSurface& src, int alpha);
  void FillRect(Rect rect, uint32_t raw);

  // --- colours ---
  uint32_t NearestPixel(uint8_t r, uint8_t g, uint8_t b) const;
  void PixelComponents(uint32_t raw, uint8_t& r, uint8_t& g, uint8_t& b) const;
  // The colour of a raw pixel with 8-bit channels (palette entry at 8 bits or less).
  void Rgb8Of(uint32_t raw, uint8_t& r, uint8_t& g, uint8_t& b) const;

  // --- shape ---
  Rect TrimBounds(int64_t key) const;
  void TrimTo(int64_t key);
  void Crop(Rect rect);
  void MirrorH();
  void MirrorV();

  // Format, palette, pixels and mask.
  void AssignFrom(const TDIBSurface& other);

  // --- resampling and whole-picture filters (picture_filters.cpp) ---
  // High-quality resize: shrinking averages the covered area, enlarging interpolates between
  // the four neighbours; pixels equal to the raw key (-1: none) are left out. The mask is
  // resized the same way. keep_depth: back to this depth (palette pictures by nearest colour);
  // otherwise the result stays 24-bit. Sizes of 0 or less, or the same size, change nothing.
  void Resize(int width, int height, int64_t key, bool keep_depth);
  // Grey = trunc(0.3588 R) + trunc(0.402 G) + trunc(0.2392 B), at `depth` (a grey ramp palette
  // at 8 bits or less).
  void ToGrey(int depth);
  // Every pixel's bits inverted.
  void Negative();
  // Box blur of the colour channels over (2 radius + 1)² pixels; palette pictures are unchanged.
  void Blur(int radius);

 private:
  struct CopyArea {
    int dx, dy, sx, sy, width, height;
  };
  std::optional<CopyArea> ClipCopy(int x, int y, Rect src_rect, const TDIBSurface& src) const;
  bool CanCopyRaw(const TDIBSurface& src) const;
  template <typename PixelFn>
  void ForEachCopied(const CopyArea& a, const TDIBSurface& src, PixelFn fn);

  int width_ = 0;
  int height_ = 0;
  PixelFormat format_;
  size_t stride_ = 0;
  std::vector<uint8_t> bits_;
  std::array<uint32_t, 256> palette_{};
  Rect clip_{};
  std::unique_ptr<TDIBSurface> mask_;
};

}  // namespace novu::render
