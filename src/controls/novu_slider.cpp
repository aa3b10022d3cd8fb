#include "controls/novu_slider.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "controls/picture_drawing.h"
#include "objects/object_list.h"
#include "platform/virtual_keys.h"
#include "render/custom_dibx.h"

namespace novu {
namespace {

// The first repeat of a held button or track comes after the key-repeat delay, then one every
// key-repeat interval.
constexpr int32_t kFirstRepeatMs = 300;
constexpr int32_t kRepeatIntervalMs = 50;

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

int32_t CellWidth(const CachedPicture& picture, int cells) {
  return picture.width() / cells;
}

Rect CellSource(const CachedPicture& picture, int cells, int cell) {
  const int32_t w = CellWidth(picture, cells);
  return {cell * w, 0, (cell + 1) * w, picture.height()};
}

}  // namespace

int64_t RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double rest = value - floor;
  double rounded = floor;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(floor, 2.0) != 0.0)) rounded = floor + 1.0;
  return static_cast<int64_t>(std::clamp(rounded, -9.0e18, 9.0e18));
}

TNovuCustomSlider::TNovuCustomSlider(ObjectList* owner, ImageEnvironment env)
    : TNovuControl(owner), env_(env), bar_(env.cache), thumb_(env.cache), buttons_(env.cache) {}

TNovuCustomSlider::~TNovuCustomSlider() = default;

// --- value and geometry ---

int32_t TNovuCustomSlider::Value() const {
  return max_ < min_ ? min_ : std::clamp(value_, min_, max_);
}

TNovuCustomSlider::Extents TNovuCustomSlider::PartExtents() const {
  Extents e;
  e.bar_w = bar_.width() / 2;
  e.bar_h = bar_.height();
  if (bar_size_ > 0) (vertical() ? e.bar_h : e.bar_w) = bar_size_;
  e.thumb_w = CellWidth(thumb_, 3);
  e.thumb_h = thumb_.height();
  e.button_w = CellWidth(buttons_, 6);
  e.button_h = buttons_.height();
  return e;
}

int32_t TNovuCustomSlider::BarLength() const {
  const Extents e = PartExtents();
  return vertical() ? e.bar_h : e.bar_w;
}

int32_t TNovuCustomSlider::ThumbLength() const {
  const Extents e = PartExtents();
  return vertical() ? e.thumb_h : e.thumb_w;
}

int32_t TNovuCustomSlider::TravelLength() const {
  return IsScrollbar() ? BarLength() - ThumbLength() : BarLength();
}

int32_t TNovuCustomSlider::ThumbOffset() const {
  const int64_t range = int64_t{max_} - min_;
  const int32_t travel = TravelLength();
  if (range <= 0 || travel <= 0) return 0;
  const double fraction = static_cast<double>(int64_t{Value()} - min_) / static_cast<double>(range);
  return ClampToInt32(RoundHalfEven(fraction * travel));
}

void TNovuCustomSlider::RecomputeSize() {
  const Extents e = PartExtents();
  int32_t w = 0;
  int32_t h = 0;
  if (bar_.surface() != nullptr && e.bar_w > 0 && e.bar_h > 0) {
    const int32_t thumb_w = IsScrollbar() ? 0 : e.thumb_w;
    const int32_t thumb_h = IsScrollbar() ? 0 : e.thumb_h;
    if (vertical()) {
      w = std::max({e.bar_w, e.thumb_w, e.button_w});
      h = ClampToInt32(int64_t{e.bar_h} + thumb_h + 2 * int64_t{e.button_h});
    } else {
      w = ClampToInt32(int64_t{e.bar_w} + thumb_w + 2 * int64_t{e.button_w});
      h = std::max({e.bar_h, e.thumb_h, e.button_h});
    }
  }
  if (w != width()) SetWidth(w);
  if (h != height()) SetHeight(h);
  Invalidate();
}

