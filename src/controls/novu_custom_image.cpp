#include "controls/novu_custom_image.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "controls/fipo_collection.h"

namespace novu {
namespace {

int32_t ClampZoom(int32_t zoom) {
  return zoom <= 0 ? 1 : zoom;
}

// A negative zoom from a save becomes 1 as through the setter; 0 stays the mark of an explicit
// size.
int32_t ZoomFromSave(int32_t zoom) {
  return zoom < 0 ? 1 : zoom;
}

// The picture's extent at a scale, 1/256 (integer division, as sizes are).
int32_t Scaled(int32_t size, int32_t scale) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{size} * scale / 256, 0, INT32_MAX));
}

}  // namespace

TNovuCustomImage::TNovuCustomImage(ObjectList* owner, ImageEnvironment env)
    : TNovuControl(owner), env_(env) {}

TNovuCustomImage::~TNovuCustomImage() = default;

render::TCustomDIBX* TNovuCustomImage::Picture() const {
  return shown_ != nullptr ? shown_ : own_.get();
}

render::TCustomDIBX* TNovuCustomImage::PictureMask() const {
  return shown_mask_;
}

void TNovuCustomImage::SetShown(render::TCustomDIBX* surface, render::TCustomDIBX* mask) {
  shown_ = surface;
  shown_mask_ = mask;
}

render::TDIBX& TNovuCustomImage::OwnSurface() {
  if (own_ == nullptr) {
    own_ = std::make_unique<render::TDIBX>();
    own_->SetSize(1, 1, env_.cache != nullptr ? env_.cache->depth() : 32);
  }
  return *own_;
}

std::optional<Point> TNovuCustomImage::PictureSize() const {
  const render::TCustomDIBX* picture = Picture();
  if (picture == nullptr) return std::nullopt;
  return Point{picture->Width(), picture->Height()};
}

int32_t TNovuCustomImage::ScaleX() const {
  if (zoom_x_ > 0) return zoom_x_;
  const render::TCustomDIBX* picture = Picture();
  if (picture == nullptr || picture->Width() < 1) return 256;
  return static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{width()} * 256 / picture->Width(), 1, INT32_MAX));
}

int32_t TNovuCustomImage::ScaleY() const {
  if (zoom_y_ > 0) return zoom_y_;
  const render::TCustomDIBX* picture = Picture();
  if (picture == nullptr || picture->Height() < 1) return 256;
  return static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{height()} * 256 / picture->Height(), 1, INT32_MAX));
}

// --- setters ---

void TNovuCustomImage::SetAlpha(int32_t alpha) {
  if (alpha == alpha_) return;
  Invalidate();
  alpha_ = alpha;
  Invalidate();
}

void TNovuCustomImage::MarkSizeDirty() {
  size_dirty_ = true;
}

void TNovuCustomImage::ZoomChanged() {
  MarkSizeDirty();
  for (const auto& child : children()) {
    if (auto* image = dynamic_cast<TNovuCustomImage*>(child.get()); image && image->pos_zoomed()) {
      image->MarkSizeDirty();
    }
  }
}

void TNovuCustomImage::SetZoomX(int32_t zoom) {
  zoom = ClampZoom(zoom);
  if (zoom == zoom_x_) return;
  Invalidate();
  zoom_x_ = zoom;
  ZoomChanged();
}

void TNovuCustomImage::SetZoomY(int32_t zoom) {
  zoom = ClampZoom(zoom);
  if (zoom == zoom_y_) return;
  Invalidate();
  zoom_y_ = zoom;
  ZoomChanged();
}

void TNovuCustomImage::SetAngle(int32_t angle) {
  if (angle == angle_) return;
  Invalidate();
  angle_ = angle;
  Invalidate();
}

void TNovuCustomImage::SetFlipH(bool flip) {
  if (flip == flip_h_) return;
  Invalidate();
  flip_h_ = flip;
  MarkSizeDirty();
  Invalidate();
}

void TNovuCustomImage::SetFlipV(bool flip) {
  if (flip == flip_v_) return;
  Invalidate();
  flip_v_ = flip;
  MarkSizeDirty();
  Invalidate();
}

