#include "controls/novu_menu.h"

#include <algorithm>

#include "expr/param_collection.h"
#include "objects/base_list.h"
#include "platform/virtual_keys.h"

namespace novu {

TNovuMenu::~TNovuMenu() = default;

void TNovuMenu::Create() {
  TNovuCustomListBox::Create();
  if (auto* list = dynamic_cast<TNovuBaseList*>(owner())) {
    list->input().AddRightClickClose(*this, *this);
  }
}

const std::string& TNovuMenu::source() const {
  static const std::string kNone;
  return kNone;
}

int32_t TNovuMenu::Now() const {
  return owner() != nullptr ? owner()->GameClock() : 0;
}

int32_t TNovuMenu::Elapsed() const {
  return std::max(0, Now() - phase_start_);
}

void TNovuMenu::TakeFocus() {
  if (auto* list = dynamic_cast<TNovuBaseList*>(owner())) list->SetFocus(this);
}

void TNovuMenu::ReleaseFocus() {
  ObjectList* list = owner();
  if (list == nullptr || list->FocusedControl() != this) return;
  list->ClearFocus();
  list->RequestFocus();
}

void TNovuMenu::Post(PropId id) {
  const std::string* label = nullptr;
  switch (id) {
    case PR_ONOPENING:
      label = &on_opening_;
      break;
    case PR_ONOPENED:
      label = &on_opened_;
      break;
    case PR_ONCLOSING:
      label = &on_closing_;
      break;
    case PR_ONCLOSED:
      label = &on_closed_;
      break;
    default:
      return;
  }
  PostEvent(*label, {}, static_cast<uint8_t>(id));
}

bool TNovuMenu::ClosingEventsQueued() const {
  return IsEventQueued(PR_ONCLOSING) || IsEventQueued(PR_ONCLOSED);
}

void TNovuMenu::ApplyLayoutSize(int32_t width, int32_t height) {
  if (width != this->width()) SetWidth(width);
  full_height_ = height;
  if (animation_phase() == kIdle && state_ == LP_PLAY && height != this->height()) {
    SetHeight(height);
  }
}

void TNovuMenu::SetPlayMode(uint8_t mode) {
  if (mode > LP_STOPFADE || mode == state_) return;
  state_ = mode;
  switch (mode) {
    case LP_PLAY:
      finished_ = false;
      set_animation_phase(kIdle);
      MarkLayout();
      EnsureLayout();
      TakeFocus();
      Post(PR_ONOPENING);
      Post(PR_ONOPENED);
      break;
    case LP_PLAYFADE:
      finished_ = false;
      set_animation_phase(kOpenStart);
      break;
    case LP_STOP:
      set_animation_phase(kIdle);
      SetHeight(0);
      ReleaseFocus();
      Post(PR_ONCLOSING);
      Post(PR_ONCLOSED);
      break;
    default:  // LP_STOPFADE
      set_animation_phase(kCloseStart);
      ReleaseFocus();
      break;
  }
}

bool TNovuMenu::CloseByRightClick() {
  if (finished_ || (state_ != LP_PLAY && state_ != LP_PLAYFADE)) return false;
  set_animation_phase(kCancel);
  return true;
}

void TNovuMenu::RunPhase() {
  const int64_t full = full_height_;
  const int64_t elapsed = Elapsed();
  switch (animation_phase()) {
    case kCancel:
      MarkLayout();
      EnsureLayout();
      if (state_ == LP_STOPFADE) {
        set_animation_phase(kCloseStart);
      } else {
        SetPlayMode(LP_STOPFADE);
      }
      break;
    case kOpenStart:
      MarkLayout();
      EnsureLayout();
      TakeFocus();
      Post(PR_ONOPENING);
      SetHeight(0);
      set_animation_phase(kOpenClock);
      break;
    case kOpenClock:
      phase_start_ = Now();
      set_animation_phase(kOpening);
      break;
    case kOpening:
      if (duration_ > 0 && elapsed < duration_) {
        SetHeight(static_cast<int32_t>(elapsed * full / duration_));
      } else {
        set_animation_phase(kIdle);
        state_ = LP_PLAY;
        SetHeight(full_height_);
        Post(PR_ONOPENED);
      }
      break;
    case kCloseStart:
      finished_ = true;
      phase_start_ = Now();
      Post(PR_ONCLOSING);
      set_animation_phase(kClosing);
      break;
    case kClosing:
      if (duration_ > 0 && elapsed < duration_) {
        SetHeight(static_cast<int32_t>(full - elapsed * full / duration_));
      } else {
        SetHeight(0);
        state_ = LP_STOP;
        Post(PR_ONCLOSED);
        set_animation_phase(kScrapWait);
      }
      break;
    case kScrapStart:
      finished_ = true;
      ReleaseFocus();
      Post(PR_ONCLOSING);
      Post(PR_ONCLOSED);
      set_animation_phase(kScrapNext);
      break;
    case kScrapNext:
      set_animation_phase(kScrapWait);
      break;
    default:
      break;
  }
}

int32_t TNovuMenu::Update() {
  if (const int32_t result = TNovuCustomListBox::Update(); result != 0) return result;
  RunPhase();
  // The menu goes once its handlers have taken the closing events.
  return animation_phase() == kScrapWait && !ClosingEventsQueued() ? 1 : 0;
}

void TNovuMenu::Chosen() {
  if (!auto_scrap_) return;
  finished_ = true;
  set_animation_phase(kScrapStart);
}

bool TNovuMenu::TakesKeys() const {
  return TNovuCustomListBox::TakesKeys() && !finished_ && state_ != LP_STOP &&
         state_ != LP_STOPFADE;
}

void TNovuMenu::RButtonDown() {
  const bool open = state_ == LP_PLAY || state_ == LP_PLAYFADE;
  if (!right_click_scrap_ || IsPaused() || finished_ || !open) {
    TNovuCustomListBox::RButtonDown();
    return;
  }
  if (env().vars != nullptr) {
    env().vars->SetSelStr("");
    env().vars->SetSelIndex(-1);
  }
  SetPlayMode(LP_STOPFADE);
  TNovuControl* base = GetBase();
  if (BaseInputState* input = base != nullptr ? base->InputState() : nullptr) {
    input->right_click = false;
  }
}

void TNovuMenu::KeyDown(std::span<const int32_t> keys) {
  TNovuCustomListBox::KeyDown(keys);
  if (state_ == LP_STOP || state_ == LP_STOPFADE) return;
  for (int32_t key : keys) {
    if ((key == platform::kVkReturn || key == platform::kVkSpace) && !finished_ && hovered() >= 0) {
      Choose(hovered());
    } else if (key == platform::kVkEscape && right_click_scrap_ && !finished_) {
      set_animation_phase(kCancel);
    }
  }
}

void TNovuMenu::AfterLoad() {
  TNovuCustomListBox::AfterLoad();
  if (state_ > LP_STOPFADE) state_ = LP_STOP;
  EnsureLayout();
  phase_start_ = Now();
}

const PropertyTable& TNovuMenu::Table() {
  using M = TNovuMenu;
  using R = PropertyRows<M>;
  static const PropertyTable table(
      &TNovuCustomListBox::Table(),
      {
          R::Field(PR_DELAY, &M::duration_),
          R::Field(PR_HOVERCOLOR, &M::hover_colour_).Set([](M& m, const PropValue& v) {
            m.hover_colour_ = PropAsInt(v);
            m.Invalidate();
          }),
          R::Field(PR_AUTOSCRAP, &M::auto_scrap_),
          R::Field(PR_RCLICKSCRAP, &M::right_click_scrap_),
          R::SavedField(&M::state_),
          R::Field(PR_ONOPENING, &M::on_opening_),
          R::Field(PR_ONOPENED, &M::on_opened_),
          R::Field(PR_ONCLOSING, &M::on_closing_),
          R::Field(PR_ONCLOSED, &M::on_closed_),
          R::Answer(PR_FONTHOVERCOLOR, [](const M& m) { return m.hover_style().colour; })
              .Set(&M::SetHoverColour),
          R::Answer(PR_FONTHOVERSTYLE, [](const M& m) { return int32_t{m.hover_style().style}; })
              .Set(&M::SetHoverStyle),
          R::Answer(PR_ORIGHEIGHT,
                    [](const M& m) {
                      const bool moving = m.animation_phase() != kIdle || m.state_ == LP_PLAYFADE ||
                                          m.state_ == LP_STOPFADE;
                      return moving ? m.full_height_ : m.height();
                    }),
      });
  return table;
}

}  // namespace novu