TNovuCustomSlider::Layout TNovuCustomSlider::GetLayout() const {
  const Extents e = PartExtents();
  const int32_t x = ScreenX();
  const int32_t y = ScreenY();
  const int32_t w = width();
  const int32_t h = height();
  const int32_t offset = ThumbOffset();
  const bool slider = !IsScrollbar();
  Layout l;
  if (vertical()) {
    const int32_t bar_top = y + e.button_h + (slider ? e.thumb_h / 2 : 0);
    l.bar = MakeRect(x + (w - e.bar_w) / 2, bar_top, e.bar_w, e.bar_h);
    const int32_t thumb_top = slider ? y + e.button_h + e.bar_h - offset : y + e.button_h + offset;
    l.thumb = MakeRect(x + (w - e.thumb_w) / 2, thumb_top, e.thumb_w, e.thumb_h);
    const int32_t button_x = x + (w - e.button_w) / 2;
    l.first_button = MakeRect(button_x, y, e.button_w, e.button_h);
    l.second_button = MakeRect(button_x, y + h - e.button_h, e.button_w, e.button_h);
  } else {
    const int32_t bar_left = x + e.button_w + (slider ? e.thumb_w / 2 : 0);
    l.bar = MakeRect(bar_left, y + (h - e.bar_h) / 2, e.bar_w, e.bar_h);
    l.thumb = MakeRect(x + e.button_w + offset, y + (h - e.thumb_h) / 2, e.thumb_w, e.thumb_h);
    const int32_t button_y = y + (h - e.button_h) / 2;
    l.first_button = MakeRect(x, button_y, e.button_w, e.button_h);
    l.second_button = MakeRect(x + w - e.button_w, button_y, e.button_w, e.button_h);
  }
  return l;
}

bool TNovuCustomSlider::CellMaskHits(const CachedPicture& picture, int cells, int cell,
                                     const Rect& at, Point screen) const {
  const render::TDIBX* mask = picture.mask();
  if (mask == nullptr) return true;
  const int64_t u = int64_t{screen.x} - at.left;
  const int64_t v = int64_t{screen.y} - at.top;
  const int32_t cw = CellWidth(picture, cells);
  if (u < 0 || v < 0 || u >= cw || v >= mask->Height()) return false;
  const int64_t mx = int64_t{cell} * cw + u;
  if (mx >= mask->Width()) return false;
  return mask->GetPixel(static_cast<int>(mx), static_cast<int>(v)) > 127;
}

// The bar repeats its halves, so the mask is looked up inside the tile under the pointer (never
// past the mask, however long the bar is).
bool TNovuCustomSlider::BarMaskHits(const Rect& bar, Point screen) const {
  const render::TDIBX* mask = bar_.mask();
  if (mask == nullptr) return true;
  const int32_t half = bar_.width() / 2;
  const int32_t tile_h = bar_.height();
  if (half < 1 || tile_h < 1) return false;
  const bool from_bottom = vertical() && !IsScrollbar();
  int32_t u = TilePhase(screen.x, bar.left, half);
  const int32_t v = TilePhase(screen.y, from_bottom ? bar.bottom : bar.top, tile_h);
  if (!IsScrollbar()) {
    const int32_t offset = ThumbOffset();
    const bool filled = vertical() ? screen.y >= bar.bottom - offset : screen.x < bar.left + offset;
    if (filled) u += half;
  }
  if (u >= mask->Width() || v >= mask->Height()) return false;
  return mask->GetPixel(u, v) > 127;
}

TNovuCustomSlider::Part TNovuCustomSlider::PartAt(Point screen) const {
  if (!GetBoundsRect().Contains(screen)) return Part::kNone;
  const Layout l = GetLayout();
  if (l.thumb.Contains(screen) && (!capture_mask_ || CellMaskHits(thumb_, 3, 0, l.thumb, screen))) {
    return Part::kThumb;
  }
  if (l.first_button.Contains(screen) && CellMaskHits(buttons_, 6, 0, l.first_button, screen)) {
    return Part::kFirstButton;
  }
  if (l.second_button.Contains(screen) && CellMaskHits(buttons_, 6, 3, l.second_button, screen)) {
    return Part::kSecondButton;
  }
  if (l.bar.Contains(screen) && BarMaskHits(l.bar, screen)) return Part::kBar;
  return Part::kNone;
}

// --- setters ---

void TNovuCustomSlider::SetBarSource(std::string_view name) {
  if (name == bar_source_) return;
  Invalidate();
  bar_source_ = name;
  bar_.Load(name);
  RecomputeSize();
}

