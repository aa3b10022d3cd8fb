#include "objects/novu_base.h"

#include "render/custom_dibx.h"

namespace novu {

TNovuBase::TNovuBase(ObjectList* owner) : TNovuControl(owner) {}

void TNovuBase::Resize(int32_t width, int32_t height, int depth) {
  own_.SetSize(width, height, depth);
  SetBounds(0, 0, width, height);
}

void TNovuBase::InvalidateRect(const render::Rect& rect) {
  const render::Rect r = render::Intersect(rect, {0, 0, width(), height()});
  if (r.IsEmpty()) return;
  if (watcher_) watcher_(r);
  dirty_.Add({r.left, r.top, r.right, r.bottom});
}

void TNovuBase::InvalidateAll() {
  InvalidateRect({0, 0, width(), height()});
}

void TNovuBase::PaintDirty() {
  if (!IsVisible() || target_ == nullptr) return;
  render::TCustomDIBX& surface = *target_;
  for (const TClipRect& r : dirty_.Rects()) {
    surface.SetClipRect({r.left, r.top, r.right, r.bottom});
    Paint(surface);
  }
  surface.ResetClip();
}

void TNovuBase::DrawSelf(render::TCustomDIBX& surface) {
  if (color() < 0) return;
  render::Rect area = GetBoundsRect();
  if (const std::optional<render::Rect> clip = ClipRectOnScreen()) {
    area = render::Intersect(area, *clip);
  }
  if (surface.HasClip()) area = render::Intersect(area, surface.ClipRect());
  if (!area.IsEmpty()) surface.FillRect(area, static_cast<uint32_t>(surface.ColorToPixel(color())));
}

void TNovuBase::SetMousePosition(int32_t x, int32_t y) {
  if (x == input_.mouse_x && y == input_.mouse_y) return;
  input_.mouse_x = x;
  input_.mouse_y = y;
  mouse_.moved = true;
}

}  // namespace novu
