#include "objects/novu_base.h"

#include "render/custom_dibx.h"

namespace novu {

TNovuBase::TNovuBase(ObjectList* owner) : TNovuControl(owner) {}

void TNovuBase::Resize(int32_t width, int32_t height, int depth) {
  own_.SetSize(width, height, depth);
  SetBounds(0, 0, width, height);
}

void TNovuBase::InvalidateRect(const Rect& rect) {
  const Rect r = Intersect(rect, {0, 0, width(), height()});
  if (r.IsEmpty()) return;
  if (watcher_) watcher_(r);
  dirty_.Add(r);
}

void TNovuBase::InvalidateAll() {
  InvalidateRect({0, 0, width(), height()});
}

void TNovuBase::PaintDirty() {
  if (!IsVisible() || target_ == nullptr) return;
  render::TCustomDIBX& surface = *target_;
  for (const Rect& r : dirty_.Rects()) {
    surface.SetClipRect(r);
    Paint(surface);
  }
  surface.ResetClip();
}

void TNovuBase::DrawSelf(render::TCustomDIBX& surface) {
  if (color() < 0) return;
  Rect area = GetBoundsRect();
  if (const std::optional<Rect> clip = ClipRectOnScreen()) {
    area = Intersect(area, *clip);
  }
  if (surface.HasClip()) area = Intersect(area, surface.ClipRect());
  if (!area.IsEmpty()) surface.FillRect(area, static_cast<uint32_t>(surface.ColorToPixel(color())));
}

void TNovuBase::SetMousePosition(int32_t x, int32_t y) {
  if (x == input_.mouse_x && y == input_.mouse_y) return;
  input_.mouse_x = x;
  input_.mouse_y = y;
  mouse_.moved = true;
}

}  // namespace novu
