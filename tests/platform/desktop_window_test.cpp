// Drives the real desktop window under SDL's dummy video driver (set by the test runner), feeding
// it SDL events as a desktop would and checking what reaches the game.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/desktop_window.h"
#include "platform/virtual_keys.h"

namespace novu::platform {
namespace {

using Kind = InputEvent::Kind;

class DesktopWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "dummy", 0);
    window_ = CreateDesktopWindow(DesktopWindowOptions{.hidden = true});
    window_->SetPanelSize(320, 240);  // the window becomes 320 x 262
    std::vector<uint32_t> pixels(320 * 240, 0x336699);
    window_->Present({pixels.data(), 320, 240, 320 * 4}, {});
    Poll();  // drop whatever the creation queued
  }

  std::vector<InputEvent> Poll() {
    std::vector<InputEvent> events;
    window_->PollEvents(events);
    return events;
  }

  static void PushButton(Uint32 type, Uint8 button, int x, int y) {
    SDL_Event e{};
    e.button.type = type;
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
  }
  static void PushMove(int x, int y) {
    SDL_Event e{};
    e.motion.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
  }
  static void PushKey(Uint32 type, SDL_Scancode scancode, Uint16 mod = 0, bool repeat = false) {
    SDL_Event e{};
    e.key.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.scancode = scancode;
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
  }
  static void PushWindowEvent(Uint8 what) {
    SDL_Event e{};
    e.window.type = SDL_WINDOWEVENT;
    e.window.event = what;
    SDL_PushEvent(&e);
  }
  static void PushWheel(int y, Uint32 direction = SDL_MOUSEWHEEL_NORMAL) {
    SDL_Event e{};
    e.wheel.type = SDL_MOUSEWHEEL;
    e.wheel.y = y;
    e.wheel.direction = direction;
    SDL_PushEvent(&e);
  }

  std::unique_ptr<Window> window_;
};

TEST_F(DesktopWindowTest, SizesTheClientAreaToPanelAndDockAndCentresIt) {
  // The dummy display is 1024 x 768 with no task bar and the window has no frame.
  SDL_Window* sdl_window = nullptr;
  for (Uint32 id = 1; id < 1000 && !sdl_window; ++id) sdl_window = SDL_GetWindowFromID(id);
  ASSERT_NE(sdl_window, nullptr);
  int w = 0, h = 0, x = 0, y = 0;
  SDL_GetWindowSize(sdl_window, &w, &h);
  SDL_GetWindowPosition(sdl_window, &x, &y);
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 240 + kDockHeight);
  EXPECT_EQ(x, (1024 - 320) / 2);
  EXPECT_EQ(y, (768 - 262) / 2);
}

TEST_F(DesktopWindowTest, ReportsMouseInPanelCoordinates) {
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, kDockHeight + 5);
  PushMove(400, 300);  // dragged out of the window: clamped
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 400, 300);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 319, 261);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 319, 261);
  std::vector<InputEvent> events = Poll();
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events[0].kind, Kind::MouseDown);
  EXPECT_EQ(events[0].button, MouseButton::Left);
  EXPECT_EQ(events[0].x, 10);
  EXPECT_EQ(events[0].y, 5);
  EXPECT_EQ(events[1].kind, Kind::MouseMove);
  EXPECT_EQ(events[1].x, 319);
  EXPECT_EQ(events[1].y, 239);
  EXPECT_EQ(events[2].kind, Kind::MouseUp);
  EXPECT_EQ(events[2].x, 319);
  EXPECT_EQ(events[3].kind, Kind::MouseDown);
  EXPECT_EQ(events[3].button, MouseButton::Right);
  EXPECT_EQ(events[3].x, 319);
  EXPECT_EQ(events[3].y, 239);
  EXPECT_EQ(events[4].kind, Kind::MouseUp);
  EXPECT_EQ(events[4].button, MouseButton::Right);
}

TEST_F(DesktopWindowTest, ToolbarClicksBecomeButtonEventsAndStayOffThePanel) {
  // Quit button: 2..69 x 2..20; full-screen button: 69..136.
  PushMove(30, 10);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 30, 10);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 31, 11);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 100, 10);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 100, 10);
  // Pressed on one button and released on the other: nothing.
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 30, 10);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 100, 10);
  // Pressed on the dock beside the buttons, released on the panel: nothing either.
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 200, 10);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 200, 100);
  std::vector<InputEvent> events = Poll();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, Kind::QuitButton);
  EXPECT_EQ(events[1].kind, Kind::FullScreenButton);
}

