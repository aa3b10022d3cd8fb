#include "controls/novu_button.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "core/cp932.h"
#include "core/process_state.h"
#include "objects/novu_base.h"

namespace novu {
namespace {

constexpr int32_t kVkReturn = 0x0D;
constexpr int32_t kVkSpace = 0x20;
// The platform's outline-metrics block the caption stored; what the player needs of a font
// comes from the glyph source, so it is written as zeros and skipped when read.
constexpr size_t kOutlineMetricsSize = 212;

bool IsLayeredImageName(std::string_view name) {
  return name.size() >= 4 && cp932::EqualsNoCase(name.substr(name.size() - 4), ".fip");
}

// The buttons of `group` among the children of `parent` (only `self` without a parent).
std::vector<TNovuButton*> GroupMembers(TNovuButton& self, int32_t group) {
  if (group == 0) return {};
  TNovuControl* parent = self.GetParent();
  if (parent == nullptr) return {&self};
  std::vector<TNovuButton*> members;
  for (const auto& child : parent->children()) {
    auto* button = dynamic_cast<TNovuButton*>(child.get());
    if (button != nullptr && button->group() == group) members.push_back(button);
  }
  return members;
}

}  // namespace

TNovuButton::TNovuButton(ObjectList* owner, ImageEnvironment env) : TNovuImages(owner, env) {
  for (int s = 1; s < kStateCount; ++s) lists_[s] = std::make_unique<TNovuImageList>(env.cache);
}

TNovuButton::~TNovuButton() = default;

TNovuImageList* TNovuButton::ListOf(int32_t s) const {
  if (s <= 0 || s >= kStateCount) return &SourceList();
  return lists_[s].get();
}

bool TNovuButton::HasPictures(int32_t s) const {
  return ListOf(s)->Count() > 0;
}

// --- states ---

void TNovuButton::SetState(int32_t s) {
  if (state_ == kClicked) {
    pending_ = s;
    return;
  }
  if (s == state_ || s >= kStateCount) return;
  if (s > 0 && !HasPictures(s)) return;
  EnterState(s);
}

void TNovuButton::EnterState(int32_t s) {
  Invalidate();
  state_ = std::max(s, 0);
  if (state_ == kClicked) pending_ = kNormal;
  SetIndex(-1);
  SetIndex(0);
}

void TNovuButton::SetStateSource(int32_t s, std::string_view name) {
  const bool current = s == state_ || (s <= 0 && state_ <= 0);
  if (s <= 0) {
    if (name == source()) return;
    set_source(name);
  } else {
    if (name == sources_[s]) return;
    sources_[s] = name;
  }
  TNovuImageList& list = *ListOf(s);
  if (current) {
    DropPicture();
  } else {
    list.Clear();
  }
  // Each state's list holds its picture under an identity of its own, so two states showing
  // the same file do not share one hold on it.
  if (IsLayeredImageName(name))
    list.Load(s <= 0 ? static_cast<const void*>(this) : &list, name, false);
  if (current) {
    if (list.Count() > 0) SetIndex(0);
    RecomputeSize();
  }
}

// --- selection and groups ---

void TNovuButton::SetSelectedOnly(bool selected) {
  selected_ = selected;
  SetState(selected ? kPressed : kNormal);
}

void TNovuButton::SetSelected(bool selected) {
  if (group_ == 0 && selected) return;
  SetSelectedOnly(selected);
  ApplyGroupRule();
}

void TNovuButton::ApplyGroupRule() {
  const std::vector<TNovuButton*> members = GroupMembers(*this, group_);
  if (members.empty()) return;
  TNovuButton* chosen = nullptr;
  if (selected_) {
    chosen = this;
  } else {
    const auto first = std::find_if(members.begin(), members.end(),
                                    [](const TNovuButton* b) { return b->selected_; });
    if (first != members.end()) {
      chosen = *first;
    } else if (!allow_all_up_) {
      chosen = members.front();
    }
  }
  for (TNovuButton* member : members) {
    const bool want = member == chosen;
    if (member->selected_ != want) member->SetSelectedOnly(want);
  }
}

void TNovuButton::SetGroupIndex(int32_t group) {
  group_ = group;
  ApplyGroupRule();
}

void TNovuButton::SetAllowAllUp(bool allow) {
  for (TNovuButton* member : GroupMembers(*this, group_)) member->allow_all_up_ = allow;
  allow_all_up_ = allow;
  ApplyGroupRule();
}

// --- clicks ---

void TNovuButton::Click() {
  PostEvent(on_notify_, {}, PR_ONNOTIFY);
  if (group_ == 0) {
    SetState(kClicked);
    if (state_ != kClicked && PropAsBool(GetProperty(PR_AUTOSCRAP))) press_ = -1;
  } else if (allow_all_up_ || !selected_) {
    SetSelected(!selected_);
  }
}

int32_t TNovuButton::FinishClick() {
  if (PropAsBool(GetProperty(PR_AUTOSCRAP))) {
    press_ = -1;
    return 1;
  }
  PostEvent(PlayEndLabel(), {}, PR_ONPLAYEND);
  const int32_t next =
      pending_ > 0 && pending_ < kStateCount && HasPictures(pending_) ? pending_ : kNormal;
  EnterState(next);
  return 0;
}

int32_t TNovuButton::Update() {
  if (press_ < 0) return 1;
  if (const int32_t result = TNovuCustomImage::Update(); result != 0) return result;
  const int32_t count = FrameCount();
  if (GetMotion() != nullptr || index() < 0 || index() >= count || !IsVisible() || paused() ||
      PropAsBool(GetProperty(PR_ANIPAUSED))) {
    return 0;
  }
  const int32_t elapsed = env_.state != nullptr ? std::max(env_.state->frame_delta, 0) : 0;
  set_remaining(static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{remaining()} - elapsed, INT32_MIN, INT32_MAX)));
  bool ended = false;
  while (remaining() < 1) {
    if (index() < count - 1) {
      SetIndex(index() + 1);
      continue;
    }
    if (Repeats()) {
      set_remaining(0);
      SetIndex(0);
    }
    ended = state_ == kClicked;
    break;
  }
  return ended ? FinishClick() : 0;
}

