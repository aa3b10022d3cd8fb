#include "objects/novu_control.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "objects/event_queue.h"
#include "objects/novu_motion.h"
#include "objects/object_list.h"
#include "platform/error.h"
#include "render/custom_dibx.h"

namespace novu {
namespace {

using render::Rect;

int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// The smallest saved child: its type byte, an empty name and the priority.
constexpr size_t kMinChildRecordSize = 1 + 4 + 4;

[[noreturn]] void ThrowBadSavedObject() {
  throw NovuError::FromUtf8("セーブデータのオブジェクトが不正です");
}

// Sibling drawing order: internal objects first, the Flip picture last, then priority plus
// order, then the names byte by byte.
struct SiblingKey {
  int rank;
  int64_t weight;
  std::string_view name;

  static SiblingKey Of(const TNovuObject& o) {
    const int rank = o.name() == kTopmostName ? 2 : IsInternalName(o.name()) ? 0 : 1;
    return {rank, int64_t{o.priority()} + o.order(), o.name()};
  }
  bool operator<(const SiblingKey& other) const {
    if (rank != other.rank) return rank < other.rank;
    if (rank == 2) return false;
    if (weight != other.weight) return weight < other.weight;
    return name < other.name;  // string_view compares as unsigned bytes
  }
};

}  // namespace

TNovuControl::TNovuControl(ObjectList* owner) : TNovuComponent(owner) {}

TNovuControl::~TNovuControl() {
  // Children go first, while this control is still whole.
  auto doomed = std::move(children_);
  while (!doomed.empty()) doomed.pop_back();
  motion_.reset();
  if (owner() != nullptr && owner()->FocusedControl() == this) {
    owner()->ClearFocus();
    owner()->RequestFocus();
  }
}

void TNovuControl::Create() {
  TNovuComponent::Create();
  visible_ = true;
  picture_rect_ = Rect{0, 0, 1, 1};
  if (owner() != nullptr && owner()->FocusedControl() == nullptr) owner()->RequestFocus();
}

// --- geometry setters ---

void TNovuControl::SetLeft(int32_t value) {
  Invalidate();
  left_ = value;
  motion_x_ = motion_y_ = 0;
  Invalidate();
  BoundsChanged();
}

void TNovuControl::SetTop(int32_t value) {
  Invalidate();
  top_ = value;
  motion_x_ = motion_y_ = 0;
  Invalidate();
  BoundsChanged();
}

void TNovuControl::SetWidth(int32_t value) {
  Invalidate();
  width_ = value;
  Invalidate();
}

void TNovuControl::SetHeight(int32_t value) {
  Invalidate();
  height_ = value;
  Invalidate();
}

void TNovuControl::SetOffsetX(int32_t value) {
  Invalidate();
  offset_x_ = value;
  Invalidate();
  BoundsChanged();
}

void TNovuControl::SetOffsetY(int32_t value) {
  Invalidate();
  offset_y_ = value;
  Invalidate();
  BoundsChanged();
}

void TNovuControl::SetPlusX(int32_t value) {
  Invalidate();
  plus_x_ = value;
  Invalidate();
  BoundsChanged();
}

void TNovuControl::SetPlusY(int32_t value) {
  Invalidate();
  plus_y_ = value;
  Invalidate();
  BoundsChanged();
}

void TNovuControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  Invalidate();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  motion_x_ = motion_y_ = 0;
  Invalidate();
  BoundsChanged();
}

void TNovuControl::SetColor(int32_t value) {
  Invalidate();
  color_ = value;
  Invalidate();
}

void TNovuControl::SetPosZoomed(bool value) {
  Invalidate();
  pos_zoomed_ = value;
  Invalidate();
  BoundsChanged();
}

void TNovuControl::SetClip(int32_t left, int32_t top, int32_t width, int32_t height) {
  Invalidate();
  clip_left_ = left;
  clip_top_ = top;
  clip_width_ = width;
  clip_height_ = height;
  Invalidate();
  ClipChanged();
}

void TNovuControl::SetMotionDisplacement(int32_t x, int32_t y) {
  Invalidate();
  motion_x_ = x;
  motion_y_ = y;
  Invalidate();
  BoundsChanged();
}

