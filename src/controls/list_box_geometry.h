#pragma once
// Where the parts of a list box lie: the inner box inside the border, the frame bands, the
// scroll bar column with its arrows, track and thumb, and the item rows. Worked out from the
// list's settings alone, so drawing and the mouse agree on every pixel.
#include <cstdint>

#include "core/geometry.h"

namespace novu {

// The parts of the scroll bar a press can hold (the press modes of a list box).
enum class ListPress : int32_t {
  kNone = -1,
  kThumb = 0,
  kUpArrow = 1,
  kDownArrow = 2,
  kTrackAbove = 3,
  kTrackBelow = 4,
  kItems = 5,
};

struct FrameSizes {
  int32_t left = 0;    // widest picture of the left column
  int32_t right = 0;   // of the right column
  int32_t top = 0;     // highest picture of the top row
  int32_t bottom = 0;  // of the bottom row
};

struct ListBoxLayoutInput {
  Rect bounds;               // the control on screen
  int32_t border_width = 0;  // PR_BORDERWIDTH
  FrameSizes frame;
  int32_t scroll_cell_width = 0;  // a seventh of the scroll picture; 0 without one
  int32_t scroll_cell_height = 0;
  int32_t check_cell_width = 0;  // half the check picture; 0 without one
  int32_t item_count = 0;
  int32_t rows = 0;  // visible rows
  int32_t top_item = 0;
  int32_t row_height = 0;
  int32_t line_space = 0;
  int32_t margin_x = 0;
  int32_t margin_y = 0;
};

class ListBoxGeometry {
 public:
  explicit ListBoxGeometry(const ListBoxLayoutInput& in);

  const Rect& inner() const { return inner_; }
  // The items exceed the visible rows.
  bool Scrolls() const;
  // The scroll bar takes a column (it scrolls and there is a scroll picture).
  bool ShowsScrollBar() const { return Scrolls() && in_.scroll_cell_width > 0; }
  int32_t ScrollColumnX() const;
  Rect UpArrow() const;
  Rect DownArrow() const;
  // The room the thumb moves in; 0 or less when the box is too low for a track.
  int32_t TrackLength() const;
  // The first pixel below the up arrow.
  int32_t TrackTop() const;
  Rect Thumb() const;
  Rect TrackAbove() const;
  Rect TrackBelow() const;
  // The scroll bar part at the point, kItems for any other point of the box.
  ListPress PartAt(Point p) const;
  // The top item that puts the thumb's centre at `pointer_y`; the current one when the track
  // has no length.
  int32_t TopItemForThumbAt(int32_t pointer_y) const;
  int32_t MaxTopItem() const;

  // The item area: its left (after the check cell), its width and the first row's top.
  int32_t ItemsLeft() const;
  int32_t ItemsWidth() const;
  int32_t ItemsTop() const;
  int32_t RowPitch() const { return in_.row_height + in_.line_space; }
  // Half the line space or the y margin, whichever is less: how far a row's highlight and
  // its hit area reach above and below it.
  int32_t RowReach() const;
  // The item under the point, -1 for none.
  int32_t ItemAt(Point p) const;

 private:
  ListBoxLayoutInput in_;
  Rect inner_;
};

}  // namespace novu