// --- mouse and keys ---

bool TNovuButton::UnderPointer() const {
  TNovuControl* base = GetBase();
  const BaseInputState* input = base != nullptr ? base->InputState() : nullptr;
  if (input == nullptr) return false;
  return base->HitTest({input->mouse_x, input->mouse_y}, {IM_NONE, IM_RCLICK}) == this;
}

void TNovuButton::MouseMove() {
  if (press_ == 0) {
    SetState(selected_ ? kPressed : paused() ? kNormal : kHover);
    TNovuImages::MouseMove();
  } else if (press_ > 0) {
    SetState(!selected_ && !UnderPointer() ? kNormal : kPressed);
  }
}

void TNovuButton::MouseOut() {
  if (state_ != kClicked) SetState(selected_ ? kPressed : kNormal);
  TNovuImages::MouseOut();
}

void TNovuButton::LButtonDown() {
  if (mouse_mode() != IM_NONE && mouse_mode() != IM_RCLICK) {
    TNovuImages::LButtonDown();
    return;
  }
  TNovuControl* base = GetBase();
  BaseInputState* input = base != nullptr ? base->InputState() : nullptr;
  if (input != nullptr) input->left_click = false;
  if (paused() || state_ == kClicked) return;
  if (input != nullptr) input->press_taken |= kPressLeftTaken;
  SetState(kPressed);
  press_ = 1;
}

void TNovuButton::LButtonUp() {
  TNovuControl* base = GetBase();
  if (BaseInputState* input = base != nullptr ? base->InputState() : nullptr)
    input->press_taken &= static_cast<uint8_t>(~kPressLeftTaken);
  if (press_ > 0 && UnderPointer()) {
    Click();
    if (press_ < 0) return;
  }
  press_ = 0;
  if (group_ == 0 && state_ != kClicked) SetState(kNormal);
}

void TNovuButton::KeyRepeat(std::span<const int32_t> keys) {
  if (std::any_of(keys.begin(), keys.end(),
                  [](int32_t k) { return k == kVkReturn || k == kVkSpace; })) {
    Click();
  }
  TNovuImages::KeyRepeat(keys);
}

// --- caption ---

void TNovuButton::CaptionChanged(const std::function<void(CaptionStyle&)>& change) {
  change(caption_.label(0).mutable_style());
  Invalidate();
}

void TNovuButton::DrawSelf(render::TCustomDIBX& surface) {
  TNovuImages::DrawSelf(surface);
  TKxLabelDIB& label = caption_.label(0);
  if (label.text().empty()) return;
  caption_.Prepare(env_.glyphs, surface.BitCount());
  const int32_t shift = state_ == kPressed || state_ == kClicked ? 1 : 0;
  label.Draw(surface, ScreenX() + (width() - label.width()) / 2 + shift,
             ScreenY() + (height() - label.height()) / 2 + shift);
}

// --- saving ---

void TNovuButton::SyncCaption(Serializer& s) {
  CaptionStyle& c = caption_.label(0).mutable_style();
  s.I32(c.anti_alias);
  if (s.loading() && !s.Has(109)) c.anti_alias = c.anti_alias > 1 ? 3 : 0;
  s.I32(c.border_width);
  s.I32(c.alpha);
  s.I32(c.font_height);
  s.String(c.font_name);
  s.I32(c.colour);
  s.I32(c.border_colour);
  s.U8(c.style);
  if (s.loading()) {
    s.reader().Skip(kOutlineMetricsSize);
  } else {
    s.writer().Bytes(std::vector<uint8_t>(kOutlineMetricsSize, 0));
  }
  s.I32(c.shadow_offset);
  s.I32(c.shadow_colour);
  if (s.loading()) c.Clamp();
}