void TNovuControl::SetHandleKey(bool value) {
  handle_key_ = value;
  ObjectList* list = owner();
  if (list == nullptr) return;
  if (value) {
    if (list->FocusedControl() == nullptr) list->RequestFocus();
  } else if (list->FocusedControl() == this) {
    list->ClearFocus();
    list->RequestFocus();
  }
}

void TNovuControl::BoundsChanged() {
  for (const auto& child : children_) {
    if (TNovuControl* c = child->AsControl()) c->BoundsChanged();
  }
}

void TNovuControl::ClipChanged() {
  for (const auto& child : children_) {
    if (TNovuControl* c = child->AsControl()) c->ClipChanged();
  }
}

// --- tree ---

TNovuObject* TNovuControl::Child(int32_t index) const {
  if (index < 0 || index >= ChildCount()) return nullptr;
  return children_[static_cast<size_t>(index)].get();
}

TNovuObject& TNovuControl::AddChild(std::unique_ptr<TNovuObject> child) {
  TNovuObject& ref = *child;
  TNovuControl* c = ref.AsControl();
  if (c != nullptr && Depth() + 1 + c->SubtreeHeight() > kMaxNesting) {
    throw NovuError::FromUtf8("オブジェクトの入れ子が深すぎます");
  }
  ref.holder_ = this;
  children_.push_back(std::move(child));
  SortChildren();
  return ref;
}

std::unique_ptr<TNovuObject> TNovuControl::RemoveChild(TNovuObject& child) {
  const auto it = std::find_if(children_.begin(), children_.end(),
                               [&child](const auto& c) { return c.get() == &child; });
  if (it == children_.end()) return nullptr;
  std::unique_ptr<TNovuObject> taken = std::move(*it);
  children_.erase(it);
  taken->holder_ = nullptr;
  return taken;
}

void TNovuControl::SortChildren() {
  std::stable_sort(children_.begin(), children_.end(), [](const auto& a, const auto& b) {
    return SiblingKey::Of(*a) < SiblingKey::Of(*b);
  });
}

bool TNovuControl::ContainsDescendant(const TNovuObject& object) const {
  for (const TNovuControl* p = object.holder_; p != nullptr; p = p->holder_) {
    if (p == this) return true;
  }
  return false;
}

int32_t TNovuControl::Depth() const {
  int32_t depth = 0;
  for (const TNovuControl* p = holder_; p != nullptr; p = p->holder_) ++depth;
  return depth;
}

int32_t TNovuControl::SubtreeHeight() const {
  int32_t height = 0;
  for (const auto& child : children_) {
    if (const TNovuControl* c = child->AsControl())
      height = std::max(height, 1 + c->SubtreeHeight());
  }
  return height;
}

TNovuControl* TNovuControl::EnclosingCabinet() {
  for (TNovuControl* c = this; c != nullptr; c = c->holder_) {
    if (c->IsCabinet()) return c;
  }
  return nullptr;
}

void TNovuControl::SetParent(TNovuControl* parent) {
  if (parent == holder_ || parent == this) return;
  if (parent != nullptr && ContainsDescendant(*parent)) return;
  if (parent != nullptr && parent->Depth() + 1 + SubtreeHeight() > kMaxNesting) return;
  ObjectList* list = owner();

  Invalidate();
  TNovuControl* old_cabinet = holder_ != nullptr ? holder_->EnclosingCabinet() : nullptr;
  TNovuControl* new_cabinet = parent != nullptr ? parent->EnclosingCabinet() : nullptr;
  std::unique_ptr<TNovuObject> self;
  if (holder_ != nullptr) {
    self = holder_->RemoveChild(*this);
  } else if (list != nullptr) {
    self = list->ReleaseRoot(*this);
  }
  if (self == nullptr) return;  // nobody holds this control, so it cannot move

  if (parent != nullptr) {
    parent->AddChild(std::move(self));
  } else if (list != nullptr) {
    list->AdoptRoot(std::move(self));
  }
  Invalidate();
  if (old_cabinet != new_cabinet) {
    if (old_cabinet != nullptr) old_cabinet->CabinetLeft(*this);
    if (new_cabinet != nullptr) new_cabinet->CabinetEntered(*this);
  }

  if (list == nullptr) return;
  const TNovuControl* base = GetBase();
  if (FocusInside() || (base != nullptr && base == list->ActiveBase())) {
    list->ClearFocus();
    list->RequestFocus();
  }
}

