#pragma once
// TCustomDIBX: the drawing surface every pixel of the player passes through. It fixes the pixel
// formats, the clip rectangle, the transparent key colour and the drawing operations; the
// per-pixel arithmetic is the same whatever holds the pixels (TDIBX owns a picture in memory,
// TDIBXWave forwards into another surface with a per-row shift).
//
// Colours from scripts are 0x00BBGGRR and become raw pixels through ColorToPixel; every other
// colour argument here is a raw pixel of this surface's format. Source rectangles are clamped
// to their source and every draw is clipped, so no argument can reach outside a surface.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "core/geometry.h"
#include "render/draw_options.h"
#include "render/pixel_format.h"
#include "render/pixel_kernels.h"

namespace novu::render {

class TDIBSurface;

// Alpha codes of image controls: 1-254 blend, 255 copy, 256-511 add with weight code - 256.
inline constexpr int kAlphaCopy = 255;

class TCustomDIBX {
 public:
  TCustomDIBX() = default;
  TCustomDIBX(const TCustomDIBX&) = delete;
  TCustomDIBX& operator=(const TCustomDIBX&) = delete;
  virtual ~TCustomDIBX() = default;

  // --- format and size ---
  virtual bool IsEmpty() const { return Width() == 0 || Height() == 0; }
  virtual int BitCount() const { return 0; }
  virtual void SetBitCount(int) {}
  uint32_t RedMask() const { return Format().red.mask; }
  uint32_t GreenMask() const { return Format().green.mask; }
  uint32_t BlueMask() const { return Format().blue.mask; }
  int RedShift() const { return Format().red.shift; }
  int GreenShift() const { return Format().green.shift; }
  int BlueShift() const { return Format().blue.shift; }
  virtual ptrdiff_t Pitch() const { return 0; }
  virtual uint32_t GetPixel(int, int) const { return 0; }
  virtual void SetPixel(int, int, uint32_t) {}
  virtual int Height() const { return height_; }
  virtual int Width() const { return width_; }
  virtual TCustomDIBX& Target() { return *this; }
  virtual int StorageBitCount() const { return BitCount(); }
  virtual void SetSize(int width, int height, int depth);
  virtual void ResetSize() { width_ = height_ = 0; }
  // The pixel format of BitCount() (a 32-bit format for a surface without pixels).
  virtual const PixelFormat& Format() const;

  // Address of pixel (x, y) (row 0 is the top row), or null when there are no pixels. Pixels
  // are mutable through a const surface, like the elements of a span.
  virtual uint8_t* ScanPointer(int x, int y) const;
  virtual void ReleaseScan() const {}

  // --- clip ---
  // No clip set: the whole surface is used. A set clip that meets nothing draws nothing.
  const Rect& ClipRect() const { return clip_; }
  bool HasClip() const { return has_clip_; }
  virtual void SetClipRect(const Rect& rect);
  virtual void ResetClip();
  virtual void IncludeClip(Rect rect);
  // The rectangle drawing is limited to (empty when the clip meets nothing).
  virtual Rect DrawableRect() const;
  // Puts back a clip saved from ClipRect() and HasClip().
  virtual void RestoreClip(const Rect& rect, bool has_clip);

  int64_t KeyColor() const { return key_colour_; }
  void SetKeyColor(int64_t raw) { key_colour_ = raw; }

  int32_t ColorToPixel(int32_t colour) const { return Format().ColorToPixel(colour); }

  // --- fills ---
  virtual void Clear(uint32_t raw);
  virtual void FillRect(Rect rect, uint32_t raw);
  virtual void BlendRect(Rect rect, uint32_t raw, int alpha);
  virtual void AddRect(Rect rect, uint32_t raw);
  virtual void SubRect(Rect rect, uint32_t raw);
  void FrameRect(Rect rect, int thickness, uint32_t raw);
  void BlendFrame(Rect rect, int thickness, int alpha, uint32_t raw);
  void AddFrame(Rect rect, int thickness, uint32_t raw);