TEST_F(DesktopWindowTest, HiddenToolbarLeavesItsStripToThePanelMoves) {
  window_->SetToolbarVisible(false);
  PushMove(30, 10);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 30, 10);  // not on the frame: dropped
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 30, 10);
  std::vector<InputEvent> events = Poll();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, Kind::MouseMove);
  EXPECT_EQ(events[0].x, 30);
  EXPECT_EQ(events[0].y, 0);
}

TEST_F(DesktopWindowTest, LosingFocusForgetsHeldButtons) {
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 10, 100);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 30, 10);  // on "終了"
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 30, 10);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 10, 100);
  std::vector<InputEvent> events = Poll();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, Kind::MouseDown);
  EXPECT_EQ(events[1].kind, Kind::FocusLost);
}

TEST_F(DesktopWindowTest, KeysArriveAsVirtualKeysWithTheRepeatFlag) {
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_A);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_A, 0, true);
  PushKey(SDL_KEYUP, SDL_SCANCODE_A);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_AC_BOOKMARKS);  // unknown: dropped
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_RETURN);
  PushKey(SDL_KEYUP, SDL_SCANCODE_RETURN);
  std::vector<InputEvent> events = Poll();
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events[0].kind, Kind::KeyDown);
  EXPECT_EQ(events[0].vk, 0x41);
  EXPECT_FALSE(events[0].repeat);
  EXPECT_EQ(events[1].kind, Kind::KeyDown);
  EXPECT_TRUE(events[1].repeat);
  EXPECT_EQ(events[2].kind, Kind::KeyUp);
  EXPECT_EQ(events[2].vk, 0x41);
  EXPECT_EQ(events[3].vk, kVkReturn);
  EXPECT_EQ(events[4].kind, Kind::KeyUp);
}

TEST_F(DesktopWindowTest, AltEnterIsTheFullScreenButton) {
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_LALT, KMOD_LALT);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT, true);  // held: once only
  PushKey(SDL_KEYUP, SDL_SCANCODE_RETURN, KMOD_LALT);
  PushKey(SDL_KEYUP, SDL_SCANCODE_LALT);
  std::vector<InputEvent> events = Poll();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].kind, Kind::KeyDown);
  EXPECT_EQ(events[0].vk, kVkMenu);
  EXPECT_EQ(events[1].kind, Kind::FullScreenButton);
  EXPECT_EQ(events[2].kind, Kind::KeyUp);
  EXPECT_EQ(events[2].vk, kVkMenu);
}

TEST_F(DesktopWindowTest, WindowEventsWheelAndOneCloseRequest) {
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  PushWheel(1);
  PushWheel(-2);
  PushWheel(1, SDL_MOUSEWHEEL_FLIPPED);
  PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  std::vector<InputEvent> events = Poll();
  std::vector<Kind> kinds;
  for (const InputEvent& e : events) kinds.push_back(e.kind);
  EXPECT_EQ(kinds, (std::vector<Kind>{Kind::FocusLost, Kind::FocusGained, Kind::WheelUp,
                                      Kind::WheelDown, Kind::WheelDown, Kind::CloseRequested}));
}

TEST_F(DesktopWindowTest, SurvivesOddFramesAndSizes) {
  std::vector<uint32_t> pixels(64 * 48, 0xFF0000);
  window_->Present({pixels.data() + 47 * 64, 64, 48, -64 * 4}, {});  // bottom-up
  const PixelRect dirty[] = {{-10, -10, 5, 5}, {60, 40, 1000, 1000}, {3, 3, 3, 9}};
  window_->Present({pixels.data(), 64, 48, 64 * 4}, dirty);
  window_->Present({nullptr, 64, 48, 64 * 4}, {});
  window_->SetPanelSize(0, -5);
  window_->SetPanelSize(64, 48);
  window_->SetFullScreen(true);
  window_->SetFullScreen(false);
  EXPECT_FALSE(window_->IsFullScreen());
  // The window cannot be narrower than its toolbar (138 px), so the 64-pixel panel is centred.
  const int frame_left = (2 * (2 + kToolbarButtonWidth) - 64) / 2;
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, frame_left + 63, kDockHeight + 47);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, frame_left - 1, kDockHeight + 47);
  std::vector<InputEvent> events = Poll();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].x, 63);
  EXPECT_EQ(events[0].y, 47);
}

}  // namespace
}  // namespace novu::platform