void TNovuControl::SetParentByName(std::string_view name) {
  if (IsBase() || owner() == nullptr) return;
  if (TNovuControl* parent = owner()->FindControl(name)) SetParent(parent);
}

TNovuControl* TNovuControl::GetBase() const {
  const TNovuControl* root = this;
  while (root->holder_ != nullptr) root = root->holder_;
  return root->IsBase() ? const_cast<TNovuControl*>(root) : nullptr;
}

render::TCustomDIBX* TNovuControl::GetSurface() const {
  const TNovuControl* base = GetBase();
  return base != nullptr && base != this ? base->GetSurface() : nullptr;
}

bool TNovuControl::InCabinet() const {
  for (const TNovuControl* p = holder_; p != nullptr; p = p->holder_) {
    if (p->IsCabinet()) return true;
  }
  return false;
}

bool TNovuControl::FocusInside() const {
  const TNovuControl* focus = owner() != nullptr ? owner()->FocusedControl() : nullptr;
  return focus != nullptr && (focus == this || ContainsDescendant(*focus));
}

void TNovuControl::SetVisible(bool visible) {
  ObjectList* list = owner();
  if (!visible) {
    Invalidate();
    visible_ = false;
    if (FocusInside()) {
      list->ClearFocus();
      list->RequestFocus();
    }
  } else {
    visible_ = true;
    Invalidate();
    if (list != nullptr && list->FocusedControl() == nullptr) list->RequestFocus();
  }
}

bool TNovuControl::IsInputActive() const {
  if (!IsVisible() || owner() == nullptr) return false;
  const TNovuControl* base = GetBase();
  if (base == nullptr || base != owner()->ActiveBase()) return false;
  for (const TNovuControl* p = holder_; p != nullptr; p = p->holder_) {
    if (!p->IsVisible()) return false;
  }
  return true;
}

// --- position ---

int32_t TNovuControl::ScreenAxis(bool vertical) const {
  const int64_t zoom = PropAsInt(GetProperty(vertical ? PR_ZOOMY : PR_ZOOMX));
  const bool flip = PropAsBool(GetProperty(vertical ? PR_FLIPV : PR_FLIPH));
  const int64_t position = vertical ? top_ : left_;
  const int64_t anchor_point = vertical ? offset_y_ : offset_x_;
  const int64_t size = vertical ? height_ : width_;
  const int64_t plus = vertical ? plus_y_ : plus_x_;

  int64_t anchor = zoom == 256 ? anchor_point : anchor_point * zoom / 256;
  if (flip) anchor = size - anchor_point * zoom / 256 - 1;

  int64_t placed;
  if (motion_ != nullptr) {
    placed = vertical ? motion_y_ : motion_x_;
  } else if (pos_zoomed_) {
    placed = position * zoom / 256;
    // On a zoomed picture of the same zoom the position counts the parent's picture pixels.
    const std::optional<Point> picture =
        holder_ != nullptr && !holder_->IsBase() ? holder_->PictureSize() : std::nullopt;
    const int64_t parent_size =
        holder_ != nullptr ? (vertical ? holder_->height_ : holder_->width_) : 0;
    const int64_t picture_size = picture ? (vertical ? picture->y : picture->x) : 0;
    const int64_t scale = parent_size > 0 ? picture_size * 65536 / parent_size : 0;
    if (scale > 0 && PropAsInt(holder_->GetProperty(vertical ? PR_ZOOMY : PR_ZOOMX)) == zoom) {
      int64_t distance = position - anchor_point;
      if (PropAsBool(holder_->GetProperty(vertical ? PR_FLIPV : PR_FLIPH))) {
        distance = picture_size - distance;
      }
      placed = std::llround(static_cast<long double>(distance) * 65536 / scale);
      anchor = 0;
    }
  } else {
    placed = position;
  }

  int64_t screen = placed - anchor + plus;
  if (holder_ != nullptr) {
    screen += holder_->ScreenAxis(vertical);
    screen -= PropAsInt(holder_->GetProperty(vertical ? PR_SCROLLY : PR_SCROLLX));
  }
  return Saturate(screen);
}

int32_t TNovuControl::ScreenX() const {
  return ScreenAxis(false);
}