// --- size ---

void TNovuCustomImage::RecomputeSize() {
  size_dirty_ = false;
  if (GetMotion() != nullptr || !SizeFollowsPicture()) return;
  const render::TCustomDIBX* picture = Picture();
  if (!HasPictureSource() || picture == nullptr) {
    if (width() != 0 || height() != 0) SetBounds(left(), top(), 0, 0);
    return;
  }
  // A zoom stored as 0 keeps the size a script set explicitly.
  const int32_t w =
      PosZoomedExtent(false).value_or(zoom_x_ > 0 ? Scaled(picture->Width(), zoom_x_) : width());
  const int32_t h =
      PosZoomedExtent(true).value_or(zoom_y_ > 0 ? Scaled(picture->Height(), zoom_y_) : height());
  if (w != width()) SetWidth(w);
  if (h != height()) SetHeight(h);
}

// On a zoomed parent picture of the same zoom, a control placed in the parent's picture pixels
// takes its edges from the parent's real scale, so both fall on the same screen pixels. A
// parent without width has no scale to follow.
std::optional<int32_t> TNovuCustomImage::PosZoomedExtent(bool vertical) const {
  if (!pos_zoomed() || GetMotion() != nullptr) return std::nullopt;
  const auto* parent = dynamic_cast<const TNovuCustomImage*>(GetParent());
  if (parent == nullptr || parent->IsBase()) return std::nullopt;
  const render::TCustomDIBX* own = Picture();
  const render::TCustomDIBX* theirs = parent->Picture();
  if (own == nullptr || theirs == nullptr) return std::nullopt;
  const PropId zoom = vertical ? PR_ZOOMY : PR_ZOOMX;
  if (PropAsInt(parent->GetProperty(zoom)) != PropAsInt(GetProperty(zoom))) return std::nullopt;
  const int64_t parent_extent = vertical ? parent->height() : parent->width();
  if (parent_extent < 1) return std::nullopt;
  const int64_t parent_picture = vertical ? theirs->Height() : theirs->Width();
  const int64_t picture = vertical ? own->Height() : own->Width();
  const int64_t place = vertical ? top() : left();
  const int64_t offset = vertical ? offset_y() : offset_x();
  const bool flip = vertical ? flip_v_ : flip_h_;
  const int64_t f = std::max<int64_t>(1, parent_picture * 65536 / parent_extent);
  const int64_t near = flip ? parent_picture + offset - place - picture : place - offset;
  const int64_t far = flip ? parent_picture + offset - place : picture + place - offset;
  const auto rounded = [f](int64_t v) {
    const int64_t scaled = v * 65536;
    int64_t q = scaled / f;
    const int64_t r = scaled % f;
    if (r > 0x7FFF) ++q;
    return q;
  };
  const auto rounded_up = [f](int64_t v) {
    const int64_t scaled = v * 65536;
    return scaled / f + (scaled % f > 0 ? 1 : 0);
  };
  return static_cast<int32_t>(std::clamp<int64_t>(rounded_up(far) - rounded(near), 0, INT32_MAX));
}

int32_t TNovuCustomImage::Update() {
  const int32_t result = TNovuControl::Update();
  if (size_dirty_) RecomputeSize();
  return result;
}

// --- drawing ---

void TNovuCustomImage::DrawSelf(render::TCustomDIBX& surface) {
  if (GetMotion() != nullptr) return;
  const render::TCustomDIBX* picture = Picture();
  if (picture == nullptr || picture->IsEmpty()) return;
  DrawPicture(surface);
}

void TNovuCustomImage::DrawAt(render::TCustomDIBX& surface, int32_t x, int32_t y,
                              const render::TCustomDIBX& picture, const render::TCustomDIBX* mask,
                              const Rect& src) const {
  surface.DrawWithAlphaCode(x, y, alpha_, mask, PictureOptions(), src, picture);
}