  // --- copies and blends ---
  virtual void Assign(const TCustomDIBX& source);
  virtual void Draw(int x, int y, DrawOptions options, Rect src_rect, const TCustomDIBX& source);
  virtual void DrawMasked(int x, int y, const TCustomDIBX& mask, FlipOptions flips, Rect src_rect,
                          const TCustomDIBX& source);
  virtual void DrawAlpha(int x, int y, int alpha, DrawOptions options, Rect src_rect,
                         const TCustomDIBX& source);
  virtual void DrawAlphaMasked(int x, int y, int alpha, const TCustomDIBX& mask, FlipOptions flips,
                               Rect src_rect, const TCustomDIBX& source);
  // The key is always tested (when the source has one).
  virtual void DrawAdd(int x, int y, int alpha, DrawOptions options, Rect src_rect,
                       const TCustomDIBX& source);
  virtual void DrawAddMasked(int x, int y, int alpha, const TCustomDIBX& mask, FlipOptions flips,
                             Rect src_rect, const TCustomDIBX& source);
  // The alpha rule of pictures: an alpha code of 1-254 blends, 255 copies, 256-511 adds
  // (code - 256); through `mask` when there is one. Other codes draw nothing.
  void DrawWithAlphaCode(int x, int y, int alpha_code, const TCustomDIBX* mask, DrawOptions options,
                         Rect src_rect, const TCustomDIBX& source);
  // Paints `raw` through the coverage of an 8-bit mask; nothing when src_rect leaves the mask.
  virtual void DrawMaskColor(int x, int y, int alpha, uint32_t raw, FlipOptions flips,
                             Rect src_rect, const TCustomDIBX& mask);

  // --- rotated and scaled ---
  virtual void DrawRotate(int x, int y, int alpha_code, DrawOptions options, int angle, int pivot_y,
                          int pivot_x, Rect src_rect, const TCustomDIBX& source, int zoom_y,
                          int zoom_x);
  virtual void DrawRotateMasked(int x, int y, int alpha_code, const TCustomDIBX& mask,
                                FlipOptions flips, int angle, int pivot_y, int pivot_x,
                                Rect src_rect, const TCustomDIBX& source, int zoom_y, int zoom_x);
  virtual void StretchDraw(Rect dest, const TCustomDIBX& source, int alpha, DrawOptions options,
                           Rect src_rect);
  virtual void StretchDrawMasked(Rect dest, const TCustomDIBX& source, int alpha,
                                 const TCustomDIBX& mask, FlipOptions flips, Rect src_rect);
  virtual void StretchDrawAdd(Rect dest, const TCustomDIBX& source, int alpha, DrawOptions options,
                              Rect src_rect);
  virtual void StretchDrawAddMasked(Rect dest, const TCustomDIBX& source, int alpha,
                                    const TCustomDIBX& mask, FlipOptions flips, Rect src_rect);

  // --- glyphs (1-bit and 4-bit supersampled sources) ---
  virtual void DrawGlyph(int x, int y, int factor, int alpha, FlipOptions flips, uint32_t raw,
                         Rect src_rect, const TDIBSurface& glyph);
  virtual void DrawGlyph3(int x, int y, int factor, int alpha, const std::array<uint32_t, 3>& raws,
                          FlipOptions flips, Rect src_rect, const TDIBSurface& glyph);

  // --- tiles ---
  void TileRect(Rect rect, const TCustomDIBX& source, FlipOptions flips, int phase_y, int phase_x);
  void TileDraw(Rect rect, int gap_x, int offset_y, int offset_x, DrawOptions options,
                Rect src_rect, const TCustomDIBX& source, int gap_y);
  void TileDrawAlpha(Rect rect, int gap_x, int offset_y, int offset_x, int alpha,
                     DrawOptions options, Rect src_rect, const TCustomDIBX& source, int gap_y);
  void TileDrawAdd(Rect rect, int gap_x, int offset_y, int offset_x, int alpha, DrawOptions options,
                   Rect src_rect, const TCustomDIBX& source, int gap_y);
  void TileDrawMasked(Rect rect, int gap_x, int offset_y, int offset_x, const TCustomDIBX& mask,
                      FlipOptions flips, Rect src_rect, const TCustomDIBX& source, int gap_y);
  void TileDrawAlphaMasked(Rect rect, int gap_x, int offset_y, int offset_x, int alpha,
                           const TCustomDIBX& mask, FlipOptions flips, Rect src_rect,
                           const TCustomDIBX& source, int gap_y);
  void TileDrawAddMasked(Rect rect, int gap_x, int offset_y, int offset_x, int alpha,
                         const TCustomDIBX& mask, FlipOptions flips, Rect src_rect,
                         const TCustomDIBX& source, int gap_y);
  void TileStretch(Rect rect, int pitch_x, int offset_y, int offset_x, int alpha_code,
                   DrawOptions options, Rect src_rect, const TCustomDIBX& source, int zoom_y,
                   int zoom_x, int pitch_y);
  void TileStretchMasked(Rect rect, int pitch_x, int offset_y, int offset_x, int alpha_code,
                         FlipOptions flips, const TCustomDIBX& mask, Rect src_rect,
                         const TCustomDIBX& source, int zoom_y, int zoom_x, int pitch_y);
  void DrawEdgeTiles(Rect rect, int thickness, int phase_y, int phase_x, const TCustomDIBX& source);
  virtual void ZoomTile(Rect rect, int zoom_x, int alpha_code, DrawOptions options, int offset_y,
                        int offset_x, const TCustomDIBX& source, int zoom_y);
  virtual void ZoomTileMasked(Rect rect, int zoom_x, int alpha_code, FlipOptions flips,
                              const TCustomDIBX& mask, int offset_y, int offset_x,
                              const TCustomDIBX& source, int zoom_y);

