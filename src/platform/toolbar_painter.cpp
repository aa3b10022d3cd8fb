#include "platform/toolbar_painter.h"

#include <algorithm>

#include "platform/font_lookup.h"

namespace novu::platform {
namespace {

uint32_t Blend(uint32_t paper, uint32_t ink, unsigned coverage) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    unsigned p = (paper >> shift) & 0xFF;
    unsigned i = (ink >> shift) & 0xFF;
    out |= ((p * (255 - coverage) + i * coverage + 127) / 255) << shift;
  }
  return out;
}

class DockCanvas {
 public:
  DockCanvas(std::span<uint32_t> pixels, int width, int height)
      : pixels_(pixels), width_(width), height_(height) {}

  void Fill(PixelRect r, uint32_t colour) {
    Clip(r);
    for (int y = r.top; y < r.bottom; ++y) {
      uint32_t* row = pixels_.data() + static_cast<size_t>(y) * width_;
      std::fill(row + r.left, row + r.right, colour);
    }
  }

  void Frame(PixelRect r, int thickness, uint32_t colour) {
    Fill({r.left, r.top, r.right, r.top + thickness}, colour);
    Fill({r.left, r.bottom - thickness, r.right, r.bottom}, colour);
    Fill({r.left, r.top, r.left + thickness, r.bottom}, colour);
    Fill({r.right - thickness, r.top, r.right, r.bottom}, colour);
  }

  // Draws `text` centred in `box`, ink blended over what is there; clipped to `box`.
  void DrawCentred(const TextBitmap& text, PixelRect box, uint32_t ink) {
    const int left = box.left + (box.right - box.left - text.width) / 2;
    const int top = box.top + (box.bottom - box.top - text.height) / 2;
    Clip(box);
    for (int ty = 0; ty < text.height; ++ty) {
      const int y = top + ty;
      if (y < box.top || y >= box.bottom) continue;
      uint32_t* row = pixels_.data() + static_cast<size_t>(y) * width_;
      const uint8_t* src = text.coverage.data() + static_cast<size_t>(ty) * text.width;
      for (int tx = 0; tx < text.width; ++tx) {
        const int x = left + tx;
        if (x < box.left || x >= box.right || src[tx] == 0) continue;
        row[x] = Blend(row[x], ink, src[tx]);
      }
    }
  }

 private:
  void Clip(PixelRect& r) const {
    r.left = std::clamp(r.left, 0, width_);
    r.right = std::clamp(r.right, r.left, width_);
    r.top = std::clamp(r.top, 0, height_);
    r.bottom = std::clamp(r.bottom, r.top, height_);
  }

  std::span<uint32_t> pixels_;
  int width_;
  int height_;
};

}  // namespace

ToolbarPainter::ToolbarPainter(std::unique_ptr<FontFace> font) : font_(std::move(font)) {}

ToolbarPainter ToolbarPainter::WithInstalledFont() {
  std::optional<FontFile> file = FindFontForLanguage("ja");
  return ToolbarPainter(file ? FontFace::Open(*file) : nullptr);
}

const TextBitmap& ToolbarPainter::Caption(ToolbarButton button, int ui_scale) {
  auto key = std::make_pair(button, ui_scale);
  auto it = captions_.find(key);
  if (it == captions_.end()) {
    TextBitmap bitmap;
    if (font_)
      bitmap = font_->RenderLine(ToolbarButtonCaption(button), kCaptionPixelSize * ui_scale);
    it = captions_.emplace(key, std::move(bitmap)).first;
  }
  return it->second;
}

void ToolbarPainter::Paint(std::span<uint32_t> pixels, int width, int ui_scale,
                           ToolbarState state) {
  const int scale = std::max(1, ui_scale);
  const int height = kDockHeight * scale;
  if (width <= 0 || pixels.size() < static_cast<size_t>(width) * height) return;
  DockCanvas canvas(pixels, width, height);
  canvas.Fill({0, 0, width, height}, kDockColour);
  for (ToolbarButton button : kToolbarButtons) {
    const PixelRect r = ToolbarButtonRect(button, scale);
    const bool pressed = state.pressed == button && state.hot == button;
    const bool hot = state.hot == button;
    canvas.Fill(r, pressed ? kPressedFaceColour : hot ? kHotFaceColour : kButtonFaceColour);
    canvas.Frame(r, scale, hot ? kHotBorderColour : kButtonBorderColour);
    if (font_) {
      PixelRect inner{r.left + scale, r.top + scale, r.right - scale, r.bottom - scale};
      canvas.DrawCentred(Caption(button, scale), inner, kCaptionColour);
    }
  }
}

}  // namespace novu::platform
