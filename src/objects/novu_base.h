#pragma once
// TNovuBase: one of the two screens of the object list. Controls are placed on it; it keeps the
// mouse state the controls read, the rectangles still to repaint, and a surface of its own that
// it draws into while it is not the screen being shown (or while a transition runs).
#include <cstdint>
#include <functional>
#include <memory>

#include "objects/novu_control.h"
#include "render/dibx.h"
#include "storage/clip_list.h"

namespace novu {

// What the window reported about the mouse since the last input pass, as one base keeps it.
struct BaseMouseState {
  bool moved = false;
  bool pending_left = false;
  bool pending_right = false;
  bool left_held = false;
  bool right_held = false;
  bool pending_wheel_down = false;
  bool pending_wheel_up = false;
  bool wheel_down = false;  // @WheelDown
  bool wheel_up = false;    // @WheelUp
  // The control under the mouse in the previous frame, also the one holding a captured press.
  // The object list clears it when that control goes away.
  TNovuControl* previous = nullptr;
};

class TNovuBase final : public TNovuControl {
 public:
  explicit TNovuBase(ObjectList* owner);

  bool IsBase() const override { return true; }
  BaseInputState* InputState() override { return &input_; }
  const BaseInputState& input() const { return input_; }
  BaseMouseState& mouse() { return mouse_; }
  const BaseMouseState& mouse() const { return mouse_; }

  // The surface the base and its controls draw into: the shown screen's, or the base's own.
  render::TCustomDIBX* GetSurface() const override { return target_; }
  void DrawIntoScreen(render::TCustomDIBX* screen) { target_ = screen != nullptr ? screen : &own_; }
  render::TDIBX& own_surface() { return own_; }
  // Sizes the base and its own surface.
  void Resize(int32_t width, int32_t height, int depth);

  // The rectangle clamped to the base joins the dirty list.
  void InvalidateRect(const render::Rect& rect) override;
  // Called with every clamped rectangle before it joins (and merges into) the dirty list, so
  // that what each control reports can be followed; none: nobody is told.
  using InvalidationWatcher = std::function<void(const render::Rect&)>;
  void WatchInvalidation(InvalidationWatcher watcher) { watcher_ = std::move(watcher); }
  void InvalidateAll();
  const TClipList& dirty() const { return dirty_; }
  void ClearDirty() { dirty_.Clear(); }
  // Repaints every dirty rectangle: the base's colour (unless negative), then the controls.
  void PaintDirty();

  // Where the window last put the mouse, in base coordinates; sets the moved flag on a change.
  void SetMousePosition(int32_t x, int32_t y);

 protected:
  bool AutoName() const override { return false; }
  void DrawSelf(render::TCustomDIBX& surface) override;

 private:
  BaseInputState input_;
  BaseMouseState mouse_;
  TClipList dirty_;
  InvalidationWatcher watcher_;
  render::TDIBX own_;
  render::TCustomDIBX* target_ = &own_;
};

// TNovuCabinet: an invisible store for controls. What is put in it keeps its state but is not
// drawn, updated, idled or given input until it is taken out again.
class TNovuCabinet final : public TNovuControl {
 public:
  using TNovuControl::TNovuControl;

  ComponentType GetType() const override { return LT_CABINET; }
  bool IsCabinet() const override { return true; }
  bool IsVisible() const override { return false; }
  void Paint(render::TCustomDIBX& /*surface*/) override {}
};

}  // namespace novu
