#include "controls/text_entry_focus.h"

#include "controls/text_entry_widget.h"
#include "platform/virtual_keys.h"

namespace novu {

bool TextEntryFocus::Accepts() const {
  return focused_ != nullptr && focused_->shown() && focused_->enabled();
}

void TextEntryFocus::Take(TextEntryWidget& widget) {
  if (!widget.shown() || !widget.enabled() || focused_ == &widget) return;
  TextEntryWidget* old = focused_;
  focused_ = &widget;
  if (old != nullptr && old->on_change) old->on_change();  // its caret goes
  if (widget.on_focus) widget.on_focus();
  if (widget.on_change) widget.on_change();
}

void TextEntryFocus::Drop(const TextEntryWidget& widget) {
  if (focused_ == &widget) focused_ = nullptr;
}

bool TextEntryFocus::KeyDown(int vk) {
  if (vk == platform::kVkShift) shift_ = true;
  if (vk == platform::kVkControl) control_ = true;
  if (!Accepts()) return false;
  TextEntryWidget& widget = *focused_;
  if (widget.on_key) widget.on_key(vk);
  // The notification may have hidden or freed the box.
  if (Accepts() && focused_ == &widget) widget.PressKey(vk, shift_, control_);
  return true;
}

void TextEntryFocus::KeyUp(int vk) {
  if (vk == platform::kVkShift) shift_ = false;
  if (vk == platform::kVkControl) control_ = false;
}

void TextEntryFocus::TypeText(std::string_view cp932) {
  if (Accepts()) focused_->TypeText(cp932);
}

void TextEntryFocus::Compose(std::string_view cp932) {
  if (Accepts()) focused_->SetComposition(cp932);
}

std::optional<Rect> TextEntryFocus::InputArea() const {
  if (!Accepts()) return std::nullopt;
  return focused_->CaretRect().IsEmpty() ? focused_->area() : focused_->CaretRect();
}

}  // namespace novu
