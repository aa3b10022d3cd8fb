#include "platform/desktop_window.h"

#include <SDL.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "platform/error.h"
#include "platform/frame_copy.h"
#include "platform/panel_layout.h"
#include "platform/text_encoding.h"
#include "platform/toolbar_painter.h"
#include "platform/virtual_keys.h"

namespace novu::platform {
namespace {

constexpr int kDefaultPanelWidth = 640;
constexpr int kDefaultPanelHeight = 480;

[[noreturn]] void ThrowSdlError(const char* what) {
  // SDL's messages are ASCII, hence valid CP932 as they are.
  throw NovuError(std::string(what) + ": " + SDL_GetError());
}

class VideoSubsystem {
 public:
  explicit VideoSubsystem(bool require_display) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) ThrowSdlError("no display could be opened");
    const char* driver = SDL_GetCurrentVideoDriver();
    if (require_display && IsInvisibleVideoDriver(driver ? driver : "")) {
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      throw NovuError(std::string("no display could be opened (SDL's '") + (driver ? driver : "") +
                      "' video driver is in use, and it shows nothing)");
    }
  }
  ~VideoSubsystem() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
  VideoSubsystem(const VideoSubsystem&) = delete;
  VideoSubsystem& operator=(const VideoSubsystem&) = delete;
};

struct SdlDeleter {
  void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
  void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
  void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
};
using WindowPtr = std::unique_ptr<SDL_Window, SdlDeleter>;
using RendererPtr = std::unique_ptr<SDL_Renderer, SdlDeleter>;
using TexturePtr = std::unique_ptr<SDL_Texture, SdlDeleter>;

