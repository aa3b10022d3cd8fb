#include "platform/panel_layout.h"

#include <algorithm>
#include <cstdint>

namespace novu::platform {
namespace {

int Width(const PixelRect& r) {
  return r.right - r.left;
}
int Height(const PixelRect& r) {
  return r.bottom - r.top;
}

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

struct Size {
  int width = 0, height = 0;
};

Size FitFrame(int area_width, int area_height, int panel_width, int panel_height,
              bool integer_scaling) {
  const int factor = std::min(area_width / panel_width, area_height / panel_height);
  if (integer_scaling && factor >= 1) return {panel_width * factor, panel_height * factor};
  // Scale to the tighter side, keep the aspect.
  if (int64_t{area_width} * panel_height <= int64_t{area_height} * panel_width) {
    int64_t height = int64_t{area_width} * panel_height / panel_width;
    return {area_width, static_cast<int>(std::max<int64_t>(1, height))};
  }
  int64_t width = int64_t{area_height} * panel_width / panel_height;
  return {static_cast<int>(std::max<int64_t>(1, width)), area_height};
}

}  // namespace

ViewLayout ComputeViewLayout(const ViewGeometry& g) {
  ViewLayout layout;
  layout.ui_scale = std::max(1, g.ui_scale);
  const int width = std::max(0, g.drawable_width);
  const int height = std::max(0, g.drawable_height);
  const int dock_height = std::min(height, kDockHeight * layout.ui_scale);
  if (g.toolbar_visible) layout.dock = {0, 0, width, dock_height};

  const int area_top = g.dock_reserved ? dock_height : 0;
  const int area_width = width;
  const int area_height = height - area_top;
  if (g.panel_width <= 0 || g.panel_height <= 0 || area_width <= 0 || area_height <= 0) {
    return layout;
  }
  Size frame = FitFrame(area_width, area_height, g.panel_width, g.panel_height, g.integer_scaling);
  const int left = (area_width - frame.width) / 2;
  const int top = area_top + (area_height - frame.height) / 2;
  layout.frame = {left, top, left + frame.width, top + frame.height};
  return layout;
}

PanelPoint MapToPanel(const ViewLayout& layout, int panel_width, int panel_height, int x, int y) {
  const PixelRect& f = layout.frame;
  PanelPoint point;
  if (panel_width <= 0 || panel_height <= 0 || Width(f) <= 0 || Height(f) <= 0) return point;
  point.on_frame = x >= f.left && x < f.right && y >= f.top && y < f.bottom;
  int64_t px = FloorDiv(int64_t{x - f.left} * panel_width, Width(f));
  int64_t py = FloorDiv(int64_t{y - f.top} * panel_height, Height(f));
  point.x = static_cast<int>(std::clamp<int64_t>(px, 0, panel_width - 1));
  point.y = static_cast<int>(std::clamp<int64_t>(py, 0, panel_height - 1));
  return point;
}

int WindowToDrawable(int value, int drawable_extent, int window_extent) {
  if (window_extent <= 0 || drawable_extent == window_extent) return value;
  return static_cast<int>(FloorDiv(int64_t{value} * drawable_extent, window_extent));
}

PixelPoint CentreInWorkArea(const PixelRect& work_area, int width, int height) {
  return {work_area.left + (Width(work_area) - width) / 2,
          work_area.top + (Height(work_area) - height) / 2};
}

}  // namespace novu::platform