void TNovuCustomSlider::SetThumbSource(std::string_view name) {
  if (name == thumb_source_) return;
  Invalidate();
  thumb_source_ = name;
  thumb_.Load(name);
  RecomputeSize();
}

void TNovuCustomSlider::SetButtonSource(std::string_view name) {
  if (name == button_source_) return;
  Invalidate();
  button_source_ = name;
  buttons_.Load(name);
  RecomputeSize();
}

void TNovuCustomSlider::SetOrientation(int32_t orientation) {
  const auto byte = static_cast<uint8_t>(orientation);
  if (byte == orientation_) return;
  Invalidate();
  orientation_ = byte;
  RecomputeSize();
}

void TNovuCustomSlider::SetBarSize(int32_t size) {
  if (size == bar_size_) return;
  Invalidate();
  bar_size_ = size;
  RecomputeSize();
}

void TNovuCustomSlider::SetMin(int32_t value) {
  min_ = value;
  Invalidate();
}

void TNovuCustomSlider::SetMax(int32_t value) {
  max_ = value;
  Invalidate();
}

void TNovuCustomSlider::SetValue(int32_t value) {
  value_ = value;
  Invalidate();
}

void TNovuCustomSlider::SetAlpha(int32_t alpha) {
  alpha_ = alpha;
  Invalidate();
}

// --- input ---

std::optional<Point> TNovuCustomSlider::Pointer() const {
  TNovuControl* base = GetBase();
  const BaseInputState* input = base != nullptr ? base->InputState() : nullptr;
  if (input == nullptr) return std::nullopt;
  return Point{input->mouse_x, input->mouse_y};
}

int32_t TNovuCustomSlider::PointerAlong() const {
  const Point p = Pointer().value_or(Point{});
  return vertical() ? p.y : p.x;
}

bool TNovuCustomSlider::ShowsStates() const {
  return mouse_mode() != IM_ALL && !paused_;
}

void TNovuCustomSlider::ChangeByUser(int64_t value) {
  if (max_ >= min_) value = std::clamp<int64_t>(value, min_, max_);
  const int32_t next = ClampToInt32(value);
  if (next == value_) return;
  Invalidate();
  value_ = next;
  Invalidate();
  const std::string argument = std::to_string(value_);
  PostEvent(on_notify_, std::span(&argument, 1), PR_ONNOTIFY);
}

void TNovuCustomSlider::StepBy(int64_t delta) {
  ChangeByUser(int64_t{Value()} + delta);
}

int64_t TNovuCustomSlider::ButtonStep(bool second) const {
  const bool first_adds = vertical() && !IsScrollbar();
  return (first_adds != second) ? small_change_ : -int64_t{small_change_};
}

void TNovuCustomSlider::FollowPointer() {
  const Layout l = GetLayout();
  const int64_t range = int64_t{max_} - min_;
  const int32_t travel = TravelLength();
  // No room to move in: the value stays as it is.
  if (travel <= 0) return;
  const int64_t along = PointerAlong();
  int64_t p;
  if (IsScrollbar()) {
    p = along - (vertical() ? l.bar.top : l.bar.left) - grab_;
  } else if (vertical()) {
    p = int64_t{l.bar.top} + BarLength() - 1 + grab_ - along;
  } else {
    p = along - l.bar.left - grab_;
  }
  const double per_pixel = static_cast<double>(range) / travel;
  ChangeByUser(min_ + RoundHalfEven(per_pixel * static_cast<double>(p)));
}

void TNovuCustomSlider::StartDrag(int32_t grab) {
  press_ = Press::kThumb;
  grab_ = grab;
  Invalidate();
  PostEvent(on_hold_, {}, PR_ONHOLD);
}

bool TNovuCustomSlider::PressStillApplies() const {
  const std::optional<Point> pointer = Pointer();
  if (!pointer) return false;
  const Layout l = GetLayout();
  const int32_t along = vertical() ? pointer->y : pointer->x;
  const int32_t thumb_start = vertical() ? l.thumb.top : l.thumb.left;
  const int32_t thumb_end = vertical() ? l.thumb.bottom : l.thumb.right;
  switch (press_) {
    case Press::kFirstButton:
      return PartAt(*pointer) == Part::kFirstButton;
    case Press::kSecondButton:
      return PartAt(*pointer) == Part::kSecondButton;
    case Press::kTrackBefore:
      return l.bar.Contains(*pointer) && along < thumb_start;
    case Press::kTrackAfter:
      return l.bar.Contains(*pointer) && along >= thumb_end;
    default:
      return false;
  }
}

