#pragma once
// What the frame loop drives in the rest of the program. Each subsystem fills in its part as it
// joins; until then a hook does nothing.
#include <string>

#include "platform/window.h"

namespace novu {

class GameHooks {
 public:
  virtual ~GameHooks() = default;

  // Tick steps, in the order the tick calls them.
  virtual void Housekeeping() {}                       // release idle file locks, periodic clean-up
  virtual void PreUpdate() {}                          // input edge detection and key-repeat timing
  virtual void RunScripts() {}                         // the interpreter's share of the tick
  virtual void UpdateObjects() {}                      // animations, text reveal, timers, motions
  virtual bool RunPendingSaveLoad() { return false; }  // true when a game was loaded
  virtual void DrawBases() {}  // repaint the changed regions of the current screen
  virtual void Present() {}    // show the changed regions in the window
  virtual void RefreshVideo() {}

  // Input, forwarded while the window is active.
  virtual void KeyDown(int /*vk*/) {}
  virtual void KeyUp(int /*vk*/) {}
  virtual void MouseDown(platform::MouseButton /*button*/) {}
  virtual void MouseUp(platform::MouseButton /*button*/) {}
  virtual void MouseMove(int /*x*/, int /*y*/) {}
  virtual void Wheel(bool /*down*/) {}
  // Keys reach a text-entry box holding the keyboard focus first (repeats included); true when
  // one took the key, which the game then does not see.
  virtual bool TextKeyDown(int /*vk*/) { return false; }
  virtual void TextKeyUp(int /*vk*/) {}
  // Typed text and an input method's composition, UTF-8 as the window gives it.
  virtual void TypeText(const std::string& /*utf8*/) {}
  virtual void ComposeText(const std::string& /*utf8*/) {}

  // Deactivation and activation when the game pauses while inactive.
  virtual void ReleaseHeldInput() {}
  virtual void SuspendMedia() {}
  virtual void ResumeMedia() {}

  // Around a full-screen switch.
  virtual void ReleaseDeviceSurfaces() {}
  virtual void RebuildDeviceSurfaces() {}
  virtual void SuspendVideo() {}
  virtual void ResumeVideo() {}
};

}  // namespace novu