  // --- indexed sources ---
  // 4-bit indices into `table` (4-byte raw entries); the index equal to the source key is skipped.
  virtual void DrawIndexed4(int x, int y, std::span<const uint32_t> table, int alpha,
                            FlipOptions flips, Rect src_rect, const TDIBSurface& source,
                            int64_t source_key);
  // 8-bit indices; indices below `lowest` are skipped, the others add their table entry.
  virtual void DrawIndexedAdd(int x, int y, std::span<const uint32_t> table, int alpha,
                              FlipOptions flips, int lowest, Rect src_rect,
                              const TDIBSurface& source);
  virtual void StretchDrawIndexed(Rect dest, const TDIBSurface& source,
                                  std::span<const uint32_t> table, int alpha, FlipOptions flips,
                                  int lowest, Rect src_rect);

  // --- palette (256 entries of 0x00RRGGBB) ---
  virtual std::array<uint32_t, 256> GetPalette() const { return {}; }
  virtual void SetPalette(const std::array<uint32_t, 256>&) {}
  // Entries [first, first + count) of the 256, cut to the ones that exist.
  std::vector<uint32_t> GetPaletteEntries(int first, int count) const;
  void SetPaletteEntries(int first, std::span<const uint32_t> entries);

  // Draw regions and the second region list of a layered-image frame, carried for controls.
  std::vector<Rect>& DrawRegions() { return draw_regions_; }
  std::vector<Rect>& SecondRegions() { return second_regions_; }

 protected:
  // Everything the pixel loops need of one surface; top is null when it has no pixels.
  SurfaceRows RowsOf() const;
  // Runs a 1:1 rule from `source` (and `mask`) into this surface.
  void BlitDirect(Rule rule, const RuleParams& p, int x, int y, FlipOptions flips, Rect src_rect,
                  const TCustomDIBX& source, const TCustomDIBX* mask);
  void BlitScaled(Rule rule, const RuleParams& p, Rect dest, Rect src_rect, FlipOptions flips,
                  const TCustomDIBX& source, const TCustomDIBX* mask);
  // Runs a sampled draw whose positions (already inside source and mask) were worked out.
  void BlitSampled(Rule rule, const RuleParams& p, const ScaledBlit& plan,
                   const TCustomDIBX& source, const TCustomDIBX* mask);
  void BlitRotated(Rule rule, const RuleParams& p, int x, int y, FlipOptions flips, int angle,
                   int pivot_y, int pivot_x, Rect src_rect, const TCustomDIBX& source,
                   const TCustomDIBX* mask, int zoom_y, int zoom_x);
  void FillWith(Rule rule, const RuleParams& p, Rect rect);
  // Runs `draw` with the clip narrowed to `rect`, restoring the clip afterwards.
  template <typename Fn>
  void WithClip(const Rect& rect, Fn&& draw);
  template <typename DrawOne>
  void TileCopies(Rect rect, int gap_x, int gap_y, int offset_x, int offset_y, Rect src_rect,
                  const TCustomDIBX& source, DrawOne&& draw_one);

  int width_ = 0;
  int height_ = 0;

 private:
  void Band(Rect rect, int thickness, const std::function<void(Rect)>& fill);
  void DrawConverted(int x, int y, DrawOptions options, Rect src_rect, const TCustomDIBX& source);

  Rect clip_{};
  bool has_clip_ = false;
  int64_t key_colour_ = -1;
  std::vector<Rect> draw_regions_;
  std::vector<Rect> second_regions_;
};

}  // namespace novu::render