void TNovuCustomSlider::RunPress() {
  switch (press_) {
    case Press::kFirstButton:
      StepBy(ButtonStep(false));
      break;
    case Press::kSecondButton:
      StepBy(ButtonStep(true));
      break;
    case Press::kTrackBefore:
      StepBy(-int64_t{LargeChange()});
      break;
    case Press::kTrackAfter:
      StepBy(LargeChange());
      break;
    default:
      break;
  }
}

void TNovuCustomSlider::LButtonDown() {
  TNovuControl::LButtonDown();
  const bool takes_left = mouse_mode() == IM_NONE || mouse_mode() == IM_RCLICK;
  const std::optional<Point> pointer = Pointer();
  if (!takes_left || paused_ || !pointer) return;
  const Part part = PartAt(*pointer);
  if (part == Part::kNone) return;
  if (BaseInputState* input = GetBase()->InputState()) input->press_taken |= kPressLeftTaken;
  const Layout l = GetLayout();
  const int32_t along = vertical() ? pointer->y : pointer->x;
  const int32_t thumb_start = vertical() ? l.thumb.top : l.thumb.left;
  switch (part) {
    case Part::kThumb:
      StartDrag(IsScrollbar() ? along - thumb_start : along - (thumb_start + ThumbLength() / 2));
      return;
    case Part::kBar:
      if (!IsScrollbar()) {
        grab_ = 0;
        FollowPointer();
        StartDrag(0);
        return;
      }
      press_ = along < thumb_start ? Press::kTrackBefore : Press::kTrackAfter;
      if (!PressStillApplies()) {  // on the thumb's own span across a masked bar
        press_ = Press::kNone;
        return;
      }
      break;
    case Part::kFirstButton:
      press_ = Press::kFirstButton;
      break;
    case Part::kSecondButton:
      press_ = Press::kSecondButton;
      break;
    case Part::kNone:
      return;
  }
  repeat_ms_ = kFirstRepeatMs;
  Invalidate();
  RunPress();
}

void TNovuCustomSlider::LButtonUp() {
  TNovuControl::LButtonUp();
  if (press_ == Press::kNone) return;
  const bool was_drag = press_ == Press::kThumb;
  press_ = Press::kNone;
  Invalidate();
  if (was_drag) PostEvent(on_release_, {}, PR_ONRELEASE);
}

void TNovuCustomSlider::MouseDrag() {
  if (press_ == Press::kThumb) FollowPointer();
}

void TNovuCustomSlider::MouseMove() {
  TNovuControl::MouseMove();
  const std::optional<Point> pointer = Pointer();
  const Part part = pointer ? PartAt(*pointer) : Part::kNone;
  if (part == hover_) return;
  hover_ = part;
  Invalidate();
}

void TNovuCustomSlider::MouseOut() {
  TNovuControl::MouseOut();
  if (hover_ == Part::kNone) return;
  hover_ = Part::kNone;
  Invalidate();
}

void TNovuCustomSlider::KeyRepeat(std::span<const int32_t> keys) {
  TNovuControl::KeyRepeat(keys);
  if (paused_) return;
  const int up_key = vertical() ? platform::kVkUp : platform::kVkRight;
  const int down_key = vertical() ? platform::kVkDown : platform::kVkLeft;
  for (const int32_t key : keys) {
    if (key == up_key) StepBy(small_change_);
    if (key == down_key) StepBy(-int64_t{small_change_});
  }
}

int32_t TNovuCustomSlider::Update() {
  const int32_t result = TNovuControl::Update();
  if (press_ == Press::kNone || press_ == Press::kThumb) return result;
  repeat_ms_ -= std::max(owner() != nullptr ? owner()->FrameDelta() : 0, 0);
  if (repeat_ms_ <= 0) {
    repeat_ms_ += kRepeatIntervalMs;
    if (PressStillApplies()) RunPress();
  }
  return result;
}

