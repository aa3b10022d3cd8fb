#pragma once
// TextEntryFocus: which text-entry box holds the keyboard focus. The window's keys and typed
// text go to that box first; what it does not use goes on to the game. The platform layer asks
// it where text input is wanted, to start the input method there (and stop it when no box holds
// the focus).
#include <optional>
#include <string_view>

#include "core/geometry.h"

namespace novu {

class TextEntryWidget;

class TextEntryFocus {
 public:
  TextEntryWidget* focused() const { return focused_; }
  bool Holds(const TextEntryWidget& widget) const { return focused_ == &widget; }

  // Gives the focus to `widget` (a hidden or disabled one does not take it); its on_focus is
  // told when the focus moved.
  void Take(TextEntryWidget& widget);
  // The widget lets go of the focus (hidden, disabled or freed).
  void Drop(const TextEntryWidget& widget);

  // A key pressed in the window: the focused box hears of it first (its owner's key
  // notification, then the editing keys). True when a box holds the focus, so the game does not
  // see the key.
  bool KeyDown(int vk);
  void KeyUp(int vk);
  // Committed text and the text being composed, in code page 932.
  void TypeText(std::string_view cp932);
  void Compose(std::string_view cp932);

  // The caret's cell of the focused box on the screen; none when no box takes text.
  std::optional<Rect> InputArea() const;

 private:
  bool Accepts() const;

  TextEntryWidget* focused_ = nullptr;
  bool shift_ = false;
  bool control_ = false;
};

}  // namespace novu