int32_t TNovuControl::ScreenY() const {
  return ScreenAxis(true);
}

Point TNovuControl::ClientToScreen(Point p) const {
  return {Saturate(int64_t{p.x} + ScreenX()), Saturate(int64_t{p.y} + ScreenY())};
}

Point TNovuControl::ScreenToClient(Point p) const {
  return {Saturate(int64_t{p.x} - ScreenX()), Saturate(int64_t{p.y} - ScreenY())};
}

Rect TNovuControl::GetBoundsRect() const {
  const int64_t x = ScreenX();
  const int64_t y = ScreenY();
  return {Saturate(x), Saturate(y), Saturate(x + width_), Saturate(y + height_)};
}

bool TNovuControl::IntersectsBounds(const Rect& rect) const {
  return !render::Intersect(GetBoundsRect(), rect).IsEmpty();
}

std::optional<Rect> TNovuControl::ClipRectOnScreen() const {
  if (!HasClip()) return std::nullopt;
  const int64_t x = int64_t{ScreenX()} + clip_left_;
  const int64_t y = int64_t{ScreenY()} + clip_top_;
  return Rect{Saturate(x), Saturate(y), Saturate(x + clip_width_), Saturate(y + clip_height_)};
}

// --- drawing ---

void TNovuControl::Invalidate() {
  if (!visible_) return;
  TNovuControl* base = GetBase();
  if (base == nullptr) return;
  Rect area = GetBoundsRect();
  if (holder_ != nullptr && render::Intersect(area, holder_->GetBoundsRect()).IsEmpty()) return;
  if (const std::optional<Rect> clip = ClipRectOnScreen()) {
    area = render::Intersect(area, *clip);
    if (area.IsEmpty()) return;
  }
  base->InvalidateRect(area);
}

void TNovuControl::Paint(render::TCustomDIBX& surface) {
  DrawSelf(surface);
  const Rect bounds = GetBoundsRect();
  // The clip the caller set (the rectangle being repainted) stays in force for every child:
  // drawing outside it would blend a child a second time over pixels nobody redrew.
  const bool had_clip = surface.HasClip();
  const Rect outer = surface.ClipRect();
  for (const auto& child : children_) {
    TNovuControl* c = child->AsControl();
    if (c == nullptr || !c->IsVisible()) continue;
    Rect area = render::Intersect(bounds, c->ClipRectOnScreen().value_or(c->GetBoundsRect()));
    if (had_clip) area = render::Intersect(area, outer);
    if (area.IsEmpty()) continue;
    surface.SetClipRect(area);
    c->Paint(surface);
    if (had_clip) {
      surface.SetClipRect(outer);
    } else {
      surface.ResetClip();
    }
  }
}

TNovuControl* TNovuControl::HitTest(Point screen, MouseModeSet accepted) {
  if (!IsVisible() || !GetBoundsRect().Contains(screen.x, screen.y)) return nullptr;
  TNovuControl* hit = accepted.Contains(mouse_mode_) ? this : nullptr;
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    TNovuControl* c = (*it)->AsControl();
    if (c == nullptr) continue;
    if (TNovuControl* deeper = c->HitTest(screen, accepted)) return deeper;
  }
  return hit;
}

int32_t TNovuControl::Update() {
  if (motion_ == nullptr || !motion_->Advance()) return 0;
  if (PropAsBool(GetProperty(PR_AUTOSCRAP))) return 1;
  PostEvent(PropAsStr(GetProperty(PR_ONPLAYEND)), {}, PR_ONPLAYEND);
  return 0;
}

void TNovuControl::SetMotion(std::unique_ptr<TNovuMotion> motion) {
  motion_ = std::move(motion);
  if (motion_ == nullptr) motion_x_ = motion_y_ = 0;
}

// --- input ---

BaseInputState* TNovuControl::BaseInput() const {
  TNovuControl* base = GetBase();
  return base != nullptr ? base->InputState() : nullptr;
}

std::vector<std::string> TNovuControl::RelativeMousePosition() const {
  const BaseInputState* input = BaseInput();
  const int64_t mouse_x = input != nullptr ? input->mouse_x : 0;
  const int64_t mouse_y = input != nullptr ? input->mouse_y : 0;
  return {std::to_string(mouse_x - ScreenX()), std::to_string(mouse_y - ScreenY())};
}

