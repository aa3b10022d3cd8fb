#include "shell/screen_manager.h"

#include <algorithm>

#include "objects/base_list.h"

namespace novu {

DisplayModeChoice ChooseDisplayMode(std::span<const DisplayMode> system_modes, int screen_width,
                                    int screen_height, int preferred_width, int preferred_height,
                                    int desktop_bits) {
  DisplayModeChoice choice;
  auto preferred = [&](const DisplayMode& m) {
    return m.width == preferred_width && m.height == preferred_height;
  };
  auto desktop_depth = [&](const DisplayMode& m) { return m.bits_per_pixel == desktop_bits; };
  for (const DisplayMode& m : system_modes) {
    if (m.width < screen_width || m.height < screen_height || m.bits_per_pixel <= 15) continue;
    choice.modes.push_back(m);
    const auto index = static_cast<int32_t>(choice.modes.size() - 1);
    if (choice.index < 0) {
      choice.index = index;
      continue;
    }
    const DisplayMode& chosen = choice.modes[static_cast<size_t>(choice.index)];
    if (!preferred(m)) continue;
    if (!preferred(chosen) || (desktop_depth(m) && !desktop_depth(chosen)) ||
        (desktop_depth(m) && desktop_depth(chosen) && m.refresh_rate < chosen.refresh_rate)) {
      choice.index = index;
    }
  }
  return choice;
}

int SurfaceDepthFor(int bits_per_pixel, bool masks_555) {
  if (bits_per_pixel < 16 || masks_555) return 15;
  return bits_per_pixel == 16 ? 16 : 32;
}

TScreenManager::TScreenManager(platform::Window& window, int full_width, int full_height,
                               int screen_width, int screen_height)
    : window_(window),
      screen_width_(std::max(screen_width, 1)),
      screen_height_(std::max(screen_height, 1)) {
  const std::vector<DisplayMode> system_modes = window_.DisplayModes();
  DisplayModeChoice choice =
      ChooseDisplayMode(system_modes, screen_width, screen_height, full_width, full_height,
                        window_.DesktopBitsPerPixel());
  modes_ = std::move(choice.modes);
  mode_index_ = choice.index;
  SetMode(kWindowed);
}

bool TScreenManager::SetModeIndex(int32_t index) {
  if (index < -1 || index >= ModeCount()) return false;
  mode_index_ = index;
  if (!full_screen_ || index < 0 || index == current_mode_) return false;
  ReleaseDevice();
  SetMode(index);
  return true;
}

void TScreenManager::SetMode(int32_t index) {
  if (index >= ModeCount()) index = kWindowed;
  if (index == current_mode_) return;
  current_mode_ = index < 0 ? kWindowed : index;
  Build();
}

void TScreenManager::ReleaseDevice() {
  surface_.SetSize(1, 1, depth_);
  full_screen_ = false;
  exact_mode_ = false;
  current_mode_ = kNothingBuilt;
}

void TScreenManager::Build() {
  full_screen_ = false;
  exact_mode_ = false;
  int depth = SurfaceDepthFor(window_.DesktopBitsPerPixel(), window_.DesktopIs555());
  if (current_mode_ >= 0) {
    const DisplayMode& mode = Mode(current_mode_);
    full_screen_ = true;
    exact_mode_ = window_.UseDisplayMode(mode);
    if (exact_mode_) depth = SurfaceDepthFor(mode.bits_per_pixel, false);
  }
  depth_ = depth;
  surface_.SetSize(screen_width_, screen_height_, depth_);
}

platform::FrameView TScreenManager::FrameFor(std::span<const platform::PixelRect> rects) {
  if (surface_.BitCount() == 32) return surface_.PresentView();
  // The window takes 32-bit frames: convert the parts that are about to be shown.
  if (frame32_.Width() != surface_.Width() || frame32_.Height() != surface_.Height() ||
      frame32_.BitCount() != 32) {
    frame32_.SetSize(surface_.Width(), surface_.Height(), 32);
  }
  for (const platform::PixelRect& r : rects) {
    frame32_.Draw(r.left, r.top, {}, render::FromPixelRect(r), surface_);
  }
  return frame32_.PresentView();
}

void TScreenManager::Present(TNovuBaseList& list) {
  rects_.clear();
  const Rect whole{0, 0, surface_.Width(), surface_.Height()};
  const Rect transition = Intersect(list.transition_rect(), whole);
  if (!transition.IsEmpty()) {
    rects_.push_back(render::ToPixelRect(transition));
  } else {
    for (const Rect& r : list.active_base().dirty().Rects()) {
      const Rect area = Intersect(r, whole);
      if (!area.IsEmpty()) rects_.push_back(render::ToPixelRect(area));
    }
  }
  // An empty list would ask the window for the whole frame: nothing changed, nothing to show.
  if (!rects_.empty()) window_.Present(FrameFor(rects_), rects_);
  list.ClearDirty();
}

}  // namespace novu
