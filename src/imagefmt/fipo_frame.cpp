#include "imagefmt/fipo_frame.h"

#include <algorithm>
#include <cstring>

#include "render/pixel_access.h"

namespace novu::imagefmt {
namespace {

using render::TDIBSurface;

// The box of pixels for which `differs(row, x)` holds, or an empty rectangle: columns from the
// left and the right, rows from the top and the bottom, each stopping at the first line hit.
template <typename Differs>
Rect ContentBox(const TDIBSurface& s, Differs differs) {
  const int w = s.Width();
  const int h = s.Height();
  auto row_hit = [&](int y) {
    const uint8_t* row = s.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      if (differs(row, x)) return true;
    }
    return false;
  };
  int top = 0;
  while (top < h && !row_hit(top)) ++top;
  if (top == h) return {};
  int bottom = h;
  while (bottom > top && !row_hit(bottom - 1)) --bottom;
  auto column_hit = [&](int x) {
    for (int y = top; y < bottom; ++y) {
      if (differs(s.ScanLine(y), x)) return true;
    }
    return false;
  };
  int left = 0;
  while (left < w && !column_hit(left)) ++left;
  int right = w;
  while (right > left && !column_hit(right - 1)) --right;
  return {left, top, right, bottom};
}

void CropRegions(std::vector<Rect>& regions, const Rect& box) {
  std::vector<Rect> kept;
  for (const Rect& r : regions) {
    const Rect c = Intersect(r, box);
    if (c.IsEmpty()) continue;
    kept.push_back(Offset(c, -box.left, -box.top));
  }
  regions = std::move(kept);
}

void Expand24To32(const TDIBSurface& src, TDIBSurface& dst) {
  for (int y = 0; y < src.Height(); ++y) {
    const uint8_t* s = src.ScanLine(y);
    uint8_t* d = dst.ScanLine(y);
    for (int x = 0; x < src.Width(); ++x, s += 3, d += 4) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
      d[3] = 0;
    }
  }
}

void Copy32ClearingTop(const TDIBSurface& src, TDIBSurface& dst) {
  for (int y = 0; y < src.Height(); ++y) {
    const uint8_t* s = src.ScanLine(y);
    uint32_t* d = reinterpret_cast<uint32_t*>(dst.ScanLine(y));
    for (int x = 0; x < src.Width(); ++x, s += 4) {
      uint32_t v;
      std::memcpy(&v, s, 4);
      d[x] = v & 0x00FFFFFFu;
    }
  }
}

// 24 or 32-bit pixels narrowed to a 15 or 16-bit target, channel by channel.
void NarrowTo16(const TDIBSurface& src, TDIBSurface& dst) {
  const int step = src.StorageBitCount() / 8;
  const render::PixelFormat& f = dst.Format();
  for (int y = 0; y < src.Height(); ++y) {
    const uint8_t* s = src.ScanLine(y);
    uint16_t* d = reinterpret_cast<uint16_t*>(dst.ScanLine(y));
    for (int x = 0; x < src.Width(); ++x, s += step) {
      d[x] = static_cast<uint16_t>(f.FromRgb8(s[2], s[1], s[0]));
    }
  }
}

}  // namespace

int32_t PixelColour(const TDIBSurface& picture, uint32_t raw) {
  const int bits = picture.StorageBitCount();
  if (bits < 32) raw &= (1u << bits) - 1;
  uint8_t r, g, b;
  picture.Rgb8Of(raw, r, g, b);
  return static_cast<int32_t>(r | (g << 8) | (b << 16));
}

int TFipoFrame::BitCount() const {
  return layers.empty() ? picture.BitCount() : layers.front().pixels.BitCount();
}

void TFipoFrame::MakeMask() {
  if (HasMask() || picture.IsEmpty()) return;
  picture.FillMask();
  if (key_value < 0) return;
  const int bits = picture.StorageBitCount();
  const auto key = static_cast<uint32_t>(key_value);
  TDIBSurface& mask = *picture.Mask();
  for (int y = 0; y < picture.Height(); ++y) {
    const uint8_t* row = picture.ScanLine(y);
    uint8_t* m = mask.ScanLine(y);
    for (int x = 0; x < picture.Width(); ++x) {
      if (render::LoadRaw(row, x, bits) == key) m[x] = 0;
    }
  }
}

std::optional<Rect> TFipoFrame::Trim() {
  if (!HasMask() && key_colour == -1) return std::nullopt;
  Rect box;
  if (const TDIBSurface* mask = picture.Mask()) {
    box = ContentBox(*mask, [](const uint8_t* row, int x) { return row[x] != 0; });
  } else {
    const int bits = picture.StorageBitCount();
    const auto key = static_cast<uint32_t>(key_value);
    box = ContentBox(
        picture, [&](const uint8_t* row, int x) { return render::LoadRaw(row, x, bits) != key; });
  }
  if (box.IsEmpty() || box == picture.Bounds()) return std::nullopt;
  picture.Crop(box);
  CropRegions(draw_regions, box);
  CropRegions(second_regions, box);
  return box;
}

void TFipoFrame::CopyTo(render::TDIBX& target) const {
  const int depth = target.BitCount();
  target.SetSize(picture.Width(), picture.Height(), depth);
  TDIBSurface& dst = target.Surface();
  const int src_depth = picture.BitCount();
  if (depth == 32 && src_depth == 24) {
    Expand24To32(picture, dst);
  } else if (depth == 32 && src_depth == 32) {
    Copy32ClearingTop(picture, dst);
  } else if ((depth == 15 || depth == 16) && (src_depth == 24 || src_depth == 32)) {
    NarrowTo16(picture, dst);
  } else {
    if (depth <= 8 && src_depth <= 8) dst.Palette() = picture.Palette();
    const Rect saved = dst.ClipRect();
    dst.ClipRect() = {};
    dst.Copy(0, 0, picture.Bounds(), picture);
    dst.ClipRect() = saved;
  }
  target.DrawRegions() = draw_regions;
  target.SecondRegions() = second_regions;
}

void TFipoFrame::CopyMaskTo(TDIBSurface& target) const {
  target.SetSize(picture.Width(), picture.Height(), 8);
  if (const TDIBSurface* mask = picture.Mask()) {
    std::memcpy(target.Bits().data(), mask->Bits().data(), mask->Bits().size());
  } else {
    std::fill(target.Bits().begin(), target.Bits().end(), uint8_t{255});
  }
}

}  // namespace novu::imagefmt