SDL_Rect ToSdl(const PixelRect& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool Contains(const PixelRect& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool IsEmpty(const PixelRect& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

std::optional<MouseButton> ToMouseButton(Uint8 sdl_button) {
  switch (sdl_button) {
    case SDL_BUTTON_LEFT:
      return MouseButton::Left;
    case SDL_BUTTON_RIGHT:
      return MouseButton::Right;
    case SDL_BUTTON_MIDDLE:
      return MouseButton::Middle;
    default:
      return std::nullopt;
  }
}

unsigned ButtonBit(MouseButton button) {
  return 1u << static_cast<unsigned>(button);
}

class DesktopWindow : public Window {
 public:
  explicit DesktopWindow(const DesktopWindowOptions& options)
      : video_(options.require_display),
        integer_scaling_(options.integer_scaling),
        toolbar_painter_(ToolbarPainter::WithInstalledFont()) {
    Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    flags |= options.hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN;
    window_.reset(SDL_CreateWindow("NovuPlayer", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   panel_width_, panel_height_ + kDockHeight, flags));
    if (!window_) ThrowSdlError("SDL_CreateWindow");
    SDL_SetWindowMinimumSize(window_.get(), 2 * (kToolbarMargin + kToolbarButtonWidth),
                             kDockHeight + 16);
    // No vsync: presenting must not stretch the 15 ms tick.
    renderer_.reset(SDL_CreateRenderer(window_.get(), -1, SDL_RENDERER_ACCELERATED));
    if (!renderer_) renderer_.reset(SDL_CreateRenderer(window_.get(), -1, SDL_RENDERER_SOFTWARE));
    if (!renderer_) ThrowSdlError("SDL_CreateRenderer");
    // Text input runs only while a text-entry box takes it (SetTextInputArea).
    SDL_StopTextInput();
    Redraw();
  }

  void SetTitle(std::string_view cp932) override {
    SDL_SetWindowTitle(window_.get(), Cp932ToUtf8(cp932).c_str());
  }

  void SetPanelSize(int width, int height) override {
    if (width <= 0 || height <= 0) return;
    panel_width_ = width;
    panel_height_ = height;
    if (full_screen_) {
      // Applied when the window comes back from full screen.
      size_pending_ = true;
    } else {
      ApplyWindowedSize();
    }
    Redraw();
  }

  void SetFullScreen(bool on) override {
    if (on == full_screen_) return;
    // A display that refuses the change leaves the window as it was.
    if (SDL_SetWindowFullscreen(window_.get(), on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0) {
      full_screen_ = on;
    }
    if (!full_screen_ && size_pending_) ApplyWindowedSize();
    Redraw();
  }

  bool IsFullScreen() const override { return full_screen_; }

  std::vector<DisplayModeInfo> DisplayModes() const override {
    std::vector<DisplayModeInfo> modes;
    const int display = std::max(SDL_GetWindowDisplayIndex(window_.get()), 0);
    const int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
      SDL_DisplayMode mode;
      if (SDL_GetDisplayMode(display, i, &mode) != 0) continue;
      modes.push_back(
          {mode.w, mode.h, static_cast<int>(SDL_BITSPERPIXEL(mode.format)), mode.refresh_rate});
    }
    return modes;
  }

  int DesktopBitsPerPixel() const override {
    SDL_DisplayMode mode;
    const int display = std::max(SDL_GetWindowDisplayIndex(window_.get()), 0);
    if (SDL_GetDesktopDisplayMode(display, &mode) != 0) return 32;
    return static_cast<int>(SDL_BITSPERPIXEL(mode.format));
  }

  bool DesktopIs555() const override {
    SDL_DisplayMode mode;
    const int display = std::max(SDL_GetWindowDisplayIndex(window_.get()), 0);
    return SDL_GetDesktopDisplayMode(display, &mode) == 0 &&
           (mode.format == SDL_PIXELFORMAT_RGB555 || mode.format == SDL_PIXELFORMAT_BGR555);
  }

  bool UseDisplayMode(const DisplayModeInfo& wanted) override {
    if (!full_screen_) return false;
    SDL_DisplayMode mode{};
    mode.w = wanted.width;
    mode.h = wanted.height;
    mode.refresh_rate = wanted.refresh_rate;
    const bool exact = SDL_SetWindowDisplayMode(window_.get(), &mode) == 0 &&
                       SDL_SetWindowFullscreen(window_.get(), SDL_WINDOW_FULLSCREEN) == 0;
    if (!exact) SDL_SetWindowFullscreen(window_.get(), SDL_WINDOW_FULLSCREEN_DESKTOP);
    Redraw();
    return exact;
  }

  void SetToolbarVisible(bool visible) override {
    if (visible == toolbar_visible_) return;
    toolbar_visible_ = visible;
    if (!visible) toolbar_state_ = {};
    Redraw();
  }

  void Present(const FrameView& frame, std::span<const PixelRect> dirty) override {
    if (!IsUsableFrame(frame)) return;
    if (!frame_texture_ || frame.width != frame_width_ || frame.height != frame_height_) {
      if (!CreateFrameTexture(frame.width, frame.height)) return;
      dirty = {};
    }
    for (const PixelRect& r : ClipDirtyRects(frame, dirty)) UploadRect(frame, r);
    Redraw();
  }

  void PollEvents(std::vector<InputEvent>& out) override {
    bool close_reported = false;
    bool redraw = false;
    const ToolbarState toolbar_before = toolbar_state_;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      switch (event.type) {
        case SDL_QUIT:
          // Also follows the close box of the last window: report one request, not two.
          if (!close_reported) out.push_back({InputEvent::Kind::CloseRequested});
          close_reported = true;
          break;
        case SDL_WINDOWEVENT:
          OnWindowEvent(event.window, out, close_reported, redraw);
          break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
          OnKey(event.key, out);
          break;
        case SDL_MOUSEMOTION:
          OnMouseMove(event.motion, out);
          break;
        case SDL_MOUSEBUTTONDOWN:
          OnMouseDown(event.button, out);
          break;
        case SDL_MOUSEBUTTONUP:
          OnMouseUp(event.button, out);
          break;
        case SDL_MOUSEWHEEL:
          OnWheel(event.wheel, out);
          break;
        case SDL_TEXTINPUT: {
          InputEvent typed{InputEvent::Kind::TextInput};
          typed.text = event.text.text;
          out.push_back(std::move(typed));
          break;
        }
        case SDL_TEXTEDITING: {
          InputEvent composing{InputEvent::Kind::TextEditing};
          composing.text = event.edit.text;
          out.push_back(std::move(composing));
          break;
        }
        default:
          break;
      }
    }
    if (redraw || !(toolbar_state_ == toolbar_before)) Redraw();
  }

  void SetTextInputArea(const std::optional<PixelRect>& area) override {
    if (!area) {
      if (text_input_on_) SDL_StopTextInput();
      text_input_on_ = false;
      return;
    }
    // Panel pixels to window points: through the frame's place and scale, then HiDPI.
    const Surface surface = CurrentSurface();
    const ViewLayout layout = LayoutFor(surface);
    const PixelRect& f = layout.frame;
    const int panel_w = std::max(PanelWidthForLayout(), 1);
    const int panel_h = std::max(PanelHeightForLayout(), 1);
    const auto to_window_x = [&](int x) {
      const int64_t drawable = f.left + int64_t{x} * (f.right - f.left) / panel_w;
      return static_cast<int>(surface.width > 0 ? drawable * surface.window_width / surface.width
                                                : drawable);
    };
    const auto to_window_y = [&](int y) {
      const int64_t drawable = f.top + int64_t{y} * (f.bottom - f.top) / panel_h;
      return static_cast<int>(surface.height > 0 ? drawable * surface.window_height / surface.height
                                                 : drawable);
    };
    SDL_Rect rect{to_window_x(area->left), to_window_y(area->top), 0, 0};
    rect.w = std::max(1, to_window_x(area->right) - rect.x);
    rect.h = std::max(1, to_window_y(area->bottom) - rect.y);
    SDL_SetTextInputRect(&rect);
    if (!text_input_on_) SDL_StartTextInput();
    text_input_on_ = true;
  }

 private:
  // The renderer's output in device pixels and the window's size in the desktop's points; they
  // differ on a HiDPI screen.
  struct Surface {
    int width = 0, height = 0;
    int window_width = 0, window_height = 0;
    int ui_scale = 1;
  };

  Surface CurrentSurface() const {
    Surface s;
    SDL_GetRendererOutputSize(renderer_.get(), &s.width, &s.height);
    SDL_GetWindowSize(window_.get(), &s.window_width, &s.window_height);
    if (s.window_width > 0) {
      s.ui_scale = std::max(1, (s.width + s.window_width / 2) / s.window_width);
    }
    return s;
  }

  // Pointer positions are given in the frame's pixels once there is a frame.
  int PanelWidthForLayout() const { return frame_texture_ ? frame_width_ : panel_width_; }
  int PanelHeightForLayout() const { return frame_texture_ ? frame_height_ : panel_height_; }

  ViewLayout LayoutFor(const Surface& s) const {
    return ComputeViewLayout({s.width, s.height, s.ui_scale, !full_screen_, toolbar_visible_,
                              PanelWidthForLayout(), PanelHeightForLayout(), integer_scaling_});
  }

  void ApplyWindowedSize() {
    size_pending_ = false;
    const int client_width = panel_width_;
    const int client_height = panel_height_ + kDockHeight;
    SDL_SetWindowSize(window_.get(), client_width, client_height);
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window_.get()));
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0) return;
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_.get(), &top, &left, &bottom, &right) != 0) {
      top = left = bottom = right = 0;
    }
    // The frame (borders and title bar) is part of the size being centred; SDL places the
    // client area.
    PixelPoint corner =
        CentreInWorkArea({usable.x, usable.y, usable.x + usable.w, usable.y + usable.h},
                         client_width + left + right, client_height + top + bottom);
    SDL_SetWindowPosition(window_.get(), corner.x + left, corner.y + top);
  }

  bool CreateFrameTexture(int width, int height) {
    frame_texture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_XRGB8888,
                                           SDL_TEXTUREACCESS_STREAMING, width, height));
    if (!frame_texture_) {
      frame_width_ = frame_height_ = 0;
      return false;
    }
    frame_width_ = width;
    frame_height_ = height;
    return true;
  }

  void UploadRect(const FrameView& frame, const PixelRect& r) {
    SDL_Rect area = ToSdl(r);
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(frame_texture_.get(), &area, &pixels, &pitch) != 0) return;
    CopyFrameRect(frame, r, static_cast<uint32_t*>(pixels), pitch);
    SDL_UnlockTexture(frame_texture_.get());
  }

  void Redraw() {
    const ViewLayout layout = LayoutFor(CurrentSurface());
    SDL_Renderer* renderer = renderer_.get();
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    if (frame_texture_ && !IsEmpty(layout.frame)) {
      SDL_Rect dest = ToSdl(layout.frame);
      const bool whole_factor = dest.w % frame_width_ == 0 && dest.h % frame_height_ == 0;
      SDL_SetTextureScaleMode(frame_texture_.get(),
                              whole_factor ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
      SDL_RenderCopy(renderer, frame_texture_.get(), nullptr, &dest);
    }
    if (!IsEmpty(layout.dock)) DrawToolbar(layout);
    SDL_RenderPresent(renderer);
  }

  void DrawToolbar(const ViewLayout& layout) {
    const int width = layout.dock.right - layout.dock.left;
    const int height = layout.dock.bottom - layout.dock.top;
    const int full_height = kDockHeight * layout.ui_scale;
    if (!toolbar_texture_ || width != toolbar_width_ || layout.ui_scale != toolbar_scale_) {
      toolbar_texture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_XRGB8888,
                                               SDL_TEXTUREACCESS_STATIC, width, full_height));
      if (!toolbar_texture_) return;
      toolbar_width_ = width;
      toolbar_scale_ = layout.ui_scale;
      toolbar_painted_ = false;
    }
    if (!toolbar_painted_ || !(painted_state_ == toolbar_state_)) {
      toolbar_pixels_.assign(static_cast<size_t>(width) * full_height, 0);
      toolbar_painter_.Paint(toolbar_pixels_, width, layout.ui_scale, toolbar_state_);
      SDL_UpdateTexture(toolbar_texture_.get(), nullptr, toolbar_pixels_.data(), width * 4);
      toolbar_painted_ = true;
      painted_state_ = toolbar_state_;
    }
    // A window lower than the dock shows its top part.
    SDL_Rect source{0, 0, width, height};
    SDL_Rect dest = ToSdl(layout.dock);
    SDL_RenderCopy(renderer_.get(), toolbar_texture_.get(), &source, &dest);
  }

  void OnWindowEvent(const SDL_WindowEvent& event, std::vector<InputEvent>& out,
                     bool& close_reported, bool& redraw) {
    switch (event.event) {
      case SDL_WINDOWEVENT_CLOSE:
        if (!close_reported) out.push_back({InputEvent::Kind::CloseRequested});
        close_reported = true;
        break;
      case SDL_WINDOWEVENT_FOCUS_GAINED:
        out.push_back({InputEvent::Kind::FocusGained});
        break;
      case SDL_WINDOWEVENT_FOCUS_LOST:
        // A release may never come now; forget the presses rather than route later input by them.
        panel_buttons_ = 0;
        toolbar_state_.pressed = ToolbarButton::None;
        out.push_back({InputEvent::Kind::FocusLost});
        break;
      case SDL_WINDOWEVENT_LEAVE:
        toolbar_state_.hot = ToolbarButton::None;
        break;
      case SDL_WINDOWEVENT_EXPOSED:
      case SDL_WINDOWEVENT_SIZE_CHANGED:
      case SDL_WINDOWEVENT_RESTORED:
      case SDL_WINDOWEVENT_MAXIMIZED:
        redraw = true;
        break;
      default:
        break;
    }
  }

  void OnKey(const SDL_KeyboardEvent& event, std::vector<InputEvent>& out) {
    const SDL_Scancode scancode = event.keysym.scancode;
    const bool enter = scancode == SDL_SCANCODE_RETURN || scancode == SDL_SCANCODE_KP_ENTER;
    if (enter && event.type == SDL_KEYDOWN && (event.keysym.mod & KMOD_ALT)) {
      if (!event.repeat) out.push_back({InputEvent::Kind::FullScreenButton});
      enter_taken_by_shortcut_ = true;
      return;
    }
    if (enter && event.type == SDL_KEYUP && enter_taken_by_shortcut_) {
      enter_taken_by_shortcut_ = false;
      return;
    }
    const int vk = VirtualKeyFromScancode(scancode);
    if (vk == 0) return;
    InputEvent key{event.type == SDL_KEYDOWN ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp};
    key.vk = vk;
    key.repeat = event.type == SDL_KEYDOWN && event.repeat != 0;
    out.push_back(key);
  }

  struct PointerHit {
    int x = 0, y = 0;  // drawable pixels
    bool on_toolbar = false;
    ToolbarButton button = ToolbarButton::None;
    PanelPoint panel;
  };

  PointerHit HitTest(int window_x, int window_y) const {
    const Surface surface = CurrentSurface();
    const ViewLayout layout = LayoutFor(surface);
    PointerHit hit;
    hit.x = WindowToDrawable(window_x, surface.width, surface.window_width);
    hit.y = WindowToDrawable(window_y, surface.height, surface.window_height);
    hit.on_toolbar = Contains(layout.dock, hit.x, hit.y);
    if (hit.on_toolbar) {
      hit.button =
          ToolbarButtonAt(hit.x - layout.dock.left, hit.y - layout.dock.top, layout.ui_scale);
    }
    hit.panel = MapToPanel(layout, PanelWidthForLayout(), PanelHeightForLayout(), hit.x, hit.y);
    return hit;
  }

  static InputEvent PanelEvent(InputEvent::Kind kind, const PanelPoint& p) {
    InputEvent event{kind};
    event.x = p.x;
    event.y = p.y;
    return event;
  }

  void OnMouseMove(const SDL_MouseMotionEvent& event, std::vector<InputEvent>& out) {
    const PointerHit hit = HitTest(event.x, event.y);
    toolbar_state_.hot = hit.button;
    if (hit.on_toolbar && panel_buttons_ == 0) return;
    out.push_back(PanelEvent(InputEvent::Kind::MouseMove, hit.panel));
  }

  void OnMouseDown(const SDL_MouseButtonEvent& event, std::vector<InputEvent>& out) {
    const std::optional<MouseButton> button = ToMouseButton(event.button);
    if (!button) return;
    const PointerHit hit = HitTest(event.x, event.y);
    if (hit.on_toolbar) {
      if (*button == MouseButton::Left) toolbar_state_.pressed = hit.button;
      return;
    }
    if (!hit.panel.on_frame) return;
    panel_buttons_ |= ButtonBit(*button);
    InputEvent down = PanelEvent(InputEvent::Kind::MouseDown, hit.panel);
    down.button = *button;
    out.push_back(down);
  }

  void OnMouseUp(const SDL_MouseButtonEvent& event, std::vector<InputEvent>& out) {
    const std::optional<MouseButton> button = ToMouseButton(event.button);
    if (!button) return;
    const PointerHit hit = HitTest(event.x, event.y);
    if (*button == MouseButton::Left && toolbar_state_.pressed != ToolbarButton::None) {
      const ToolbarButton pressed = std::exchange(toolbar_state_.pressed, ToolbarButton::None);
      if (hit.button == pressed) {
        out.push_back({pressed == ToolbarButton::Quit ? InputEvent::Kind::QuitButton
                                                      : InputEvent::Kind::FullScreenButton});
      }
      return;
    }
    if (!(panel_buttons_ & ButtonBit(*button))) return;
    panel_buttons_ &= ~ButtonBit(*button);
    InputEvent up = PanelEvent(InputEvent::Kind::MouseUp, hit.panel);
    up.button = *button;
    out.push_back(up);
  }

  void OnWheel(const SDL_MouseWheelEvent& event, std::vector<InputEvent>& out) {
    int y = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.y : event.y;
    if (y > 0) out.push_back({InputEvent::Kind::WheelUp});
    if (y < 0) out.push_back({InputEvent::Kind::WheelDown});
  }

  VideoSubsystem video_;
  bool integer_scaling_ = false;
  WindowPtr window_;
  RendererPtr renderer_;
  TexturePtr frame_texture_;
  int frame_width_ = 0;
  int frame_height_ = 0;
  int panel_width_ = kDefaultPanelWidth;
  int panel_height_ = kDefaultPanelHeight;
  bool full_screen_ = false;
  bool size_pending_ = false;
  bool toolbar_visible_ = true;
  bool enter_taken_by_shortcut_ = false;
  unsigned panel_buttons_ = 0;  // bits of the buttons pressed on the panel and not yet released

  ToolbarPainter toolbar_painter_;
  ToolbarState toolbar_state_;
  ToolbarState painted_state_;
  bool toolbar_painted_ = false;
  TexturePtr toolbar_texture_;
  int toolbar_width_ = 0;
  int toolbar_scale_ = 0;
  bool text_input_on_ = false;
  std::vector<uint32_t> toolbar_pixels_;
};

}  // namespace

bool IsInvisibleVideoDriver(std::string_view driver) {
  return driver == "offscreen" || driver == "dummy" || driver == "evdev";
}

std::unique_ptr<Window> CreateDesktopWindow(const DesktopWindowOptions& options) {
  return std::make_unique<DesktopWindow>(options);
}

std::unique_ptr<Window> CreateDesktopWindow() {
  return CreateDesktopWindow({});
}

}  // namespace novu::platform
