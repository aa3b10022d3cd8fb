#include "controls/list_box_geometry.h"

#include <algorithm>
#include <cmath>

namespace novu {
namespace {

int32_t Clamp64(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, -kCoordinateLimit, kCoordinateLimit));
}

ListBoxLayoutInput Tamed(ListBoxLayoutInput in) {
  in.bounds = Tame(in.bounds);
  for (int32_t* v :
       {&in.border_width, &in.frame.left, &in.frame.right, &in.frame.top, &in.frame.bottom,
        &in.scroll_cell_width, &in.scroll_cell_height, &in.check_cell_width, &in.row_height,
        &in.line_space, &in.margin_x, &in.margin_y}) {
    *v = Tame(*v);
  }
  in.item_count = std::max(in.item_count, 0);
  in.rows = std::max(in.rows, 0);
  return in;
}

}  // namespace

ListBoxGeometry::ListBoxGeometry(const ListBoxLayoutInput& in) : in_(Tamed(in)) {
  const int32_t b = std::max(in_.border_width, 0);
  inner_ = Rect{Clamp64(int64_t{in_.bounds.left} + b), Clamp64(int64_t{in_.bounds.top} + b),
                Clamp64(int64_t{in_.bounds.right} - b), Clamp64(int64_t{in_.bounds.bottom} - b)};
}

bool ListBoxGeometry::Scrolls() const {
  return in_.item_count > in_.rows;
}

int32_t ListBoxGeometry::MaxTopItem() const {
  return std::max(0, in_.item_count - in_.rows);
}

int32_t ListBoxGeometry::ScrollColumnX() const {
  return Clamp64(int64_t{inner_.right} - in_.frame.right - in_.scroll_cell_width);
}

Rect ListBoxGeometry::UpArrow() const {
  return MakeRect(ScrollColumnX(), Clamp64(int64_t{inner_.top} + in_.frame.top),
                  in_.scroll_cell_width, in_.scroll_cell_height);
}

Rect ListBoxGeometry::DownArrow() const {
  const int64_t top = int64_t{inner_.bottom} - in_.frame.bottom - in_.scroll_cell_height;
  return MakeRect(ScrollColumnX(), Clamp64(top), in_.scroll_cell_width, in_.scroll_cell_height);
}

int32_t ListBoxGeometry::TrackTop() const {
  return UpArrow().bottom;
}

int32_t ListBoxGeometry::TrackLength() const {
  return Clamp64(int64_t{inner_.Height()} - in_.frame.top - in_.frame.bottom -
                 3 * int64_t{in_.scroll_cell_height});
}

Rect ListBoxGeometry::Thumb() const {
  const int64_t track = TrackLength();
  const int64_t range = int64_t{in_.item_count} - in_.rows;
  int64_t offset = 0;
  if (track > 0 && range > 0) {
    offset = int64_t{std::clamp(in_.top_item, 0, MaxTopItem())} * track / range;
  }
  return MakeRect(ScrollColumnX(), Clamp64(TrackTop() + offset), in_.scroll_cell_width,
                  in_.scroll_cell_height);
}

Rect ListBoxGeometry::TrackAbove() const {
  const Rect thumb = Thumb();
  return Rect{thumb.left, TrackTop(), thumb.right, thumb.top};
}

Rect ListBoxGeometry::TrackBelow() const {
  const Rect thumb = Thumb();
  return Rect{thumb.left, thumb.bottom, thumb.right, DownArrow().top};
}

ListPress ListBoxGeometry::PartAt(Point p) const {
  if (!ShowsScrollBar()) return ListPress::kItems;
  if (UpArrow().Contains(p)) return ListPress::kUpArrow;
  if (DownArrow().Contains(p)) return ListPress::kDownArrow;
  if (Thumb().Contains(p)) return ListPress::kThumb;
  if (TrackAbove().Contains(p)) return ListPress::kTrackAbove;
  if (TrackBelow().Contains(p)) return ListPress::kTrackBelow;
  return ListPress::kItems;
}

int32_t ListBoxGeometry::TopItemForThumbAt(int32_t pointer_y) const {
  const int64_t track = TrackLength();
  if (track <= 0) return std::clamp(in_.top_item, 0, MaxTopItem());
  const int64_t along = int64_t{pointer_y} - TrackTop() - in_.scroll_cell_height / 2;
  const double top = std::round(static_cast<double>(MaxTopItem()) * static_cast<double>(along) /
                                static_cast<double>(track));
  return static_cast<int32_t>(std::clamp(top, 0.0, static_cast<double>(MaxTopItem())));
}

int32_t ListBoxGeometry::ItemsLeft() const {
  return Clamp64(int64_t{inner_.left} + in_.frame.left + in_.margin_x + in_.check_cell_width);
}

int32_t ListBoxGeometry::ItemsWidth() const {
  int64_t width = int64_t{inner_.right} - in_.frame.right - in_.margin_x - ItemsLeft();
  if (ShowsScrollBar()) width -= in_.scroll_cell_width;
  return Clamp64(width);
}

int32_t ListBoxGeometry::ItemsTop() const {
  return Clamp64(int64_t{inner_.top} + in_.frame.top + in_.margin_y);
}

int32_t ListBoxGeometry::RowReach() const {
  return std::max(0, std::min(in_.line_space / 2, in_.margin_y));
}

int32_t ListBoxGeometry::ItemAt(Point p) const {
  const int64_t left = int64_t{inner_.left} + in_.frame.left;
  int64_t right = int64_t{inner_.right} - in_.frame.right;
  if (ShowsScrollBar()) right -= in_.scroll_cell_width;
  const int64_t top = int64_t{ItemsTop()} - RowReach();
  const int64_t bottom = int64_t{inner_.bottom} - in_.frame.bottom - in_.margin_y + RowReach();
  if (p.x < left || p.x >= right || p.y < top || p.y >= bottom) return -1;
  const int64_t pitch = RowPitch();
  if (pitch <= 0) return -1;
  const int64_t from_first = int64_t{p.y} - (int64_t{ItemsTop()} - in_.line_space / 2);
  const int64_t row = std::max<int64_t>(0, from_first) / pitch;
  if (row >= in_.rows) return -1;
  const int64_t item = int64_t{in_.top_item} + row;
  return item >= 0 && item < in_.item_count ? static_cast<int32_t>(item) : -1;
}

}  // namespace novu