void TNovuCustomImage::DrawPicture(render::TCustomDIBX& surface) {
  render::TCustomDIBX& picture = *Picture();
  const render::TCustomDIBX* mask = PictureMask();
  if (!AlphaDraws(alpha_) || width() < 1 || height() < 1) return;
  if (angle_ != 0) {
    DrawRotated(surface, picture, mask);
  } else if (width() == picture.Width() && height() == picture.Height()) {
    DrawUnscaled(surface, picture, mask);
  } else {
    DrawStretched(surface, picture, mask);
  }
}

// The picture turns about its centre, which stays at the centre of the control.
render::RotateGeometry TNovuCustomImage::Rotation(const render::TCustomDIBX& picture) const {
  const Rect area = TNovuControl::GetBoundsRect();
  render::RotateGeometry g;
  g.x = area.left + area.Width() / 2;
  g.y = area.top + area.Height() / 2;
  g.pivot_x = picture.Width() / 2;
  g.pivot_y = picture.Height() / 2;
  g.angle = angle_;
  g.zoom_x = ScaleX();
  g.zoom_y = ScaleY();
  g.src_rect = Rect{0, 0, picture.Width(), picture.Height()};
  g.flip_h = flip_h_;
  g.flip_v = flip_v_;
  return g;
}

Rect TNovuCustomImage::GetBoundsRect() const {
  const Rect area = TNovuControl::GetBoundsRect();
  const render::TCustomDIBX* picture = Picture();
  if (angle_ == 0 || picture == nullptr || picture->IsEmpty() || area.IsEmpty()) return area;
  const Rect turned = render::RotatedBounds(Rotation(*picture));
  return turned.IsEmpty() ? area : Union(area, turned);
}

void TNovuCustomImage::DrawRotated(render::TCustomDIBX& surface, const render::TCustomDIBX& picture,
                                   const render::TCustomDIBX* mask) const {
  const render::RotateGeometry g = Rotation(picture);
  if (mask != nullptr) {
    surface.DrawRotateMasked(g.x, g.y, alpha_, *mask, PictureOptions().flips(), angle_, g.pivot_y,
                             g.pivot_x, g.src_rect, picture, g.zoom_y, g.zoom_x);
  } else {
    surface.DrawRotate(g.x, g.y, alpha_, PictureOptions(), angle_, g.pivot_y, g.pivot_x, g.src_rect,
                       picture, g.zoom_y, g.zoom_x);
  }
}

void TNovuCustomImage::DrawStretched(render::TCustomDIBX& surface,
                                     const render::TCustomDIBX& picture,
                                     const render::TCustomDIBX* mask) const {
  const Rect dest = GetBoundsRect();
  const Rect src{0, 0, picture.Width(), picture.Height()};
  if (alpha_ <= 255) {
    if (mask != nullptr) {
      surface.StretchDrawMasked(dest, picture, alpha_, *mask, PictureOptions().flips(), src);
    } else {
      surface.StretchDraw(dest, picture, alpha_, PictureOptions(), src);
    }
  } else if (mask != nullptr) {
    surface.StretchDrawAddMasked(dest, picture, alpha_ - 256, *mask, PictureOptions().flips(), src);
  } else {
    surface.StretchDrawAdd(dest, picture, alpha_ - 256, PictureOptions(), src);
  }
}

// A picture with draw regions is drawn once per region, each with the clip narrowed to the
// region (mirrored with the picture) so only those parts reach the surface.
void TNovuCustomImage::DrawUnscaled(render::TCustomDIBX& surface, render::TCustomDIBX& picture,
                                    const render::TCustomDIBX* mask) const {
  const int32_t x = ScreenX();
  const int32_t y = ScreenY();
  const Rect src{0, 0, picture.Width(), picture.Height()};
  const std::vector<Rect>& regions = picture.DrawRegions();
  if (regions.empty()) {
    DrawAt(surface, x, y, picture, mask, src);
    return;
  }
  const Rect saved = surface.ClipRect();
  const bool had_clip = surface.HasClip();
  const Rect outer = surface.DrawableRect();
  for (const Rect& region : regions) {
    const int32_t rl = flip_h_ ? picture.Width() - region.right : region.left;
    const int32_t rt = flip_v_ ? picture.Height() - region.bottom : region.top;
    const Rect placed = Intersect(MakeRect(x + rl, y + rt, region.Width(), region.Height()), outer);
    if (placed.IsEmpty()) continue;
    surface.SetClipRect(placed);
    DrawAt(surface, x, y, picture, mask, src);
  }
  surface.RestoreClip(saved, had_clip);
}

