#pragma once
// The window of a headless run: shows nothing, produces no events, and keeps a copy of what was
// presented so that a screenshot can be taken from it afterwards.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window.h"

namespace novu::platform {

class HeadlessWindow : public Window {
 public:
  void SetTitle(std::string_view cp932) override { title_ = cp932; }
  void SetPanelSize(int width, int height) override;
  void SetFullScreen(bool on) override { full_screen_ = on; }
  bool IsFullScreen() const override { return full_screen_; }
  void SetToolbarVisible(bool visible) override { toolbar_visible_ = visible; }
  void Present(const FrameView& frame, std::span<const PixelRect> dirty) override;
  void PollEvents(std::vector<InputEvent>&) override {}

  // The frame as presented so far, top-down with a pitch of width * 4 (empty before the first
  // present). A present of another size starts over with that frame in full.
  FrameView LastFrame() const;
  const std::string& Title() const { return title_; }
  int PanelWidth() const { return panel_width_; }
  int PanelHeight() const { return panel_height_; }
  bool ToolbarVisible() const { return toolbar_visible_; }

 private:
  std::string title_;
  int panel_width_ = 0;
  int panel_height_ = 0;
  bool full_screen_ = false;
  bool toolbar_visible_ = true;
  int frame_width_ = 0;
  int frame_height_ = 0;
  std::vector<uint32_t> frame_;
};

}  // namespace novu::platform