void TNovuControl::LButtonDown() {
  BaseInputState* input = BaseInput();
  const bool takes_left = mouse_mode_ == IM_NONE || mouse_mode_ == IM_RCLICK;
  if (takes_left && !IsPaused() && !IsEventQueued(PR_ONLBTNDOWN) && !IsBase() &&
      !IsInputDisabled()) {
    PostEvent(EventLabel(PR_ONLBTNDOWN), RelativeMousePosition(), PR_ONLBTNDOWN);
    if (input != nullptr) {
      input->press_taken |= kPressLeftTaken;
      input->left_click = false;
    }
  } else if (takes_left && !IsBase() && input != nullptr) {
    input->left_click = false;
  }
}

void TNovuControl::LButtonUp() {
  if (!IsInputDisabled()) {
    PostEvent(EventLabel(PR_ONLBTNUP), RelativeMousePosition(), PR_ONLBTNUP);
  }
  if (BaseInputState* input = BaseInput()) input->press_taken &= ~kPressLeftTaken;
}

void TNovuControl::RButtonDown() {
  BaseInputState* input = BaseInput();
  const bool takes_right = mouse_mode_ == IM_NONE || mouse_mode_ == IM_LCLICK;
  if (takes_right && !IsPaused() && !IsEventQueued(PR_ONRBTNDOWN) && !IsBase() &&
      !IsInputDisabled()) {
    PostEvent(EventLabel(PR_ONRBTNDOWN), RelativeMousePosition(), PR_ONRBTNDOWN);
    if (input != nullptr) {
      input->press_taken |= kPressRightTaken;
      input->right_click = false;
    }
  } else if (takes_right && !IsBase() && input != nullptr) {
    input->right_click = false;
  }
}

void TNovuControl::RButtonUp() {
  if (!IsInputDisabled()) {
    PostEvent(EventLabel(PR_ONRBTNUP), RelativeMousePosition(), PR_ONRBTNUP);
  }
  if (BaseInputState* input = BaseInput()) input->press_taken &= ~kPressRightTaken;
}

void TNovuControl::MouseMove() {
  if (IsEventQueued(PR_ONMOUSEMOVE) || IsInputDisabled()) return;
  PostEvent(EventLabel(PR_ONMOUSEMOVE), RelativeMousePosition(), PR_ONMOUSEMOVE);
}

void TNovuControl::MouseOut() {
  PostEvent(EventLabel(PR_ONMOUSEOUT), {}, PR_ONMOUSEOUT);
}

void TNovuControl::MouseIn() {
  PostEvent(EventLabel(PR_ONMOUSEIN), {}, PR_ONMOUSEIN);
}

TNovuControl* TNovuControl::FindFocusCandidate() {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    TNovuControl* c = (*it)->AsControl();
    if (c == nullptr || !c->IsVisible()) continue;
    if (TNovuControl* candidate = c->FindFocusCandidate()) return candidate;
  }
  return handle_key_ && !IsPaused() ? this : nullptr;
}

void TNovuControl::PostKeyEvent(PropId id, std::span<const int32_t> keys) {
  if (IsPaused() || IsBase() || IsEventQueued(static_cast<uint8_t>(id))) return;
  std::vector<std::string> arguments;
  arguments.reserve(keys.size());
  for (int32_t key : keys) arguments.push_back(std::to_string(key));
  PostEvent(EventLabel(id), arguments, static_cast<uint8_t>(id));
}

void TNovuControl::KeyDown(std::span<const int32_t> keys) {
  PostKeyEvent(PR_ONKEYDOWN, keys);
}

void TNovuControl::KeyRepeat(std::span<const int32_t> keys) {
  PostKeyEvent(PR_ONKEYREPEAT, keys);
}

void TNovuControl::KeyUp(std::span<const int32_t> keys) {
  PostKeyEvent(PR_ONKEYUP, keys);
}

// --- names and priority ---

