#include "platform/frame_copy.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace novu::platform {

bool IsUsableFrame(const FrameView& frame) {
  return frame.pixels != nullptr && frame.width > 0 && frame.height > 0 &&
         std::abs(static_cast<int64_t>(frame.pitch)) >= int64_t{frame.width} * 4;
}

std::vector<PixelRect> ClipDirtyRects(const FrameView& frame, std::span<const PixelRect> dirty) {
  if (dirty.empty()) return {PixelRect{0, 0, frame.width, frame.height}};
  std::vector<PixelRect> clipped;
  clipped.reserve(dirty.size());
  for (PixelRect r : dirty) {
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, frame.width);
    r.bottom = std::min(r.bottom, frame.height);
    if (r.left < r.right && r.top < r.bottom) clipped.push_back(r);
  }
  return clipped;
}

void CopyFrameRect(const FrameView& frame, const PixelRect& rect, uint32_t* dst, int dst_pitch) {
  const auto* src_base = reinterpret_cast<const uint8_t*>(frame.pixels);
  auto* dst_row = reinterpret_cast<uint8_t*>(dst);
  const size_t bytes = static_cast<size_t>(rect.right - rect.left) * 4;
  for (int y = rect.top; y < rect.bottom; ++y) {
    const uint8_t* src_row = src_base + static_cast<ptrdiff_t>(y) * frame.pitch + rect.left * 4;
    std::memcpy(dst_row, src_row, bytes);
    dst_row += dst_pitch;
  }
}

}  // namespace novu::platform
