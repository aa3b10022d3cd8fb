#pragma once
// InputRouter: the input pass of the object list. It keeps the keyboard state and the mouse
// buttons the window reports, and once a frame chooses a requested focus, routes the mouse to
// the control under it (presses, releases, wheel, in/out/move), sends keys to the focus, lets
// open menus close on a right click and picks the cursor to show.
#include <cstdint>
#include <string>
#include <vector>

#include "objects/key_state.h"
#include "objects/property_id.h"

namespace novu {

class TNovuBase;
class TNovuBaseList;
class TNovuControl;
class TNovuObject;

// A control that closes on a right click (menus, preview menus, selection images) implements
// this and adds itself to the router's right-click-close list while it is open.
class RightClickCloser {
 public:
  virtual ~RightClickCloser() = default;
  // True when the control closed and so took the click.
  virtual bool CloseByRightClick() = 0;
};

class InputRouter {
 public:
  explicit InputRouter(TNovuBaseList& list) : list_(list) {}
  InputRouter(const InputRouter&) = delete;
  InputRouter& operator=(const InputRouter&) = delete;

  // --- the frame's pass ---
  // Focus request, key latching, mouse routing, key events to the focus, key repeat.
  void ProcessInput(int32_t elapsed_ms);

  // --- input from the window ---
  void KeyDown(int key);  // held and clicked
  void KeyUp(int key);
  void SetKeyState(int key, bool down) { keys_.SetKeyState(key, down); }
  void SetKeyClick(int key, bool flag) { keys_.SetKeyClick(key, flag); }
  void ClearKeys() { keys_.ClearKeys(); }
  void MouseDown(bool left);
  void MouseUp();
  void MouseMove(int32_t x, int32_t y);
  void Wheel(bool down);
  // The window lost the input: no key or button stays held.
  void ReleaseHeldInput();
  const KeyState& keys() const { return keys_; }

  // --- right-click close ---
  void AddRightClickClose(TNovuControl& control, RightClickCloser& closer);
  void RemoveRightClickClose(const TNovuControl& control);

  // --- cursor ---
  // The custom cursor file the window shows (empty: the normal pointer).
  const std::string& shown_cursor() const { return shown_cursor_; }

  // --- told by the list ---
  // The object is going away: no pointer to it is kept.
  void Forget(const TNovuObject& object);
  // Every object is going away.
  void ForgetAll();

 private:
  struct CloseEntry {
    TNovuControl* control;
    RightClickCloser* closer;
  };

  void RouteMouse();
  bool CloseByRightClick(TNovuBase& base);
  void UpdateCursor(const TNovuControl& target);
  void PostRelease(TNovuControl& target, PropId id);
  void SendKeysToFocus();

  TNovuBaseList& list_;
  KeyState keys_;
  std::vector<CloseEntry> close_list_;
  // The control being routed to; cleared when it goes away, so a pointer is never followed
  // after its object was freed.
  TNovuControl* routing_target_ = nullptr;
  std::string shown_cursor_;
};

}  // namespace novu