void TNovuControl::ResolveNameClash(TNovuObject& other) {
  // The other control keeps its place under a new name: btn -> btn_2, btn_2 -> btn_3, ...
  std::string stem = other.name();
  int64_t counter = 2;
  const size_t mark = stem.rfind('_');
  if (mark != std::string::npos && mark + 1 < stem.size()) {
    const char* first = stem.data() + mark + 1;
    const char* last = stem.data() + stem.size();
    int32_t number = 0;
    const auto [end, error] = std::from_chars(first, last, number);
    if (error == std::errc() && end == last && number > 1 &&
        std::isdigit(static_cast<unsigned char>(*first))) {
      stem.resize(mark);
      counter = number;
    }
  }
  std::string candidate;
  for (;; ++counter) {
    candidate = stem + "_" + std::to_string(counter);
    if (owner()->FindByName(candidate) == nullptr) break;
  }
  other.AssignName(std::move(candidate));
}

void TNovuControl::PriorityChanged() {
  if (holder_ != nullptr) holder_->SortChildren();
  Invalidate();
}

// --- properties ---

std::optional<size_t> TNovuControl::EventSlot(PropId id) {
  for (size_t i = 0; i < kEventLabelIds.size(); ++i) {
    if (kEventLabelIds[i] == id) return i;
  }
  return std::nullopt;
}

const std::string& TNovuControl::EventLabel(PropId id) const {
  static const std::string kNone;
  const std::optional<size_t> slot = EventSlot(id);
  return slot ? event_labels_[*slot] : kNone;
}

void TNovuControl::SetEventLabel(PropId id, std::string_view label) {
  if (const std::optional<size_t> slot = EventSlot(id)) event_labels_[*slot] = label;
}

RowBuilder<TNovuControl> TNovuControl::EventLabelRow(size_t slot) {
  using R = PropertyRows<TNovuControl>;
  auto row = R::Answer(kEventLabelIds[slot],
                       [slot](const TNovuControl& c) { return c.event_labels_[slot]; });
  row.Set([slot](TNovuControl& c, const PropValue& v) { c.event_labels_[slot] = PropAsStr(v); });
  row.Save([slot](TNovuControl& c, Serializer& s) { s.String(c.event_labels_[slot]); });
  return row;
}

