#include "imagefmt/fipo_frame_list.h"

#include <string>

#include "core/cp932.h"
#include "imagefmt/png_transparency.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "render/image_codecs.h"

namespace novu::imagefmt {
namespace {

using render::TDIBSurface;

// A 32-bit bitmap keeps its mask in the fourth byte of every pixel; the picture becomes 24-bit.
// Bitmaps whose fourth bytes are all 0 were never meant to carry one (most writers leave them
// so), and would otherwise turn fully transparent: they stay opaque.
void SplitBitmapMask(TDIBSurface& picture) {
  if (picture.BitCount() != 32) return;
  bool any_alpha = false;
  for (int y = 0; y < picture.Height() && !any_alpha; ++y) {
    const uint8_t* row = picture.ScanLine(y);
    for (int x = 0; x < picture.Width(); ++x) {
      if (row[4 * x + 3] != 0) {
        any_alpha = true;
        break;
      }
    }
  }
  TDIBSurface rgb(picture.Width(), picture.Height(), 24);
  if (any_alpha) rgb.EnsureMask();
  for (int y = 0; y < picture.Height(); ++y) {
    const uint8_t* s = picture.ScanLine(y);
    uint8_t* d = rgb.ScanLine(y);
    uint8_t* m = any_alpha ? rgb.Mask()->ScanLine(y) : nullptr;
    for (int x = 0; x < picture.Width(); ++x, s += 4, d += 3) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
      if (m) m[x] = s[3];
    }
  }
  picture = std::move(rgb);
}

}  // namespace

void TFipoFrameList::Clear() {
  frames_.clear();
  version_ = 0;
}

TFipoFrame& TFipoFrameList::AddFrame() {
  return frames_.emplace_back();
}

void TFipoFrameList::MakeMasks() {
  for (TFipoFrame& frame : frames_) frame.MakeMask();
}

void TFipoFrameList::LoadFromFile(const std::filesystem::path& path, bool first_frame_only) {
  Clear();
  const std::string ext = cp932::ToLower(path.extension().string());
  if (ext != ".fip" && ext != ".png" && ext != ".bmp" && ext != ".dib") return;
  const auto bytes = platform::ReadWholeFile(path);
  if (!bytes) throw NovuError::FromUtf8("Cannot read " + path.string());
  if (ext == ".fip") return LoadFromStream(*bytes, first_frame_only);
  TFipoFrame& frame = AddFrame();
  try {
    if (ext == ".png") {
      frame.picture = render::DecodePng(*bytes);
      // A transparent colour (not an alpha channel) becomes the frame's key, not a mask.
      if (const auto colour = PngTransparentColour(*bytes)) {
        frame.picture.DropMask();
        frame.key_value = static_cast<int32_t>(*colour);
        frame.key_colour = PixelColour(frame.picture, *colour);
      }
    } else {
      frame.picture = render::DecodeBmp(*bytes);
      SplitBitmapMask(frame.picture);
    }
  } catch (...) {
    Clear();
    throw;
  }
}

void TFipoFrameList::SaveToFile(const std::filesystem::path& path) const {
  SaveOptions options;
  options.compression = Compression::kDeflate;
  options.quality = 70;
  platform::WriteFileAtomically(path, SaveToStream(options));
}

}  // namespace novu::imagefmt
