#pragma once
// The main window: a toolbar dock (22 px: two flat buttons "終了" and "画面切替") above the panel
// in which the composed 32-bit frame is shown. Input comes back as events in panel coordinates.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace novu::platform {

inline constexpr int kToolbarButtonWidth = 67;
inline constexpr int kToolbarButtonHeight = 18;
inline constexpr int kDockHeight = kToolbarButtonHeight + 4;

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
};

enum class MouseButton { Left, Right, Middle };

struct InputEvent {
  enum class Kind {
    KeyDown,    // vk, repeat
    KeyUp,      // vk
    MouseDown,  // x, y, button
    MouseUp,    // x, y, button
    MouseMove,  // x, y
    WheelUp,
    WheelDown,
    FocusGained,
    FocusLost,
    CloseRequested,    // the window's close box or the desktop asks the program to end
    QuitButton,        // toolbar "終了"
    FullScreenButton,  // toolbar "画面切替" or Alt+Enter
    TextInput,         // text: committed text (UTF-8), typed or from an input method
    TextEditing,       // text: what an input method is composing (UTF-8; empty when it ends)
  };
  Kind kind;
  int vk = 0;           // Windows virtual-key code
  bool repeat = false;  // auto-repeated key-down
  int x = 0, y = 0;     // panel coordinates
  MouseButton button = MouseButton::Left;
  std::string text{};
};

// A 32-bit frame: pixels 0x00RRGGBB; `pixels` points at the top row and `pitch` is the byte
// distance to the next row down (negative for a bottom-up bitmap).
struct FrameView {
  const uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
};

// A full-screen display mode of the screen the window is on.
struct DisplayModeInfo {
  int width = 0;
  int height = 0;
  int bits_per_pixel = 0;
  int refresh_rate = 0;  // Hz, 0 when unknown
  friend bool operator==(const DisplayModeInfo&, const DisplayModeInfo&) = default;
};

class Window {
 public:
  virtual ~Window() = default;

  // CP932 title (converted to UTF-8 for the desktop).
  virtual void SetTitle(std::string_view cp932) = 0;
  // Sizes the client area to the panel plus the dock and centres the window in the work area.
  virtual void SetPanelSize(int width, int height) = 0;
  virtual void SetFullScreen(bool on) = 0;
  virtual bool IsFullScreen() const = 0;
  virtual void SetToolbarVisible(bool visible) = 0;
  // Shows `dirty` parts of the frame (all of it when `dirty` is empty).
  virtual void Present(const FrameView& frame, std::span<const PixelRect> dirty) = 0;
  // Appends the events that arrived since the last call.
  virtual void PollEvents(std::vector<InputEvent>& out) = 0;
  // Where a text-entry box takes typed text (panel pixels): text input and the input method
  // run while there is one, placed at it; none stops them.
  virtual void SetTextInputArea(const std::optional<PixelRect>& /*area*/) {}

  // The display modes of the window's screen in the order the system lists them (none for a
  // window that shows nothing), and the desktop's depth and pixel layout.
  virtual std::vector<DisplayModeInfo> DisplayModes() const { return {}; }
  virtual int DesktopBitsPerPixel() const { return 32; }
  virtual bool DesktopIs555() const { return false; }
  // In full screen, switches the display to exactly this mode. False when the display refuses
  // it; the window then stays full screen on the desktop's mode with the frame scaled.
  virtual bool UseDisplayMode(const DisplayModeInfo& /*mode*/) { return false; }
};

// The real window (SDL2). `hidden` keeps it off screen (for tests).
std::unique_ptr<Window> CreateDesktopWindow();
// A window that shows nothing and produces no events; it keeps the last frame.
std::unique_ptr<Window> CreateHeadlessWindow();

}  // namespace novu::platform
