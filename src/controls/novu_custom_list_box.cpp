#include "controls/novu_custom_list_box.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "core/cp932.h"
#include "expr/param_collection.h"
#include "objects/object_list.h"
#include "platform/virtual_keys.h"

namespace novu {
namespace {

constexpr int kVkPageUp = 0x21;
constexpr int kVkPageDown = 0x22;
// A frame that stood still for long steps the scroll bar at most this often.
constexpr int kMaxStepsPerFrame = 64;

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

bool IsControlByte(char c) {
  return static_cast<uint8_t>(c) < 0x20;
}

std::string_view TrimControls(std::string_view s) {
  while (!s.empty() && IsControlByte(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsControlByte(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

TNovuCustomListBox::TNovuCustomListBox(ObjectList* owner, ImageEnvironment env)
    : TNovuControl(owner),
      env_(env),
      frame_(env.cache),
      scroll_(env.cache, 7),
      check_(env.cache, 2) {}

TNovuCustomListBox::~TNovuCustomListBox() = default;

void TNovuCustomListBox::Create() {
  TNovuControl::Create();
  // A list answers the arrow keys wherever the focus lands on it.
  SetHandleKey(true);
}

const std::string& TNovuCustomListBox::ItemText(int32_t index) const {
  static const std::string kNone;
  return index >= 0 && index < ItemCount() ? items_[static_cast<size_t>(index)].normal.text()
                                           : kNone;
}

bool TNovuCustomListBox::Checked(int32_t index) const {
  return index >= 0 && index < ItemCount() && items_[static_cast<size_t>(index)].checked != 0;
}

void TNovuCustomListBox::SetChecked(int32_t index, bool checked) {
  if (index < 0 || index >= ItemCount()) return;
  items_[static_cast<size_t>(index)].checked = checked ? 1 : 0;
  Invalidate();
}

void TNovuCustomListBox::MarkLayout() {
  layout_needed_ = true;
  for (Item& item : items_) {
    item.normal.Invalidate();
    item.hover.Invalidate();
  }
  Invalidate();
}

void TNovuCustomListBox::SetText(std::string_view text) {
  text_ = text;
  items_.clear();
  const std::string_view trimmed = TrimControls(text);
  if (!trimmed.empty()) {
    for (const std::string& line : cp932::SplitAtLineEnds(trimmed)) {
      const std::string item(TrimControls(line));
      items_.push_back(Item{ListCaption(item), ListCaption(item), 0});
    }
  }
  if (hovered_ >= ItemCount()) hovered_ = -1;
  if (index_ >= ItemCount()) index_ = -1;
  top_item_ = std::clamp(top_item_, 0, std::max(0, ItemCount() - std::max(rows_, 0)));
  MarkLayout();
}

void TNovuCustomListBox::SetRows(int32_t rows) {
  SetLayoutField(rows_, std::max(rows, 0));
  SetTopItem(top_item_);
}

void TNovuCustomListBox::SetTopItem(int32_t top) {
  const int32_t clamped = std::clamp(top, 0, std::max(0, ItemCount() - rows_));
  if (clamped == top_item_) return;
  top_item_ = clamped;
  Invalidate();
}

void TNovuCustomListBox::SetScrollSource(std::string_view name) {
  scroll_.Load(name);
  MarkLayout();
}

void TNovuCustomListBox::SetCheckSource(std::string_view name) {
  check_.Load(name);
  MarkLayout();
}

void TNovuCustomListBox::SetFrameSource(int cell, std::string_view name) {
  frame_.Load(cell, name);
  MarkLayout();
}

void TNovuCustomListBox::PostItemEvent(const std::string& label, PropId id, int32_t index) {
  const auto event = static_cast<uint8_t>(id);
  if (label.empty() || IsEventQueued(event)) return;
  const std::vector<std::string> arguments{ItemText(index), std::to_string(index)};
  PostEvent(label, arguments, event);
}

void TNovuCustomListBox::SetHovered(int32_t index, bool follow) {
  if (index < -1 || index >= ItemCount()) index = -1;
  if (index == hovered_) return;
  const int32_t old = hovered_;
  hovered_ = index;
  if (old >= 0) PostItemEvent(on_map_out_, PR_ONMAPOUT, old);
  if (index >= 0) PostItemEvent(on_map_in_, PR_ONMAPIN, index);
  if (follow && index >= 0) {
    if (index < top_item_) {
      SetTopItem(index);
    } else if (rows_ > 0 && index >= top_item_ + rows_) {
      SetTopItem(index - rows_ + 1);
    }
  }
  Invalidate();
}

void TNovuCustomListBox::Choose(int32_t index) {
  if (index < 0 || index >= ItemCount()) return;
  index_ = index;
  if (env_.vars != nullptr) {
    env_.vars->SetSelStr(ItemText(index));
    env_.vars->SetSelIndex(index);
  }
  PostItemEvent(on_select_, PR_ONSELECT, index);
  Chosen();
}

// --- layout ---

void TNovuCustomListBox::EnsureLayout() {
  if (layout_needed_) Layout();
}

void TNovuCustomListBox::Layout() {
  layout_needed_ = false;
  int64_t widest = 0;
  // The row height comes from the fonts, whatever the texts: an empty caption has it too.
  ListCaption probe;
  probe.Measure(env_.glyphs, normal_style_);
  int64_t row_height = probe.height();
  probe.Measure(env_.glyphs, hover_style_);
  row_height = std::max<int64_t>(row_height, probe.height());
  for (Item& item : items_) {
    item.normal.Measure(env_.glyphs, normal_style_);
    item.hover.Measure(env_.glyphs, hover_style_);
    widest = std::max<int64_t>({widest, item.normal.width(), item.hover.width()});
  }
  row_height_ = Saturate(row_height);

  const FrameSizes frame = frame_.Sizes();
  const int64_t b = std::max(border_width_, 0);
  const int64_t r = std::min<int64_t>(std::max(rows_, 0), ItemCount());
  int64_t width = widest + 2 * b + frame.left + frame.right + 2 * int64_t{margin_x_};
  if (ItemCount() > rows_) width += scroll_.CellWidth();
  width += check_.CellWidth();
  const int64_t height = r * row_height + std::max<int64_t>(r - 1, 0) * line_space_ + 2 * b +
                         frame.top + frame.bottom + 2 * int64_t{margin_y_};
  layout_height_ = Tame(Saturate(height));
  ApplyLayoutSize(Tame(Saturate(width)), layout_height_);
}

void TNovuCustomListBox::ApplyLayoutSize(int32_t width, int32_t height) {
  if (width != this->width()) SetWidth(width);
  if (height != this->height()) SetHeight(height);
}

ListBoxGeometry TNovuCustomListBox::Geometry() {
  EnsureLayout();
  ListBoxLayoutInput in;
  in.bounds = GetBoundsRect();
  in.border_width = border_width_;
  in.frame = frame_.Sizes();
  in.scroll_cell_width = scroll_.CellWidth();
  in.scroll_cell_height = scroll_.CellHeight();
  in.check_cell_width = check_.CellWidth();
  in.item_count = ItemCount();
  in.rows = rows_;
  in.top_item = top_item_;
  in.row_height = row_height_;
  in.line_space = line_space_;
  in.margin_x = margin_x_;
  in.margin_y = margin_y_;
  return ListBoxGeometry(in);
}

std::optional<Point> TNovuCustomListBox::Pointer() const {
  TNovuControl* base = GetBase();
  BaseInputState* input = base != nullptr ? base->InputState() : nullptr;
  if (input == nullptr) return std::nullopt;
  return Point{input->mouse_x, input->mouse_y};
}

// --- frame work ---

int32_t TNovuCustomListBox::Update() {
  EnsureLayout();
  const int32_t elapsed = owner() != nullptr ? owner()->FrameDelta() : 0;
  if (frame_.Advance(elapsed)) Invalidate();
  RunRepeat(elapsed);
  return TNovuControl::Update();
}

void TNovuCustomListBox::StepScroll(ListPress part) {
  switch (part) {
    case ListPress::kUpArrow:
      SetTopItem(top_item_ - 1);
      break;
    case ListPress::kDownArrow:
      SetTopItem(top_item_ + 1);
      break;
    case ListPress::kTrackAbove:
      SetTopItem(Saturate(int64_t{top_item_} - rows_));
      break;
    case ListPress::kTrackBelow:
      SetTopItem(Saturate(int64_t{top_item_} + rows_));
      break;
    default:
      break;
  }
}

bool TNovuCustomListBox::HeldPartUnderPointer(ListPress part, const ListBoxGeometry& g) const {
  const std::optional<Point> p = Pointer();
  return p && g.PartAt(*p) == part;
}

void TNovuCustomListBox::RunRepeat(int32_t elapsed_ms) {
  if (press_ != ListPress::kUpArrow && press_ != ListPress::kDownArrow &&
      press_ != ListPress::kTrackAbove && press_ != ListPress::kTrackBelow) {
    return;
  }
  if (std::exchange(repeat_armed_, false)) return;
  repeat_clock_ = Saturate(int64_t{repeat_clock_} - std::max(elapsed_ms, 0));
  for (int steps = 0; repeat_clock_ <= 0 && steps < kMaxStepsPerFrame; ++steps) {
    if (HeldPartUnderPointer(press_, Geometry())) StepScroll(press_);
    repeat_clock_ += kRepeatIntervalMs;
  }
  repeat_clock_ = std::max(repeat_clock_, 1);
}

// --- mouse ---

void TNovuCustomListBox::LButtonDown() {
  TNovuControl::LButtonDown();
  if (IsPaused() || IsInputDisabled()) return;
  const std::optional<Point> p = Pointer();
  if (!p) return;
  TNovuControl* base = GetBase();
  if (BaseInputState* input = base != nullptr ? base->InputState() : nullptr) {
    // The list follows the held button until it is released.
    input->press_taken |= kPressLeftTaken;
    input->left_click = false;
  }
  const ListBoxGeometry g = Geometry();
  press_ = g.PartAt(*p);
  if (press_ != ListPress::kItems && press_ != ListPress::kThumb) {
    StepScroll(press_);
    repeat_clock_ = kFirstRepeatMs;
    repeat_armed_ = true;
  }
  Invalidate();
}

void TNovuCustomListBox::LButtonUp() {
  TNovuControl::LButtonUp();
  const ListPress released = std::exchange(press_, ListPress::kNone);
  Invalidate();
  if (released == ListPress::kItems && hovered_ >= 0 && !IsPaused() && !IsInputDisabled()) {
    Choose(hovered_);
  }
}

void TNovuCustomListBox::MouseDrag() {
  if (press_ != ListPress::kThumb) return;
  const std::optional<Point> p = Pointer();
  if (p) SetTopItem(Geometry().TopItemForThumbAt(p->y));
}

void TNovuCustomListBox::MouseMove() {
  TNovuControl::MouseMove();
  if (IsPaused() || IsInputDisabled() || animation_phase() != 0) return;
  if (press_ != ListPress::kNone && press_ != ListPress::kItems) return;
  const std::optional<Point> p = Pointer();
  if (!p) return;
  const int32_t item = Geometry().ItemAt(*p);
  if (item >= 0) SetHovered(item, false);
}

void TNovuCustomListBox::MouseOut() {
  TNovuControl::MouseOut();
  if (mouse_mode() != IM_ALL) SetHovered(-1, false);
}

// --- keys ---

void TNovuCustomListBox::KeyRepeat(std::span<const int32_t> keys) {
  TNovuControl::KeyRepeat(keys);
  if (!TakesKeys() || items_.empty()) return;
  const int32_t last = ItemCount() - 1;
  const int32_t page = std::max(rows_, 1);
  for (int32_t key : keys) {
    int32_t next = hovered_;
    switch (key) {
      case platform::kVkUp:
        next = hovered_ < 0 ? last : std::max(hovered_ - 1, 0);
        break;
      case platform::kVkDown:
        next = hovered_ < 0 ? 0 : std::min(hovered_ + 1, last);
        break;
      case kVkPageUp:
        next = std::max(Saturate(int64_t{hovered_} - page), 0);
        break;
      case kVkPageDown:
        next = std::min(Saturate(int64_t{hovered_} + page), last);
        break;
      default:
        continue;
    }
    SetHovered(next, true);
  }
}

// --- loading ---

void TNovuCustomListBox::AfterLoad() {
  TNovuControl::AfterLoad();
  press_ = ListPress::kNone;
  MarkLayout();
}

}  // namespace novu
