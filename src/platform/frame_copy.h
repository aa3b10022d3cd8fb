#pragma once
// Copying parts of a presented frame (which may be stored bottom-up) into a top-down buffer.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/window.h"

namespace novu::platform {

// A frame with pixels, a positive size and rows at least `width` pixels apart.
bool IsUsableFrame(const FrameView& frame);

// The dirty rectangles clipped to the frame, empty ones dropped; the whole frame when `dirty`
// is empty.
std::vector<PixelRect> ClipDirtyRects(const FrameView& frame, std::span<const PixelRect> dirty);

// Copies `rect` (inside the frame) so that its top-left pixel lands at `dst`; `dst_pitch` is
// the byte distance between destination rows.
void CopyFrameRect(const FrameView& frame, const PixelRect& rect, uint32_t* dst, int dst_pitch);

}  // namespace novu::platform
