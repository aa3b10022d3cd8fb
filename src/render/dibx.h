#pragma once
// TDIBX: a drawing surface over a bottom-up picture in memory (TDIBSurface). Every surface the
// player creates is one: the screen, the buffers of bases and controls, decoded images, masks
// and transition buffers.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

#include "platform/window.h"
#include "render/custom_dibx.h"
#include "render/dib_surface.h"

namespace novu::render {

// A dirty rectangle for the window's Present.
inline platform::PixelRect ToPixelRect(const Rect& r) {
  return {r.left, r.top, r.right, r.bottom};
}

// Decodes frame 0 of a layered image. The layered-image module, which sits above the surfaces,
// implements it; whoever loads such data into a surface hands one in.
class LayeredImageDecoder {
 public:
  virtual ~LayeredImageDecoder() = default;
  virtual void DecodeFrameZero(std::span<const uint8_t> data, int32_t code,
                               TDIBSurface& out) const = 0;
};

class TDIBX : public TCustomDIBX {
 public:
  // A 1 × 1 picture at 15 bits.
  TDIBX();
  // Draws into a picture owned elsewhere (a layered-image frame); it is not freed with this
  // surface until MakeUnique gives the surface a private copy.
  explicit TDIBX(TDIBSurface& borrowed);
  ~TDIBX() override;

  int BitCount() const override { return dib_->BitCount(); }
  const PixelFormat& Format() const override { return dib_->Format(); }
  // Keeps the size; the pixels are cleared.
  void SetBitCount(int depth) override;
  ptrdiff_t Pitch() const override { return dib_->Pitch(); }
  uint32_t GetPixel(int x, int y) const override { return dib_->GetPixel(x, y); }
  void SetPixel(int x, int y, uint32_t raw) override { dib_->SetPixel(x, y, raw); }
  int Height() const override { return dib_->Height(); }
  int Width() const override { return dib_->Width(); }
  int StorageBitCount() const override { return dib_->StorageBitCount(); }
  void SetSize(int width, int height, int depth) override;
  // The picture becomes 8 × 8.
  void ResetSize() override;
  uint8_t* ScanPointer(int x, int y) const override;

  std::array<uint32_t, 256> GetPalette() const override { return dib_->Palette(); }
  void SetPalette(const std::array<uint32_t, 256>& palette) override { dib_->Palette() = palette; }

  TDIBSurface& Surface() { return *dib_; }
  const TDIBSurface& Surface() const { return *dib_; }
  bool IsBorrowed() const { return !owned_; }
  void MakeUnique();

  // The pixels as a frame for the window (no copy): 32-bit surfaces only, otherwise an empty
  // view. Valid until the surface is resized or destroyed.
  platform::FrameView PresentView() const;

  // Loads ".bmp" files (any other extension leaves the surface unchanged). Throws NovuError
  // when the file cannot be read or is not a valid bitmap.
  void LoadFromFile(const std::filesystem::path& path);
  // "BM" at offset 0: a Windows bitmap; "PNG" at offset 1: a PNG image; "Fipo" at offset 0: frame
  // 0 of a layered image with the identification code, through `layered` (without one such data
  // is refused). The surface is resized to the image at its current depth.
  void LoadFromStream(std::span<const uint8_t> data, int32_t code,
                      const LayeredImageDecoder* layered = nullptr);
  // Writes ".bmp" names only, as a 24-bit bitmap (crash-safe: temporary file, then rename).
  void SaveToFile(const std::filesystem::path& path) const;

 private:
  void TakeImage(const TDIBSurface& image);

  std::unique_ptr<TDIBSurface> owned_;
  TDIBSurface* dib_;
};

}  // namespace novu::render
