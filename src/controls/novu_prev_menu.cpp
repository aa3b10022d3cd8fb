// Item pictures, by preference, for each situation of an item:
//   entering (hovered): checked -> checked hover in, checked; enabled -> hover in, normal;
//     disabled -> disabled hover in, disabled; with the matching hover-in overlay repeating;
//   leaving: checked -> checked hover out, checked, then the enabled or disabled picture;
//     enabled -> hover out, normal; disabled -> disabled hover out, disabled; with the
//     matching hover-out overlay once;
//   resting: checked -> checked; enabled -> normal; disabled -> disabled; hidden -> none.
#include "controls/novu_prev_menu.h"

#include <algorithm>
#include <set>
#include <utility>

#include "controls/fipo_collection.h"
#include "controls/novu_prev_images.h"
#include "core/binary_reader.h"
#include "expr/param_collection.h"
#include "objects/base_list.h"

namespace novu {
namespace {

constexpr int32_t kVkReturn = 0x0D;
constexpr int32_t kVkSpace = 0x20;
constexpr int32_t kVkLeft = 0x25;
constexpr int32_t kVkUp = 0x26;
constexpr int32_t kVkRight = 0x27;
constexpr int32_t kVkDown = 0x28;

const std::string& FirstNamed(const std::string& a, const std::string& b) {
  return !a.empty() ? a : b;
}

bool Has(std::span<const int32_t> keys, std::initializer_list<int32_t> wanted) {
  return std::any_of(keys.begin(), keys.end(), [&](int32_t k) {
    return std::find(wanted.begin(), wanted.end(), k) != wanted.end();
  });
}

}  // namespace

TNovuPrevMenu::TNovuPrevMenu(ObjectList* owner, ImageEnvironment env)
    : TNovuControl(owner), env_(env) {}

TNovuPrevMenu::~TNovuPrevMenu() {
  if (env_.cache != nullptr) {
    for (TFipoItem* item : held_) env_.cache->Release(item, this);
  }
}

void TNovuPrevMenu::Create() {
  TNovuControl::Create();
  if (auto* list = dynamic_cast<TNovuBaseList*>(owner())) {
    list->input().AddRightClickClose(*this, *this);
  }
}

// --- source and items ---

void TNovuPrevMenu::ClearItems() {
  Invalidate();
  for (std::vector<TNovuPrevImages*>* pictures : {&overlays_, &items_}) {
    for (TNovuPrevImages* picture : *pictures) {
      if (picture != nullptr) RemoveChild(*picture);  // freed here
    }
    pictures->clear();
  }
  if (env_.cache != nullptr) {
    for (TFipoItem* item : held_) env_.cache->Release(item, this);
  }
  held_.clear();
  menu_ = {};
  counted_.clear();
  enabled_.clear();
  visible_.clear();
  checked_.clear();
  hovered_ = pressed_ = clicked_ = -1;
  running_ = 0;
}

void TNovuPrevMenu::SetSource(std::string_view name) {
  if (name == source_) return;
  ClearItems();
  source_ = name;
  std::optional<std::vector<uint8_t>> bytes;
  if (env_.cache != nullptr && !name.empty()) bytes = env_.cache->LoadFile(name);
  if (!bytes) {
    SetWidth(0);
    SetHeight(0);
    return;
  }
  BuildItems(name, *bytes);
}

void TNovuPrevMenu::BuildItems(std::string_view file_name, std::span<const uint8_t> bytes) {
  BinaryReader in(bytes);
  menu_ = TContSelList::Read(in, FolderOf(file_name));
  SetWidth(menu_.width);
  SetHeight(menu_.height);
  const size_t count = menu_.items.size();
  enabled_.assign(count, 1);
  visible_.assign(count, 1);
  checked_.assign(count, 0);
  overlays_.assign(count, nullptr);
  counted_.assign(count, false);
  for (const TContSelButton& record : menu_.items) {
    auto& item = static_cast<TNovuPrevImages&>(
        AddChild(MakeObject<TNovuPrevImages>(owner(), env_, TNovuPrevImages::Ended{})));
    item.AssignName(owner()->UniqueName(std::string(1, kInternalNameMark) + name() +
                                        std::string(1, kInternalNameMark)));
    item.SetLeft(record.x);
    item.SetTop(record.y);
    item.SetProperty(PR_CAPTUREMASK, record.capture_mask != 0);
    item.SetProperty(PR_CURSOR, record.cursor);
    item.SetSource(record.normal);
    item.SetRepeat(true);
    items_.push_back(&item);
  }
  HoldPictures();
  for (int32_t i = 0; i < ItemCount(); ++i) {
    if (menu_.items[i].group > 0 && CountsAsChecked(i)) ShowResting(i);
  }
}

void TNovuPrevMenu::HoldPictures() {
  if (env_.cache == nullptr) return;
  std::set<std::string> keys;
  for (const TContSelButton& record : menu_.items) {
    for (const std::string* name : record.Names()) {
      if (name->empty() || name == &record.cursor) continue;
      if (!keys.insert(TFipoCollection::KeyOf(*name, false, false)).second) continue;
      held_.push_back(env_.cache->Acquire(this, *name, false, false));
    }
  }
}

int32_t TNovuPrevMenu::ItemIndexOf(std::string_view name) const {
  for (int32_t i = 0; i < ItemCount(); ++i) {
    if (menu_.items[i].name == name) return i;
  }
  return -1;
}

// --- indexed state ---

bool TNovuPrevMenu::Enabled(int32_t i) const {
  return Valid(i) && enabled_[i] != 0;
}

bool TNovuPrevMenu::Visible(int32_t i) const {
  return Valid(i) && visible_[i] != 0;
}

bool TNovuPrevMenu::Checked(int32_t i) const {
  return Valid(i) && checked_[i] != 0;
}

int32_t TNovuPrevMenu::Group(int32_t i) const {
  return Valid(i) ? menu_.items[i].group : 0;
}

void TNovuPrevMenu::SetEnabled(int32_t i, bool on) {
  if (!Valid(i)) return;
  enabled_[i] = on ? 1 : 0;
  ShowResting(i);
}

void TNovuPrevMenu::SetVisible(int32_t i, bool on) {
  if (!Valid(i)) return;
  visible_[i] = on ? 1 : 0;
  items_[i]->SetVisible(on);
  if (!on && hovered_ == i) hovered_ = -1;
  // Who counts as checked may change with the visible members.
  for (int32_t k = 0; k < ItemCount(); ++k) {
    if (Group(k) != 0 && Group(k) == Group(i)) ShowResting(k);
  }
  ShowResting(i);
}

void TNovuPrevMenu::SetChecked(int32_t i, bool on) {
  if (!Valid(i)) return;
  checked_[i] = on ? 1 : 0;
  for (int32_t k = 0; k < ItemCount(); ++k) {
    if (k == i || (Group(k) != 0 && Group(k) == Group(i))) ShowResting(k);
  }
}

bool TNovuPrevMenu::CountsAsChecked(int32_t i) const {
  const int32_t group = Group(i);
  if (group == 0 || !Visible(i)) return false;
  int32_t first_visible = -1;
  for (int32_t k = 0; k < ItemCount(); ++k) {
    if (Group(k) != group || !Visible(k)) continue;
    if (Checked(k)) return k == i;
    if (first_visible < 0) first_visible = k;
  }
  return group > 0 && first_visible == i;
}

// --- pictures ---

void TNovuPrevMenu::ShowPicture(int32_t i, std::string_view name) {
  items_[i]->SetSource(name);
  items_[i]->SetRepeat(true);
}

void TNovuPrevMenu::ShowResting(int32_t i) {
  const TContSelButton& r = menu_.items[i];
  if (!Visible(i)) {
    ShowPicture(i, {});
  } else if (CountsAsChecked(i)) {
    ShowPicture(i, r.checked);
  } else {
    ShowPicture(i, Enabled(i) ? r.normal : r.disabled);
  }
}

void TNovuPrevMenu::ShowEntering(int32_t i) {
  const TContSelButton& r = menu_.items[i];
  if (CountsAsChecked(i)) {
    ShowPicture(i, FirstNamed(r.checked_hover_in, r.checked));
    StartOverlay(i, r.checked_hover_in_overlay, true, false);
  } else if (Enabled(i)) {
    ShowPicture(i, FirstNamed(r.hover_in, r.normal));
    StartOverlay(i, r.hover_in_overlay, true, false);
  } else {
    ShowPicture(i, FirstNamed(r.disabled_hover_in, r.disabled));
    StartOverlay(i, r.disabled_hover_in_overlay, true, false);
  }
}

void TNovuPrevMenu::ShowLeaving(int32_t i) {
  const TContSelButton& r = menu_.items[i];
  if (CountsAsChecked(i)) {
    const std::string& plain = Enabled(i) ? r.normal : r.disabled;
    ShowPicture(i, FirstNamed(r.checked_hover_out, FirstNamed(r.checked, plain)));
    StartOverlay(i, r.checked_hover_out_overlay, false, false);
  } else if (Enabled(i)) {
    ShowPicture(i, FirstNamed(r.hover_out, r.normal));
    StartOverlay(i, r.hover_out_overlay, false, false);
  } else {
    ShowPicture(i, FirstNamed(r.disabled_hover_out, r.disabled));
    StartOverlay(i, r.disabled_hover_out_overlay, false, false);
  }
}

void TNovuPrevMenu::RemoveOverlay(int32_t i) {
  TNovuPrevImages* overlay = std::exchange(overlays_[i], nullptr);
  counted_[i] = false;
  // An overlay may end while it is being updated: it goes with the update pass, not now.
  if (overlay != nullptr) owner()->ScheduleDeletion(*overlay);
}

void TNovuPrevMenu::StartOverlay(int32_t i, std::string_view picture, bool repeat, bool counted) {
  if (picture.empty()) {
    RemoveOverlay(i);
    return;
  }
  if (overlays_[i] == nullptr) {
    auto& overlay = static_cast<TNovuPrevImages&>(AddChild(MakeObject<TNovuPrevImages>(
        owner(), env_, [this](TNovuPrevImages& o) { OverlayEnded(o); })));
    overlay.AssignName(owner()->UniqueName(std::string(1, kInternalNameMark) + name() +
                                           std::string(1, kInternalNameMark)));
    overlay.SetLeft(menu_.items[i].overlay_x);
    overlay.SetTop(menu_.items[i].overlay_y);
    overlays_[i] = &overlay;
  }
  counted_[i] = counted;
  overlays_[i]->Start(picture, repeat);
}

void TNovuPrevMenu::OverlayEnded(TNovuPrevImages& overlay) {
  const auto it = std::find(overlays_.begin(), overlays_.end(), &overlay);
  if (it == overlays_.end()) return;
  const auto i = static_cast<int32_t>(it - overlays_.begin());
  if (!counted_[i]) return;
  RemoveOverlay(i);
  if (running_ > 0 && --running_ == 0) {
    Finish(clicked_);
    if (!PointerOverMenu()) SetHover(-1);
  }
}

// --- choosing ---

std::vector<std::string> TNovuPrevMenu::ItemArguments(int32_t i) const {
  if (!Valid(i)) return {std::string(), std::to_string(i)};
  return {menu_.items[i].name, std::to_string(i)};
}

void TNovuPrevMenu::Click(int32_t i) {
  if (!Valid(i)) return;
  const TContSelButton& r = menu_.items[i];
  const int32_t group = r.group;
  if (group != 0) {
    if (checked_[i] != 0 && group > 0) return;
    if (checked_[i] != 0) {
      checked_[i] = 0;
    } else {
      checked_[i] = 1;
      for (int32_t k = 0; k < ItemCount(); ++k) {
        if (k == i || Group(k) != group) continue;
        checked_[k] = 0;
        ShowResting(k);
      }
    }
    const bool now_checked = CountsAsChecked(i);
    ShowPicture(i, now_checked ? r.checked : Enabled(i) ? r.normal : r.disabled);
    const std::string& overlay = now_checked ? r.checked_click_overlay : r.unchecked_click_overlay;
    StartOverlay(i, overlay, false, !overlay.empty());
  } else {
    if (!r.click.empty()) ShowPicture(i, r.click);
    if (!r.click_overlay.empty()) StartOverlay(i, r.click_overlay, false, true);
  }
  running_ = counted_[i] ? 1 : 0;
  clicked_ = i;
  if (env_.vars != nullptr) {
    env_.vars->SetSelStr(r.name);
    env_.vars->SetSelIndex(i);
  }
  if (!IsEventQueued(PR_ONSELECT)) PostEvent(on_select_, ItemArguments(i), PR_ONSELECT);
  if (running_ == 0) Finish(i);
}

void TNovuPrevMenu::Finish(int32_t i) {
  if (auto_scrap_) {
    DeleteSelf();
    return;
  }
  PostEvent(on_play_end_, ItemArguments(i), PR_ONPLAYEND);
}

void TNovuPrevMenu::DeleteSelf() {
  if (owner() != nullptr && !owner()->IsPendingDeletion(*this)) owner()->ScheduleDeletion(*this);
}

// --- pointer and keys ---

TNovuControl* TNovuPrevMenu::HitTest(Point screen, MouseModeSet accepted) {
  if (!IsVisible()) return nullptr;
  if (accepted.Contains(mouse_mode())) {
    for (int32_t i = 0; i < ItemCount(); ++i) {
      if (Enabled(i) && items_[i]->HitTest(screen, accepted) != nullptr) return this;
    }
  }
  for (TNovuPrevImages* overlay : overlays_) {
    if (overlay == nullptr) continue;
    if (TNovuControl* hit = overlay->HitTest(screen, accepted)) return hit;
  }
  return nullptr;
}

int32_t TNovuPrevMenu::ItemAtPointer() const {
  TNovuControl* base = GetBase();
  const BaseInputState* input = base != nullptr ? base->InputState() : nullptr;
  if (input == nullptr) return -1;
  const MouseModeSet all_but_none{IM_NONE, IM_CLICK, IM_LCLICK, IM_RCLICK};
  for (int32_t i = 0; i < ItemCount(); ++i) {
    if (items_[i]->HitTest({input->mouse_x, input->mouse_y}, all_but_none) != nullptr) return i;
  }
  return -1;
}

bool TNovuPrevMenu::PointerOverMenu() const {
  TNovuControl* base = GetBase();
  const BaseInputState* input = base != nullptr ? base->InputState() : nullptr;
  return input != nullptr && GetBoundsRect().Contains(input->mouse_x, input->mouse_y);
}

void TNovuPrevMenu::SetHover(int32_t i) {
  if (i == hovered_) return;
  const int32_t old = std::exchange(hovered_, i);
  if (Valid(old)) {
    ShowLeaving(old);
    PostEvent(on_map_out_, ItemArguments(old), PR_ONMAPOUT);
  }
  if (Valid(i)) {
    ShowEntering(i);
    PostEvent(on_map_in_, ItemArguments(i), PR_ONMAPIN);
  }
}

void TNovuPrevMenu::MouseMove() {
  if (running_ == 0) SetHover(ItemAtPointer());
  TNovuControl::MouseMove();
}

void TNovuPrevMenu::MouseOut() {
  if (running_ == 0) SetHover(-1);
  TNovuControl::MouseOut();
}

void TNovuPrevMenu::LButtonDown() {
  TNovuControl* base = GetBase();
  BaseInputState* input = base != nullptr ? base->InputState() : nullptr;
  if (input != nullptr) {
    input->left_click = false;
    input->press_taken |= kPressLeftTaken;
  }
  const int32_t at = ItemAtPointer();
  if (running_ > 0 && !auto_scrap_) {
    running_ = 0;
    Finish(clicked_);
    SetHover(at);
  } else if (running_ == 0) {
    // A press in the frame the pointer arrived comes before its move: hover first.
    SetHover(at);
  }
  pressed_ = hovered_;
}

void TNovuPrevMenu::LButtonUp() {
  TNovuControl* base = GetBase();
  if (BaseInputState* input = base != nullptr ? base->InputState() : nullptr)
    input->press_taken &= static_cast<uint8_t>(~kPressLeftTaken);
  const int32_t pressed = std::exchange(pressed_, -1);
  if (paused_ || running_ > 0 || !Valid(pressed)) return;
  if (pressed == hovered_ && ItemAtPointer() == pressed && Enabled(pressed)) Click(pressed);
}

void TNovuPrevMenu::RButtonDown() {
  if (rclick_scrap_) {
    DeleteSelf();
    return;
  }
  TNovuControl::RButtonDown();
}

bool TNovuPrevMenu::CloseByRightClick() {
  if (env_.vars != nullptr) {
    env_.vars->SetSelStr("");
    env_.vars->SetSelIndex(-1);
  }
  DeleteSelf();
  return true;
}

void TNovuPrevMenu::KeyRepeat(std::span<const int32_t> keys) {
  std::vector<int32_t> shown;
  for (int32_t i = 0; i < ItemCount(); ++i) {
    if (Visible(i)) shown.push_back(i);
  }
  if (!paused_ && !shown.empty() && running_ == 0) {
    const auto at = std::find(shown.begin(), shown.end(), hovered_);
    const bool none = at == shown.end();
    if (Has(keys, {kVkLeft, kVkUp})) {
      SetHover(none || at == shown.begin() ? shown.back() : *(at - 1));
    } else if (Has(keys, {kVkRight, kVkDown})) {
      SetHover(none || at + 1 == shown.end() ? shown.front() : *(at + 1));
    } else if (Has(keys, {kVkReturn, kVkSpace}) && Enabled(hovered_)) {
      Click(hovered_);
    }
  }
  TNovuControl::KeyRepeat(keys);
}

// --- saving ---

void TNovuPrevMenu::SyncTail(Serializer& s) {
  if (s.loading()) {
    s.String(loaded_source_);
  } else {
    std::string name = source_;
    s.String(name);
  }
  s.Bool(auto_scrap_);
  s.Bool(rclick_scrap_);
  s.Bool(paused_);
  s.String(on_map_in_);
  s.String(on_map_out_);
  s.String(on_idle_);
  s.String(on_select_);
  s.String(on_play_end_);
  SyncFlags(s, 0, 127, enabled_, loaded_enabled_);
  SyncFlags(s, 1, 132, visible_, loaded_visible_);
  SyncFlags(s, 2, 136, checked_, loaded_checked_);
}

void TNovuPrevMenu::SyncFlags(Serializer& s, size_t slot, int32_t since,
                              const std::vector<uint8_t>& current, std::vector<uint8_t>& loaded) {
  has_loaded_flags_[slot] = false;
  if (!s.Has(since)) return;
  if (s.saving()) {
    s.writer().I32(static_cast<int32_t>(current.size()));
    s.writer().Bytes(current);
    return;
  }
  // The count comes from the save: it must fit in the bytes left.
  const size_t count = s.reader().Count(1);
  const auto bytes = s.reader().Bytes(count);
  loaded.assign(bytes.begin(), bytes.end());
  has_loaded_flags_[slot] = true;
}

void TNovuPrevMenu::AfterLoad() {
  source_.clear();
  SetSource(std::exchange(loaded_source_, {}));
  // Each saved flag goes through its setter, for the items the menu file still has.
  const auto apply = [this](size_t slot, std::vector<uint8_t>& loaded, auto set) {
    if (!has_loaded_flags_[slot]) return;
    const size_t count = std::min<size_t>(loaded.size(), menu_.items.size());
    for (size_t i = 0; i < count; ++i) set(static_cast<int32_t>(i), loaded[i] != 0);
    loaded.clear();
  };
  apply(0, loaded_enabled_, [this](int32_t i, bool on) { SetEnabled(i, on); });
  apply(1, loaded_visible_, [this](int32_t i, bool on) { SetVisible(i, on); });
  apply(2, loaded_checked_, [this](int32_t i, bool on) { SetChecked(i, on); });
}

const PropertyTable& TNovuPrevMenu::Table() {
  using R = PropertyRows<TNovuPrevMenu>;
  using M = TNovuPrevMenu;
  auto label = [](std::string M::*member) {
    return [member](M& m, const PropValue& v) { m.*member = PropAsStr(v); };
  };
  static const PropertyTable table(
      &TNovuControl::Table(),
      {
          R::Saved([](M& m, Serializer& s) { m.SyncTail(s); }),
          R::Answer(PR_SOURCE, [](const M& m) { return m.source_; }).Set(&M::SetSource),
          R::Answer(PR_AUTOSCRAP, [](const M& m) { return m.auto_scrap_; })
              .Set([](M& m, const PropValue& v) { m.auto_scrap_ = PropAsBool(v); }),
          R::Answer(PR_RCLICKSCRAP, [](const M& m) { return m.rclick_scrap_; })
              .Set([](M& m, const PropValue& v) { m.rclick_scrap_ = PropAsBool(v); }),
          R::Answer(PR_PAUSED, [](const M& m) { return m.paused_; })
              .Set([](M& m, const PropValue& v) { m.paused_ = PropAsBool(v); }),
          R::Answer(PR_ONSELECT, [](const M& m) { return m.on_select_; })
              .Set(label(&M::on_select_)),
          R::Answer(PR_ONMAPIN, [](const M& m) { return m.on_map_in_; }).Set(label(&M::on_map_in_)),
          R::Answer(PR_ONMAPOUT, [](const M& m) { return m.on_map_out_; })
              .Set(label(&M::on_map_out_)),
          R::Answer(PR_ONPLAYEND, [](const M& m) { return m.on_play_end_; })
              .Set(label(&M::on_play_end_)),
          R::Answer(PR_ONIDLE, [](const M& m) { return m.on_idle_; }).Set(label(&M::on_idle_)),
          R::Answer(PR_COUNT, [](const M& m) { return m.ItemCount(); }),
          R::Answer(PR_TEXT,
                    [](const M& m) {
                      std::string joined;
                      for (int32_t i = 0; i < m.ItemCount(); ++i) {
                        if (i > 0) joined += "\r\n";
                        joined += m.menu_.items[i].name;
                      }
                      return joined;
                    }),
      });
  return table;
}

}  // namespace novu
