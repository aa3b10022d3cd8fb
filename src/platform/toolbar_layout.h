#pragma once
// The toolbar in the dock: two flat buttons side by side, "終了" and "画面切替".
#include <array>
#include <string_view>

#include "platform/window.h"

namespace novu::platform {

enum class ToolbarButton { None, Quit, FullScreen };

inline constexpr std::array<ToolbarButton, 2> kToolbarButtons = {ToolbarButton::Quit,
                                                                 ToolbarButton::FullScreen};
// The buttons sit this far from the dock's left and top edges (layout pixels).
inline constexpr int kToolbarMargin = (kDockHeight - kToolbarButtonHeight) / 2;

// The button's rectangle relative to the dock's top-left corner, in device pixels at `ui_scale`.
PixelRect ToolbarButtonRect(ToolbarButton button, int ui_scale);
// The button under a dock-relative position, or None.
ToolbarButton ToolbarButtonAt(int x, int y, int ui_scale);
// The caption in UTF-8.
std::string_view ToolbarButtonCaption(ToolbarButton button);

}  // namespace novu::platform
