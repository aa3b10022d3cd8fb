#include "platform/toolbar_layout.h"

#include <algorithm>

namespace novu::platform {

PixelRect ToolbarButtonRect(ToolbarButton button, int ui_scale) {
  const int s = std::max(1, ui_scale);
  int index = button == ToolbarButton::Quit ? 0 : button == ToolbarButton::FullScreen ? 1 : -1;
  if (index < 0) return {};
  const int left = kToolbarMargin + index * kToolbarButtonWidth;
  return {left * s, kToolbarMargin * s, (left + kToolbarButtonWidth) * s,
          (kToolbarMargin + kToolbarButtonHeight) * s};
}

ToolbarButton ToolbarButtonAt(int x, int y, int ui_scale) {
  for (ToolbarButton button : kToolbarButtons) {
    PixelRect r = ToolbarButtonRect(button, ui_scale);
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return button;
  }
  return ToolbarButton::None;
}

std::string_view ToolbarButtonCaption(ToolbarButton button) {
  switch (button) {
    case ToolbarButton::Quit:
      return "終了";
    case ToolbarButton::FullScreen:
      return "画面切替";
    case ToolbarButton::None:
      break;
  }
  return {};
}

}  // namespace novu::platform