// --- painting ---

int TNovuCustomSlider::ThumbCell() const {
  if (!ShowsStates()) return 0;
  if (press_ == Press::kThumb) return 2;
  return hover_ == Part::kThumb ? 1 : 0;
}

int TNovuCustomSlider::ButtonCell(bool second) const {
  const int first_cell = second ? 3 : 0;
  if (!ShowsStates()) return first_cell;
  if (press_ == (second ? Press::kSecondButton : Press::kFirstButton)) return first_cell + 2;
  return hover_ == (second ? Part::kSecondButton : Part::kFirstButton) ? first_cell + 1
                                                                       : first_cell;
}

void TNovuCustomSlider::DrawCells(render::TCustomDIBX& surface, const CachedPicture& picture,
                                  int cells, int cell, const Rect& at) const {
  const render::TDIBX* source = picture.surface();
  const Rect src = CellSource(picture, cells, cell);
  if (source == nullptr || src.IsEmpty()) return;
  DrawPictureCell(surface, at.left, at.top, *source, picture.mask(), src, alpha_);
}

// From the minimum end (the left, or the bottom of a vertical bar) to the thumb the right half
// repeats, beyond it the left half; both strips keep the tiles of the minimum end.
void TNovuCustomSlider::DrawSliderBar(render::TCustomDIBX& surface, const Layout& l) const {
  const render::TDIBX& picture = *bar_.surface();
  const int32_t half = bar_.width() / 2;
  const Rect left_half{0, 0, half, bar_.height()};
  const Rect right_half{half, 0, 2 * half, bar_.height()};
  const int32_t offset = std::clamp(ThumbOffset(), 0, BarLength());
  if (vertical()) {
    const int32_t split = l.bar.bottom - offset;
    const Rect filled{l.bar.left, split, l.bar.right, l.bar.bottom};
    const Rect rest{l.bar.left, l.bar.top, l.bar.right, split};
    TilePictureCell(surface, filled, l.bar.left, l.bar.bottom, picture, bar_.mask(), right_half,
                    alpha_);
    TilePictureCell(surface, rest, l.bar.left, l.bar.bottom, picture, bar_.mask(), left_half,
                    alpha_);
  } else {
    const int32_t split = l.bar.left + offset;
    const Rect filled{l.bar.left, l.bar.top, split, l.bar.bottom};
    const Rect rest{split, l.bar.top, l.bar.right, l.bar.bottom};
    TilePictureCell(surface, filled, l.bar.left, l.bar.top, picture, bar_.mask(), right_half,
                    alpha_);
    TilePictureCell(surface, rest, l.bar.left, l.bar.top, picture, bar_.mask(), left_half, alpha_);
  }
}

// The track repeats the left half; while the track is held on one side of the thumb, the part
// from that end to the thumb's centre shows the right half.
void TNovuCustomSlider::DrawScrollTrack(render::TCustomDIBX& surface, const Layout& l) const {
  const render::TDIBX& picture = *bar_.surface();
  const int32_t half = bar_.width() / 2;
  const Rect left_half{0, 0, half, bar_.height()};
  const Rect right_half{half, 0, 2 * half, bar_.height()};
  Rect held{};
  if ((press_ == Press::kTrackBefore || press_ == Press::kTrackAfter) && PressStillApplies()) {
    const int32_t centre =
        vertical() ? l.thumb.top + ThumbLength() / 2 : l.thumb.left + ThumbLength() / 2;
    held = l.bar;
    int32_t& near = vertical() ? held.top : held.left;
    int32_t& far = vertical() ? held.bottom : held.right;
    if (press_ == Press::kTrackBefore) {
      far = std::clamp(centre, near, far);
    } else {
      near = std::clamp(centre, near, far);
    }
  }
  if (held.IsEmpty()) {
    TilePictureCell(surface, l.bar, l.bar.left, l.bar.top, picture, bar_.mask(), left_half, alpha_);
    return;
  }
  // The plain track on both sides of the held part, then the held part.
  Rect before = l.bar;
  Rect after = l.bar;
  (vertical() ? before.bottom : before.right) = vertical() ? held.top : held.left;
  (vertical() ? after.top : after.left) = vertical() ? held.bottom : held.right;
  for (const Rect& plain : {before, after}) {
    TilePictureCell(surface, plain, l.bar.left, l.bar.top, picture, bar_.mask(), left_half, alpha_);
  }
  TilePictureCell(surface, held, l.bar.left, l.bar.top, picture, bar_.mask(), right_half, alpha_);
}

