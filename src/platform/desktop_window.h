#pragma once
// The desktop window (SDL2): the toolbar dock above the panel, the frame scaled to fit with its
// aspect kept, HiDPI-aware, resizable, Alt+Enter reported as the full-screen button.
//
// Pointer input in panel coordinates:
// - presses count only on the frame itself (not on the letterbox bars or the dock); the panel
//   then keeps the button until it is released, and the release is reported even outside the
//   frame, clamped to the panel's edge;
// - moves are reported everywhere except over the visible toolbar, clamped to the panel (so the
//   bar above a letterboxed frame reads as row 0, which the full-screen toolbar rule relies on);
// - toolbar buttons act on release over the button they were pressed on;
// - wheel turns are reported wherever the pointer is.
// In full screen the toolbar, when the shell shows it, lies over the frame's top rows instead of
// taking a strip of its own; the window never changes the toolbar's visibility by itself.
#include <memory>

#include "platform/window.h"

namespace novu::platform {

struct DesktopWindowOptions {
  bool hidden = false;  // create the window without mapping it (tests)
};

// Throws NovuError when no window can be created (no display, say).
std::unique_ptr<Window> CreateDesktopWindow(const DesktopWindowOptions& options);

}  // namespace novu::platform
