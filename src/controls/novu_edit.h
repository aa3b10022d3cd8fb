#pragma once
// TNovuEdit (LT_EDIT, command EditNew) and TNovuMemo (LT_MEMO, command MemoNew): a single-line
// and a multi-line text-entry box placed over the control's rectangle. The box is shown only
// while the control is really on top at its centre on the active screen; a shown box takes the
// keyboard focus, and every key pressed in it is reported to the script (PR_ONNOTIFY, event 33,
// with the key code and the box's text). The text, font and colours live in the box.
#include <cstdint>
#include <string>
#include <string_view>

#include "controls/image_environment.h"
#include "controls/text_entry_widget.h"
#include "objects/novu_control.h"

namespace novu {

class TNovuCustomEdit : public TNovuControl {
 public:
  TNovuCustomEdit(ObjectList* owner, ImageEnvironment env, TextEntryWidget::Lines lines);
  ~TNovuCustomEdit() override;

  void Create() override;
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

  TextEntryWidget& widget() { return widget_; }
  const TextEntryWidget& widget() const { return widget_; }
  void SetText(std::string_view text);
  void SetPaused(bool paused);
  void SetFontName(std::string_view name);
  void SetFontHeight(int32_t height);
  void SetFontStyle(uint8_t style);
  void SetFontColour(int32_t colour);
  void SetBackColour(int32_t colour);
  void SetReadOnly(bool read_only);
  void SetAlignment(uint8_t alignment);

  void SetVisible(bool visible) override;
  void SetParent(TNovuControl* parent) override;
  int32_t Update() override;
  void LButtonDown() override;
  void FocusEntered() override;
  // Places the box over the control and shows it exactly when the control is on top at its
  // centre; a shown box takes the keyboard focus.
  void Synchronise();

 protected:
  void DrawSelf(render::TCustomDIBX& surface) override;
  void BoundsChanged() override;
  void AfterLoad() override;

 private:
  // Whether the box is to be shown: the control is the one hit at its centre.
  bool TopmostAtCentre() const;
  void NotifyKey(int vk);
  void TakeListFocus();

  ImageEnvironment env_;
  TextEntryWidget widget_;
  std::string on_notify_;
};

class TNovuEdit final : public TNovuCustomEdit {
 public:
  TNovuEdit(ObjectList* owner, ImageEnvironment env);
  ComponentType GetType() const override { return LT_EDIT; }
};

class TNovuMemo final : public TNovuCustomEdit {
 public:
  TNovuMemo(ObjectList* owner, ImageEnvironment env);
  ComponentType GetType() const override { return LT_MEMO; }
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }
};

}  // namespace novu