void TNovuCustomSlider::DrawSelf(render::TCustomDIBX& surface) {
  if (bar_.surface() == nullptr || width() < 1 || height() < 1 || !AlphaCodeDraws(alpha_)) return;
  const Layout l = GetLayout();
  if (IsScrollbar()) {
    DrawScrollTrack(surface, l);
  } else {
    DrawSliderBar(surface, l);
  }
  if (max_ > min_) DrawCells(surface, thumb_, 3, ThumbCell(), l.thumb);
  DrawCells(surface, buttons_, 6, ButtonCell(false), l.first_button);
  DrawCells(surface, buttons_, 6, ButtonCell(true), l.second_button);
}

// --- saved state ---

void TNovuCustomSlider::SyncPicture(TNovuCustomSlider& s, std::string TNovuCustomSlider::*name,
                                    void (TNovuCustomSlider::*setter)(std::string_view),
                                    Serializer& sz) {
  std::string saved = s.*name;
  sz.String(saved);
  if (sz.loading()) (s.*setter)(saved);
}

void TNovuCustomSlider::AfterLoad() {
  press_ = Press::kNone;
  hover_ = Part::kNone;
  RecomputeSize();
}

const PropertyTable& TNovuCustomSlider::Table() {
  using R = PropertyRows<TNovuCustomSlider>;
  using S = TNovuCustomSlider;
  const auto picture = [](std::string S::*name, void (S::*setter)(std::string_view)) {
    return [name, setter](S& s, Serializer& sz) { SyncPicture(s, name, setter, sz); };
  };
  static const PropertyTable table(
      &TNovuControl::Table(),
      {
          R::Field(PR_SOURCE, &S::bar_source_)
              .Set(&S::SetBarSource)
              .Save(picture(&S::bar_source_, &S::SetBarSource)),
          R::Field(PR_THUMBSOURCE, &S::thumb_source_)
              .Set(&S::SetThumbSource)
              .Save(picture(&S::thumb_source_, &S::SetThumbSource)),
          R::Field(PR_BUTTONSOURCE, &S::button_source_)
              .Set(&S::SetButtonSource)
              .Save(picture(&S::button_source_, &S::SetButtonSource)),
          R::Field(PR_MIN, &S::min_).Set(&S::SetMin),
          R::Field(PR_MAX, &S::max_).Set(&S::SetMax),
          R::Field(PR_VALUE, &S::value_)
              .Get([](const S& s) { return s.Value(); })
              .Set(&S::SetValue),
          R::Field(PR_SMALLCHANGE, &S::small_change_),
          R::Field(PR_ALPHA, &S::alpha_).Set(&S::SetAlpha),
          R::Field(PR_PAUSED, &S::paused_),
          R::Field(PR_ORIENTATION, &S::orientation_).Set(&S::SetOrientation),
          R::Field(PR_ONNOTIFY, &S::on_notify_),
          R::Field(PR_ONHOLD, &S::on_hold_),
          R::Field(PR_ONRELEASE, &S::on_release_),
          R::Field(PR_ONIDLE, &S::on_idle_),
          R::Field(PR_CAPTUREMASK, &S::capture_mask_).Since(119),
          R::Field(PR_BARSIZE, &S::bar_size_)
              .Set(&S::SetBarSize)
              .Save([](S& s, Serializer& sz) {
                int32_t size = s.bar_size_;
                sz.I32(size);
                if (sz.loading()) s.SetBarSize(size);
              })
              .Since(128),
      });
  return table;
}

const PropertyTable& TNovuScrollbar::Table() {
  using R = PropertyRows<TNovuScrollbar>;
  static const PropertyTable table(&TNovuCustomSlider::Table(),
                                   {
                                       R::Field(PR_LARGECHANGE, &TNovuScrollbar::large_change_),
                                   });
  return table;
}

}  // namespace novu