const PropertyTable& TNovuControl::Table() {
  using R = PropertyRows<TNovuControl>;
  static const PropertyTable table(
      &TNovuComponent::Table(),
      {
          R::Answer(PR_PARENT,
                    [](const TNovuControl& c) {
                      return c.holder_ != nullptr ? c.holder_->name() : std::string();
                    })
              .Set(&TNovuControl::SetParentByName),
          R::Field(PR_LEFT, &TNovuControl::left_).Set(&TNovuControl::SetLeft),
          R::Field(PR_TOP, &TNovuControl::top_).Set(&TNovuControl::SetTop),
          R::Field(PR_WIDTH, &TNovuControl::width_).Set(&TNovuControl::SetWidth),
          R::Field(PR_HEIGHT, &TNovuControl::height_).Set(&TNovuControl::SetHeight),
          R::Field(PR_OFFSETX, &TNovuControl::offset_x_).Set(&TNovuControl::SetOffsetX),
          R::Field(PR_OFFSETY, &TNovuControl::offset_y_).Set(&TNovuControl::SetOffsetY),
          R::Field(PR_POSZOOMED, &TNovuControl::pos_zoomed_).Set(&TNovuControl::SetPosZoomed),
          R::SavedField(&TNovuControl::motion_x_).Since(130),
          R::SavedField(&TNovuControl::motion_y_).Since(130),
          R::Field(PR_PLUSX, &TNovuControl::plus_x_).Set(&TNovuControl::SetPlusX).Since(130),
          R::Field(PR_PLUSY, &TNovuControl::plus_y_).Set(&TNovuControl::SetPlusY).Since(130),
          R::Field(PR_CLIPLEFT, &TNovuControl::clip_left_)
              .Set([](TNovuControl& c, const PropValue& v) {
                c.SetClip(PropAsInt(v), c.clip_top_, c.clip_width_, c.clip_height_);
              })
              .Since(104),
          R::Field(PR_CLIPTOP, &TNovuControl::clip_top_)
              .Set([](TNovuControl& c, const PropValue& v) {
                c.SetClip(c.clip_left_, PropAsInt(v), c.clip_width_, c.clip_height_);
              })
              .Since(104),
          R::Field(PR_CLIPWIDTH, &TNovuControl::clip_width_)
              .Set([](TNovuControl& c, const PropValue& v) {
                c.SetClip(c.clip_left_, c.clip_top_, PropAsInt(v), c.clip_height_);
              })
              .Since(104),
          R::Field(PR_CLIPHEIGHT, &TNovuControl::clip_height_)
              .Set([](TNovuControl& c, const PropValue& v) {
                c.SetClip(c.clip_left_, c.clip_top_, c.clip_width_, PropAsInt(v));
              })
              .Since(104),
          R::Field(PR_ANIPAUSED, &TNovuControl::animation_paused_)
              .Get([](const TNovuControl& c) -> PropValue {
                // Internal helpers follow the control they belong to.
                if (IsInternalName(c.name()) && c.holder_ != nullptr) {
                  return c.holder_->GetProperty(PR_ANIPAUSED);
                }
                return c.animation_paused_;
              })
              .Since(104),
          R::Field(PR_VISIBLE, &TNovuControl::visible_)
              .Get([](const TNovuControl& c) { return c.IsVisible(); })
              .Set(&TNovuControl::SetVisible),
          R::Field(PR_COLOR, &TNovuControl::color_).Set(&TNovuControl::SetColor),
          R::Saved([](TNovuControl& c, Serializer& s) {
            render::Rect& r = c.picture_rect_;
            for (int32_t* v : {&r.left, &r.top, &r.right, &r.bottom}) s.I32(*v);
          }),
          // The mode is kept as the byte it is saved as.
          R::Field(PR_IGNOREMOUSE, &TNovuControl::mouse_mode_).Set(&TNovuControl::SetMouseMode),
          R::Field(PR_CURSOR, &TNovuControl::cursor_),
          EventLabelRow(0),             // mouse move
          EventLabelRow(1).Since(102),  // mouse in
          EventLabelRow(2),
          EventLabelRow(3),
          EventLabelRow(4),
          EventLabelRow(5),
          EventLabelRow(6),
          EventLabelRow(7),
          EventLabelRow(8),
          R::Field(PR_HANDLEKEY, &TNovuControl::handle_key_)
              .Get([](const TNovuControl& c) { return int32_t{c.handle_key_ ? 1 : 0}; })
              .Set([](TNovuControl& c, const PropValue& v) { c.SetHandleKey(PropAsInt(v) != 0); })
              .Since(118),
          EventLabelRow(9).Since(118),  // the keyboard and focus labels
          EventLabelRow(10).Since(118),
          EventLabelRow(11).Since(118),
          EventLabelRow(12).Since(118),
          EventLabelRow(13).Since(118),
          R::Answer(PR_PLAYING, [](const TNovuControl& c) { return c.motion_ != nullptr; }),
          R::Saved([](TNovuControl& c, Serializer& s) { c.SyncChildren(s); }),
      });
  return table;
}

void TNovuControl::SyncChildren(Serializer& s) {
  if (s.loading()) {
    LoadChildren(s.reader(), ObjectLoadContext{s.version()});
  } else {
    SaveChildren(s.writer());
  }
}

void TNovuControl::SaveChildren(BinaryWriter& out) const {
  std::vector<const TNovuObject*> saved;
  for (const auto& child : children_) {
    const bool pending = owner() != nullptr && owner()->IsPendingDeletion(*child);
    if (!pending && child->GetType() != LT_NONE && !IsInternalName(child->name())) {
      saved.push_back(child.get());
    }
  }
  out.I32(static_cast<int32_t>(saved.size()));
  for (const TNovuObject* child : saved) {
    out.U8(child->GetType());
    child->SaveToStream(out);
  }
}

void TNovuControl::LoadChildren(BinaryReader& in, const ObjectLoadContext& context) {
  const size_t count = in.Count(kMinChildRecordSize, kMaxSavedChildren);
  if (count == 0) return;
  // The children land one level below this control, wherever it sits.
  if (owner() == nullptr || Depth() + 1 > kMaxNesting) ThrowBadSavedObject();
  for (size_t i = 0; i < count; ++i) {
    std::unique_ptr<TNovuObject> child = owner()->CreateByType(in.U8());
    if (child == nullptr) ThrowBadSavedObject();
    TNovuObject& loaded = *child;
    loaded.holder_ = this;
    children_.push_back(std::move(child));
    loaded.LoadFromStream(in, context);
  }
  SortChildren();
}

}  // namespace novu
