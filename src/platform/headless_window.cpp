#include "platform/headless_window.h"

#include "platform/frame_copy.h"

namespace novu::platform {

void HeadlessWindow::SetPanelSize(int width, int height) {
  panel_width_ = width;
  panel_height_ = height;
}

void HeadlessWindow::Present(const FrameView& frame, std::span<const PixelRect> dirty) {
  if (!IsUsableFrame(frame)) return;
  if (frame.width != frame_width_ || frame.height != frame_height_) {
    // What was kept belongs to another frame size: take the new frame whole.
    frame_width_ = frame.width;
    frame_height_ = frame.height;
    frame_.assign(static_cast<size_t>(frame.width) * frame.height, 0);
    dirty = {};
  }
  for (const PixelRect& r : ClipDirtyRects(frame, dirty)) {
    uint32_t* dst = frame_.data() + static_cast<size_t>(r.top) * frame_width_ + r.left;
    CopyFrameRect(frame, r, dst, frame_width_ * 4);
  }
}

FrameView HeadlessWindow::LastFrame() const {
  if (frame_.empty()) return {};
  return {frame_.data(), frame_width_, frame_height_, frame_width_ * 4};
}

std::unique_ptr<Window> CreateHeadlessWindow() {
  return std::make_unique<HeadlessWindow>();
}

}  // namespace novu::platform
