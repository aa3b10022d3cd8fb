// How a list box draws itself: border, box colour, the nine frame cells, then (while no
// opening or closing animation runs) the scroll bar and the items.
#include <algorithm>

#include "controls/alpha_code_fill.h"
#include "controls/novu_custom_list_box.h"
#include "render/custom_dibx.h"

namespace novu {
namespace {

// The cells of the scroll picture.
enum ScrollCell : int32_t {
  kUpCell = 0,
  kDownCell = 2,
  kTrackCell = 4,
  kThumbCell = 6,
};

}  // namespace

void TNovuCustomListBox::DrawSelf(render::TCustomDIBX& surface) {
  EnsureLayout();
  const Rect bounds = GetBoundsRect();
  if (!AlphaCodeDraws(alpha_) || width() <= 0 || height() <= 0) return;
  if (Intersect(bounds, surface.DrawableRect()).IsEmpty()) return;
  const ListBoxGeometry g = Geometry();
  const Rect& inner = g.inner();
  if (border_width_ > 0 && border_colour_ != -1 && bounds.Height() >= border_width_) {
    FrameByAlphaCode(surface, bounds, border_width_, border_colour_, alpha_);
  }
  if (inner.IsEmpty()) return;
  // Nothing of the list reaches outside its box, whatever size a script gave it: what lies
  // outside would never be repainted.
  const Rect saved_clip = surface.ClipRect();
  const bool had_clip = surface.HasClip();
  surface.SetClipRect(had_clip ? Intersect(saved_clip, inner) : inner);
  if (color() != -1) FillByAlphaCode(surface, inner, color(), alpha_);
  const bool animating = animation_phase() != 0;
  const int32_t centre_cut = g.Scrolls() && !animating ? scroll_.CellWidth() : 0;
  frame_.Paint(surface, inner, centre_cut, alpha_);
  if (!animating) {
    PaintScrollBar(surface, g);
    PaintItems(surface, g);
  }
  surface.RestoreClip(saved_clip, had_clip);
}

void TNovuCustomListBox::PaintScrollBar(render::TCustomDIBX& surface,
                                        const ListBoxGeometry& g) const {
  if (!g.ShowsScrollBar() || !scroll_.Usable()) return;
  auto cell = [&](ListPress part, int32_t normal) {
    return press_ == part && HeldPartUnderPointer(part, g) ? normal + 1 : normal;
  };
  const Rect up = g.UpArrow();
  const Rect down = g.DownArrow();
  const Rect thumb = g.Thumb();
  const Rect above = g.TrackAbove();
  const Rect below = g.TrackBelow();
  scroll_.Tile(surface, up, cell(ListPress::kUpArrow, kUpCell), 0, alpha_);
  scroll_.Tile(surface, down, cell(ListPress::kDownArrow, kDownCell), 0, alpha_);
  scroll_.Tile(surface, above, cell(ListPress::kTrackAbove, kTrackCell), 0, alpha_);
  // The track's pattern runs on under the thumb.
  const int32_t h = scroll_.CellHeight();
  const int32_t below_phase = h > 0 ? -((below.top - above.top) % h) : 0;
  scroll_.Tile(surface, below, cell(ListPress::kTrackBelow, kTrackCell), below_phase, alpha_);
  scroll_.Tile(surface, thumb, kThumbCell, 0, alpha_);
}

void TNovuCustomListBox::PaintItems(render::TCustomDIBX& surface, const ListBoxGeometry& g) {
  const FrameSizes frame = frame_.Sizes();
  const int32_t x0 = g.ItemsLeft();
  const int32_t area = g.ItemsWidth();
  const int32_t check_width = check_.CellWidth();
  const int32_t reach = g.RowReach();
  const int32_t hover_colour = HoverColour();
  const int depth = surface.BitCount() > 0 ? surface.BitCount() : 32;
  int64_t y = g.ItemsTop();
  for (int32_t row = 0; row < rows_; ++row) {
    const int32_t k = top_item_ + row;
    if (k < 0 || k >= ItemCount() || y > kCoordinateLimit) break;
    Item& item = items_[static_cast<size_t>(k)];
    const bool hovered = k == hovered_;
    const auto top = static_cast<int32_t>(y);
    if (hovered && hover_colour != -1) {
      const int64_t span = 2 * int64_t{margin_x_} + area + check_width - 2;
      const Rect highlight =
          MakeRect(Tame(g.inner().left + frame.left + 1), top - reach,
                   Tame(static_cast<int32_t>(std::clamp<int64_t>(span, 0, kCoordinateLimit))),
                   row_height_ + 2 * reach);
      if (!highlight.IsEmpty()) FillByAlphaCode(surface, highlight, hover_colour, alpha_);
    }
    ListCaption& caption = hovered ? item.hover : item.normal;
    const ListCaptionStyle& style = hovered ? hover_style_ : normal_style_;
    if (!caption.rendered()) caption.Render(env_.glyphs, style, depth);
    int32_t x = x0;
    if (h_align_ == 1) x = x0 + (area - caption.width()) / 2;
    if (h_align_ == 2) x = x0 + area - caption.width();
    caption.Draw(surface, x, top, style);
    if (item.checked != 0 && check_.Usable()) {
      check_.Draw(surface, x0 - check_width, top + (row_height_ - check_.CellHeight()) / 2,
                  hovered ? 1 : 0, alpha_);
    }
    y += int64_t{row_height_} + line_space_;
  }
}

}  // namespace novu
