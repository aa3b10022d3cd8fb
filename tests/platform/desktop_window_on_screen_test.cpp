// Keeps a real desktop window on screen for a while so that tests/e2e/window_screenshot_test.sh
// can photograph it on a virtual X display. Runs only when NOVU_WINDOW_SHOW_MS is set (the unit
// test run uses the dummy video driver, where there is nothing to see).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/desktop_window.h"

namespace novu::platform {
namespace {

TEST(DesktopWindowOnScreen, ShowsAFrameUnderTheToolbar) {
  const char* show_ms = std::getenv("NOVU_WINDOW_SHOW_MS");
  if (!show_ms) GTEST_SKIP() << "set NOVU_WINDOW_SHOW_MS to show the window on a display";
  std::unique_ptr<Window> window = CreateDesktopWindow({});
  window->SetTitle("NovuPlayer window check");
  constexpr int kWidth = 320, kHeight = 240;
  window->SetPanelSize(kWidth, kHeight);
  std::vector<uint32_t> pixels(kWidth * kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) pixels[y * kWidth + x] = (x * 255 / kWidth) << 16 | 0x40;
  }
  const auto until =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(std::atoi(show_ms));
  std::vector<InputEvent> events;
  bool closed = false;
  while (!closed && std::chrono::steady_clock::now() < until) {
    window->Present({pixels.data(), kWidth, kHeight, kWidth * 4}, {});
    events.clear();
    window->PollEvents(events);
    for (const InputEvent& e : events) closed |= e.kind == InputEvent::Kind::CloseRequested;
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
  }
  EXPECT_FALSE(window->IsFullScreen());
}

}  // namespace
}  // namespace novu::platform
