// Temporary stand-ins until the desktop window lands.
#include <vector>

#include "core/error.h"
#include "platform/window.h"

namespace novu::platform {
namespace {

class NullWindow : public Window {
 public:
  void SetTitle(std::string_view) override {}
  void SetPanelSize(int, int) override {}
  void SetFullScreen(bool) override {}
  bool IsFullScreen() const override { return false; }
  void SetToolbarVisible(bool) override {}
  void Present(const FrameView&, std::span<const PixelRect>) override {}
  void PollEvents(std::vector<InputEvent>&) override {}
};

}  // namespace

std::unique_ptr<Window> CreateDesktopWindow() {
  return std::make_unique<NullWindow>();
}
std::unique_ptr<Window> CreateHeadlessWindow() {
  return std::make_unique<NullWindow>();
}

}  // namespace novu::platform
