#include "imagefmt/picture_conversion.h"

#include <string>
#include <unordered_map>

#include "platform/error.h"
#include "render/image_codecs.h"
#include "render/pixel_access.h"

namespace novu::imagefmt {
namespace {

using render::TDIBSurface;

uint32_t Rgb(const TDIBSurface& s, uint32_t raw) {
  uint8_t r, g, b;
  s.Rgb8Of(raw, r, g, b);
  return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

void ToPalette(const TDIBSurface& src, TDIBSurface& dst) {
  const size_t capacity = size_t{1} << dst.BitCount();
  std::unordered_map<uint32_t, uint32_t> index_of;
  const int bits = dst.StorageBitCount();
  for (int y = 0; y < src.Height(); ++y) {
    uint8_t* row = dst.ScanLine(y);
    for (int x = 0; x < src.Width(); ++x) {
      const uint32_t colour = Rgb(src, src.GetPixel(x, y));
      auto it = index_of.find(colour);
      if (it == index_of.end()) {
        if (index_of.size() == capacity) {
          throw NovuError::FromUtf8("The picture has more than " + std::to_string(capacity) +
                                    " colours");
        }
        const auto index = static_cast<uint32_t>(index_of.size());
        dst.Palette()[index] = colour;
        it = index_of.emplace(colour, index).first;
      }
      render::StoreRaw(row, x, bits, it->second);
    }
  }
}

}  // namespace

TDIBSurface ConvertToDepth(const TDIBSurface& picture, int depth) {
  TDIBSurface out(picture.Width(), picture.Height(), depth);
  if (depth <= 8) {
    ToPalette(picture, out);
  } else {
    for (int y = 0; y < picture.Height(); ++y) {
      uint8_t* row = out.ScanLine(y);
      for (int x = 0; x < picture.Width(); ++x) {
        const uint32_t c = Rgb(picture, picture.GetPixel(x, y));
        render::StoreRaw(row, x, out.StorageBitCount(),
                         depth >= 24 ? c
                                     : out.Format().FromRgb8(static_cast<uint8_t>(c >> 16),
                                                             static_cast<uint8_t>(c >> 8),
                                                             static_cast<uint8_t>(c)));
      }
    }
  }
  if (picture.Mask()) out.CopyMaskFrom(*picture.Mask());
  return out;
}

std::vector<uint8_t> EncodeFramePng(const TFipoFrame& frame) {
  TDIBSurface rgba;
  rgba.AssignFrom(frame.picture);
  if (!rgba.Mask()) rgba.FillMask();
  return render::EncodePng(rgba);
}

}  // namespace novu::imagefmt
