#pragma once
// Where the toolbar dock and the frame go inside the window's drawable area, and how pointer
// positions there map back to panel pixels. Everything here is in drawable (device) pixels.
#include "platform/window.h"

namespace novu::platform {

struct PixelPoint {
  int x = 0, y = 0;
};

struct ViewGeometry {
  int drawable_width = 0;
  int drawable_height = 0;
  int ui_scale = 1;             // device pixels per layout pixel (2 on a HiDPI screen)
  bool dock_reserved = true;    // windowed: the dock is a strip above the panel;
                                // full screen: the toolbar floats over the frame's top rows
  bool toolbar_visible = true;  // whether the toolbar is drawn at all
  int panel_width = 0;
  int panel_height = 0;
  bool integer_scaling = false;  // only whole factors of the panel (sharp pixels)
};

struct ViewLayout {
  PixelRect dock;   // empty when the toolbar is hidden
  PixelRect frame;  // where the panel's pixels land; empty when there is no room or no panel
  int ui_scale = 1;
};

// The frame keeps its aspect and fills the area below the dock along its tighter side, centred
// (letterboxed) in the rest. With integer scaling it takes the largest whole factor that fits
// instead, and is shrunk to fit only when even factor 1 does not.
ViewLayout ComputeViewLayout(const ViewGeometry& geometry);

struct PanelPoint {
  int x = 0, y = 0;
  bool on_frame = false;  // false when the point lay outside the frame (then x, y are clamped)
};

// A drawable position in panel coordinates, clamped to the panel's pixels.
PanelPoint MapToPanel(const ViewLayout& layout, int panel_width, int panel_height, int x, int y);

// Window (point) coordinate to drawable pixels, for HiDPI screens where the two differ.
int WindowToDrawable(int value, int drawable_extent, int window_extent);

// Top-left corner that centres a window of the given outer size in the work area (the screen
// minus task bars). The halves are rounded toward zero: an odd spare pixel goes to the right
// and bottom, and a window larger than the work area overhangs it equally on both sides.
PixelPoint CentreInWorkArea(const PixelRect& work_area, int width, int height);

}  // namespace novu::platform