void TNovuButton::SyncTail(Serializer& s) {
  for (int st : {kHover, kPressed}) {
    if (s.loading()) {
      s.String(loaded_sources_[st]);
    } else {
      s.String(sources_[st]);
    }
  }
  s.I32(group_);
  s.Bool(selected_);
  s.Bool(allow_all_up_);
  s.String(on_notify_);
  if (s.Has(104)) {
    std::string idle = on_idle();
    s.String(idle);
    if (s.loading()) set_on_idle(idle);
    if (s.loading()) {
      s.String(loaded_sources_[kClicked]);
    } else {
      s.String(sources_[kClicked]);
    }
  } else if (s.loading()) {
    loaded_sources_[kClicked] = sources_[kClicked];
  }
  if (s.Has(137)) SyncCaption(s);
}

void TNovuButton::AfterLoad() {
  // Back to the normal look first, so each state's pictures load into their own list.
  state_ = kNormal;
  pending_ = kNormal;
  press_ = 0;
  for (int st = 1; st < kStateCount; ++st) {
    sources_[st].clear();
    lists_[st]->Clear();
    SetStateSource(st, std::exchange(loaded_sources_[st], {}));
  }
  const int32_t saved_index = index();
  const int32_t saved_remaining = remaining();
  TNovuImages::AfterLoad();
  if (selected_) SetSelected(true);
  SetIndex(saved_index);
  set_remaining(saved_remaining);
}

const PropertyTable& TNovuButton::Table() {
  using R = PropertyRows<TNovuButton>;
  using B = TNovuButton;
  auto caption_int = [](int32_t CaptionStyle::*member) {
    return [member](B& b, const PropValue& v) {
      b.CaptionChanged([&](CaptionStyle& c) {
        c.*member = PropAsInt(v);
        c.Clamp();
      });
    };
  };
  auto caption_get = [](int32_t CaptionStyle::*member) {
    return [member](const B& b) { return b.caption().style().*member; };
  };
  static const PropertyTable table(
      &TNovuImages::Table(),
      {
          R::Override(PR_SOURCE).Set(
              [](B& b, const PropValue& v) { b.SetStateSource(kNormal, PropAsStr(v)); }),
          R::Override(PR_REPEAT)
              .Get([](const B& b) { return b.state_ != kClicked; })
              .Set([](B&, const PropValue&) {}),
          R::Override(PR_PAUSED).Set([](B& b, const PropValue& v) {
            const bool paused = PropAsBool(v);
            b.SetPaused(paused);
            if (!paused) b.SetState(kNormal);
          }),
          R::Saved([](B& b, Serializer& s) { b.SyncTail(s); }),
          R::Answer(PR_HOVERSOURCE, [](const B& b) { return b.sources_[kHover]; })
              .Set([](B& b, const PropValue& v) { b.SetStateSource(kHover, PropAsStr(v)); }),
          R::Answer(PR_PRESSEDSOURCE, [](const B& b) { return b.sources_[kPressed]; })
              .Set([](B& b, const PropValue& v) { b.SetStateSource(kPressed, PropAsStr(v)); }),
          R::Answer(PR_CLICKEDSOURCE, [](const B& b) { return b.sources_[kClicked]; })
              .Set([](B& b, const PropValue& v) { b.SetStateSource(kClicked, PropAsStr(v)); }),
          R::Answer(PR_GROUPINDEX, [](const B& b) { return b.group_; }).Set(&B::SetGroupIndex),
          R::Answer(PR_SELECTED, [](const B& b) { return b.selected_; }).Set(&B::SetSelected),
          R::Answer(PR_ALLOWALLUP, [](const B& b) { return b.allow_all_up_; })
              .Set(&B::SetAllowAllUp),
          R::Answer(PR_ONNOTIFY, [](const B& b) { return b.on_notify_; })
              .Set([](B& b, const PropValue& v) { b.on_notify_ = PropAsStr(v); }),
          R::Answer(PR_TEXT, [](const B& b) { return b.caption().text(); })
              .Set([](B& b, const PropValue& v) {
                b.caption_.label(0).SetText(PropAsStr(v));
                b.Invalidate();
              }),
          R::Answer(PR_FONTNAME, [](const B& b) { return b.caption().style().font_name; })
              .Set([](B& b, const PropValue& v) {
                b.CaptionChanged([&](CaptionStyle& c) { c.font_name = PropAsStr(v); });
              }),
          R::Answer(PR_FONTHEIGHT, caption_get(&CaptionStyle::font_height))
              .Set(caption_int(&CaptionStyle::font_height)),
          R::Answer(PR_FONTCOLOR, caption_get(&CaptionStyle::colour))
              .Set(caption_int(&CaptionStyle::colour)),
          R::Answer(PR_FONTSTYLE, [](const B& b) { return int32_t{b.caption().style().style}; })
              .Set([](B& b, const PropValue& v) {
                b.CaptionChanged(
                    [&](CaptionStyle& c) { c.style = static_cast<uint8_t>(PropAsInt(v) & 0x0f); });
              }),
          R::Answer(PR_ANTIALIAS, [](const B& b) { return b.caption().style().anti_alias > 0; })
              .Set([](B& b, const PropValue& v) {
                b.CaptionChanged([&](CaptionStyle& c) { c.anti_alias = PropAsBool(v) ? 3 : 0; });
              }),
      });
  return table;
}

}  // namespace novu