// --- hit testing ---

bool TNovuCustomImage::MaskHits(Point screen) const {
  const render::TCustomDIBX* mask = PictureMask();
  if (!capture_mask_ || mask == nullptr) return true;
  // The real scale: with an explicit size the zoom is stored as 0 and must not divide.
  int64_t u = (int64_t{screen.x} - ScreenX()) * 256 / ScaleX();
  int64_t v = (int64_t{screen.y} - ScreenY()) * 256 / ScaleY();
  if (flip_h_) u = mask->Width() - u - 1;
  if (flip_v_) v = mask->Height() - v - 1;
  if (u < 0 || v < 0 || u >= mask->Width() || v >= mask->Height()) return false;
  return mask->GetPixel(static_cast<int>(u), static_cast<int>(v)) > 127;
}

TNovuControl* TNovuCustomImage::HitTest(Point screen, MouseModeSet accepted) {
  if (!IsVisible() || !GetBoundsRect().Contains(screen.x, screen.y)) return nullptr;
  const Rect area = TNovuControl::GetBoundsRect();
  for (auto it = children().rbegin(); it != children().rend(); ++it) {
    TNovuControl* c = (*it)->AsControl();
    if (c == nullptr) continue;
    if (TNovuControl* deeper = c->HitTest(screen, accepted)) return deeper;
  }
  if (!accepted.Contains(mouse_mode())) return nullptr;
  Point p = screen;
  if (angle_ != 0) {
    // Turned back about the centre the picture was turned about.
    const double cx = area.left + area.Width() / 2;
    const double cy = area.top + area.Height() / 2;
    const double a = -angle_ * 2.0 * std::numbers::pi / 256.0;
    const double dx = screen.x - cx;
    const double dy = screen.y - cy;
    p.x = static_cast<int32_t>(std::lround(cx + dx * std::cos(a) - dy * std::sin(a)));
    p.y = static_cast<int32_t>(std::lround(cy + dx * std::sin(a) + dy * std::cos(a)));
  }
  if (!area.Contains(p.x, p.y)) return nullptr;
  return MaskHits(p) ? this : nullptr;
}

// --- properties ---

void TNovuCustomImage::SetExplicitExtent(bool vertical, int32_t extent) {
  // A picture whose size follows its zoom takes an explicit size instead; a tile's size never
  // does, so its zoom stays.
  if (GetMotion() == nullptr && SizeFollowsPicture()) (vertical ? zoom_y_ : zoom_x_) = 0;
  if (vertical) {
    SetHeight(extent);
  } else {
    SetWidth(extent);
  }
}

