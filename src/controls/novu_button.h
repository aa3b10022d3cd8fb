#pragma once
// TNovuButton (LT_BUTTON): an animated picture with four looks — normal, hover, pressed and
// clicked — an optional one-line caption, and optional grouping: buttons of one positive group
// number under the same parent act as radio buttons, a negative number makes toggles.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "controls/kx_label_list.h"
#include "controls/novu_images.h"

namespace novu {

class TNovuButton final : public TNovuImages {
 public:
  enum State : int32_t { kNormal = 0, kHover = 1, kPressed = 2, kClicked = 3 };
  static constexpr int kStateCount = 4;

  TNovuButton(ObjectList* owner, ImageEnvironment env);
  ~TNovuButton() override;

  ComponentType GetType() const override { return LT_BUTTON; }
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

  int32_t state() const { return state_; }
  int32_t pending_state() const { return pending_; }
  int32_t group() const { return group_; }
  bool selected() const { return selected_; }
  bool allow_all_up() const { return allow_all_up_; }
  const TKxLabelDIB& caption() const { return caption_.label(0); }

  // Shows state `s` (see the file comment); a state without pictures is never entered, and
  // while the clicked animation runs the state is only remembered for afterwards.
  void SetState(int32_t s);
  void SetStateSource(int32_t s, std::string_view name);
  void SetSelected(bool selected);
  void SetGroupIndex(int32_t group);
  void SetAllowAllUp(bool allow);
  // What a click does: the notify event, then the clicked animation or the group toggle.
  void Click();

  void SetSource(std::string_view name) override { SetStateSource(kNormal, name); }
  int32_t Update() override;
  void LButtonDown() override;
  void LButtonUp() override;
  void MouseMove() override;
  void MouseOut() override;
  void KeyRepeat(std::span<const int32_t> keys) override;

 protected:
  TNovuImageList* ActiveList() const override { return ListOf(state_); }
  bool Repeats() const override { return state_ != kClicked; }
  void DrawSelf(render::TCustomDIBX& surface) override;
  void AfterLoad() override;

 private:
  TNovuImageList* ListOf(int32_t s) const;
  bool HasPictures(int32_t s) const;
  void EnterState(int32_t s);
  // The clicked animation has played: delete, or report the end and show the pending state.
  int32_t FinishClick();
  bool UnderPointer() const;
  // Sets the flag and its look without applying the group rule.
  void SetSelectedOnly(bool selected);
  // Among the parent's buttons of this group: exactly the chosen one selected (or none, when
  // all may be up).
  void ApplyGroupRule();
  void SyncTail(Serializer& s);
  void SyncCaption(Serializer& s);
  void CaptionChanged(const std::function<void(CaptionStyle&)>& change);

  std::array<std::unique_ptr<TNovuImageList>, kStateCount> lists_;  // [0] unused: the source's
  std::array<std::string, kStateCount> sources_;                    // [0] unused: the source's
  std::array<std::string, kStateCount> loaded_sources_;
  int32_t state_ = kNormal;
  int32_t pending_ = kNormal;
  int32_t press_ = 0;  // 0 idle, 1 pressed on this button, -1 deletion asked for
  int32_t group_ = 0;
  bool selected_ = false;
  bool allow_all_up_ = false;
  std::string on_notify_;
  TKxLabelList caption_{1};
};

}  // namespace novu
