#pragma once
// The desktop window (SDL2): the toolbar dock above the panel, the frame scaled to fill the
// window with its aspect kept (filtered; whole factors only on request), HiDPI-aware, resizable,
// Alt+Enter reported as the full-screen button.
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
#include <string_view>

#include "platform/window.h"

namespace novu::platform {

struct DesktopWindowOptions {
  bool hidden = false;  // create the window without mapping it (tests)
  // Refuse SDL's "offscreen" and "dummy" video drivers: SDL falls back to them when no display
  // can be reached, and a game would then play in a window nobody sees.
  bool require_display = false;
  // Show the frame only at whole multiples of its size (sharp pixels, wider borders) instead of
  // filling the window with its aspect kept.
  bool integer_scaling = false;
};

// Throws NovuError when no window can be created (no display, say).
std::unique_ptr<Window> CreateDesktopWindow(const DesktopWindowOptions& options);

// True for the video drivers that show nothing on any screen.
bool IsInvisibleVideoDriver(std::string_view driver);

}  // namespace novu::platform