// Records before version 104 keep one zoom for both axes.
const PropertyTable& TNovuCustomImage::Table() {
  using R = PropertyRows<TNovuCustomImage>;
  static const PropertyTable table(
      &TNovuControl::Table(),
      {
          R::Override(PR_WIDTH).Set([](TNovuCustomImage& c, const PropValue& v) {
            c.SetExplicitExtent(false, PropAsInt(v));
          }),
          R::Override(PR_HEIGHT).Set([](TNovuCustomImage& c, const PropValue& v) {
            c.SetExplicitExtent(true, PropAsInt(v));
          }),
          R::Override(PR_POSZOOMED).Set([](TNovuCustomImage& c, const PropValue& v) {
            c.SetPosZoomed(PropAsBool(v));
            c.ZoomChanged();
          }),
          R::Answer(PR_ORIGWIDTH,
                    [](const TNovuCustomImage& c) {
                      const render::TCustomDIBX* picture = c.Picture();
                      return picture != nullptr ? picture->Width() : 0;
                    }),
          R::Answer(PR_ORIGHEIGHT,
                    [](const TNovuCustomImage& c) {
                      const render::TCustomDIBX* picture = c.Picture();
                      return picture != nullptr ? picture->Height() : 0;
                    }),
          R::Field(PR_ALPHA, &TNovuCustomImage::alpha_).Set(&TNovuCustomImage::SetAlpha),
          R::Field(PR_ZOOMX, &TNovuCustomImage::zoom_x_)
              .Get([](const TNovuCustomImage& c) { return c.ScaleX(); })
              .Set(&TNovuCustomImage::SetZoomX)
              .Save([](TNovuCustomImage& c, Serializer& s) {
                s.I32(c.zoom_x_);
                if (s.loading()) c.zoom_x_ = ZoomFromSave(c.zoom_x_);
              }),
          R::Field(PR_ANGLE, &TNovuCustomImage::angle_).Set(&TNovuCustomImage::SetAngle),
          R::Field(PR_FLIPH, &TNovuCustomImage::flip_h_).Set(&TNovuCustomImage::SetFlipH),
          R::Field(PR_FLIPV, &TNovuCustomImage::flip_v_).Set(&TNovuCustomImage::SetFlipV),
          R::Field(PR_CAPTUREMASK, &TNovuCustomImage::capture_mask_),
          R::Field(PR_ZOOMY, &TNovuCustomImage::zoom_y_)
              .Get([](const TNovuCustomImage& c) { return c.ScaleY(); })
              .Set(&TNovuCustomImage::SetZoomY)
              .Save([](TNovuCustomImage& c, Serializer& s) {
                if (s.Has(104)) {
                  s.I32(c.zoom_y_);
                  if (s.loading()) c.zoom_y_ = ZoomFromSave(c.zoom_y_);
                } else {
                  c.zoom_y_ = c.zoom_x_;
                }
              }),
      });
  return table;
}

// --- TNovuImage ---

bool TNovuImage::HasPictureSource() const {
  return !source_.empty() || TNovuCustomImage::HasPictureSource();
}

void TNovuImage::SetSource(std::string_view name) {
  if (name == source_) return;
  source_ = name;
  Reload();
}

void TNovuImage::SetBrightness(int32_t brightness) {
  brightness = std::clamp(brightness, 0, 255);
  if (brightness == brightness_) return;
  brightness_ = brightness;
  Reload();
}

void TNovuImage::Reload() {
  Invalidate();
  if (source_.empty() || env_.cache == nullptr) {
    DropOwnSurface();
  } else {
    TFipoItem* item = env_.cache->Acquire(this, source_, false, false);
    render::TDIBX& own = OwnSurface();
    if (TFipoItemFrame* frame = item->Frame(0)) {
      const render::TDIBX& picture = *frame->surface;
      own.SetSize(picture.Width(), picture.Height(), picture.BitCount());
      own.Draw(0, 0, {}, Rect{0, 0, picture.Width(), picture.Height()}, picture);
      own.SetKeyColor(picture.KeyColor());
      if (brightness_ < 255) {
        const int32_t level = 255 - brightness_;
        own.SubRect(Rect{0, 0, own.Width(), own.Height()},
                    static_cast<uint32_t>(own.ColorToPixel(level | level << 8 | level << 16)));
      }
    }
    env_.cache->Release(item, this);
  }
  const render::TCustomDIBX* picture = Picture();
  if (picture != nullptr && GetMotion() == nullptr) {
    SetWidth(Scaled(picture->Width(), ScaleX()));
    SetHeight(Scaled(picture->Height(), ScaleY()));
  }
  Invalidate();
}

const PropertyTable& TNovuImage::Table() {
  using R = PropertyRows<TNovuImage>;
  // The still picture is never saved: its properties add nothing to the record.
  static const PropertyTable table(
      &TNovuCustomImage::Table(),
      {
          R::Field(PR_SOURCE, &TNovuImage::source_).Set(&TNovuImage::SetSource).NotSaved(),
          R::Field(PR_BRIGHTNESS, &TNovuImage::brightness_)
              .Set(&TNovuImage::SetBrightness)
              .NotSaved(),
      });
  return table;
}

}  // namespace novu
