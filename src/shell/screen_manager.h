#pragma once
// TScreenManager: the display side of the player. It lists the full-screen modes the screen
// offers and picks one, switches between the window and full screen, owns the screen surface
// the object list composes each frame into, decides the depth of every picture surface, and
// hands the changed parts of the frame to the window.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/window.h"
#include "render/dibx.h"

namespace novu {

class TNovuBaseList;

using DisplayMode = platform::DisplayModeInfo;

// The full-screen modes worth offering and the one chosen among them.
struct DisplayModeChoice {
  std::vector<DisplayMode> modes;  // at least the screen's size, more than 15 bits per pixel
  int32_t index = -1;              // -1: none qualifies
};

// Keeps the modes at least as large as the screen with more than 15 bits per pixel, in the
// system's order. The first kept mode is chosen; a later one replaces the choice only when it
// has the preferred full-screen size and the choice has not, or it has the desktop's depth and
// the choice has not, or both have the desktop's depth and the later one refreshes more slowly.
DisplayModeChoice ChooseDisplayMode(std::span<const DisplayMode> system_modes, int screen_width,
                                    int screen_height, int preferred_width, int preferred_height,
                                    int desktop_bits);

// The depth of picture surfaces on a display of that many bits: 15 for 5-5-5 or fewer than
// 16 bits, 16 for 16 bits, else 32.
int SurfaceDepthFor(int bits_per_pixel, bool masks_555);

class TScreenManager {
 public:
  static constexpr int32_t kNothingBuilt = -2;
  static constexpr int32_t kWindowed = -1;

  // Lists the modes and builds the windowed screen.
  TScreenManager(platform::Window& window, int full_width, int full_height, int screen_width,
                 int screen_height);

  int32_t ModeCount() const { return static_cast<int32_t>(modes_.size()); }
  const DisplayMode& Mode(int32_t index) const { return modes_.at(static_cast<size_t>(index)); }
  // @DisplayModeIndex: the chosen full-screen mode, -1 when none qualifies.
  int32_t mode_index() const { return mode_index_; }
  // A script choosing another mode: kept when it is a valid index (or -1); in full screen the
  // display changes at once. True when the screen surface was rebuilt.
  bool SetModeIndex(int32_t index);
  int32_t current_mode() const { return current_mode_; }
  bool full_screen() const { return full_screen_; }
  // True while full screen shows the chosen mode itself rather than the desktop's, scaled.
  bool exact_mode() const { return exact_mode_; }

  // -1: windowed; a mode index: full screen in that mode. Always rebuilds after ReleaseDevice.
  void SetMode(int32_t index);
  // Drops the screen surface's pixels until the next build.
  void ReleaseDevice();

  // The screen surface: the same object for the manager's whole life (its size and depth change
  // with the builds), so the object list may keep pointing at it.
  render::TDIBX& Surface() { return surface_; }
  int SurfaceDepth() const { return depth_; }

  // Hands the window the changed parts of the frame: the rectangle a transition drew when there
  // is one, otherwise the dirty rectangles of the shown base. Both dirty lists are emptied.
  void Present(TNovuBaseList& list);

 private:
  void Build();
  platform::FrameView FrameFor(std::span<const platform::PixelRect> rects);

  platform::Window& window_;
  int screen_width_;
  int screen_height_;
  std::vector<DisplayMode> modes_;
  int32_t mode_index_ = -1;
  int32_t current_mode_ = kNothingBuilt;
  int depth_ = 32;
  bool full_screen_ = false;
  bool exact_mode_ = false;
  render::TDIBX surface_;
  render::TDIBX frame32_;  // the frame in 32 bits when the screen surface is not
  std::vector<platform::PixelRect> rects_;
};

}  // namespace novu
