#include "controls/novu_fire.h"

#include <algorithm>

#include "core/process_state.h"
#include "objects/object_list.h"
#include "render/custom_dibx.h"

namespace novu {
namespace {

int32_t Zoomed(int32_t extent, int32_t zoom) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{extent} * zoom / 256, 0, INT32_MAX));
}

const std::array<uint32_t, 256>& Pixels32() {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    std::copy(render::FirePalette().begin(), render::FirePalette().end(), t.begin());
    return t;
  }();
  return table;
}

}  // namespace

TNovuFire::TNovuFire(ObjectList* owner, ImageEnvironment env) : TNovuControl(owner), env_(env) {}

void TNovuFire::SetPower(int32_t power) {
  power_ = std::clamp(power, 0, 255);
  field_.SetDecay(render::FireDecayDivisor(power_));
}

void TNovuFire::FollowSize() {
  SetBounds(left(), top(), Zoomed(field_width_, zoom_x_), Zoomed(field_height_, zoom_y_));
}

void TNovuFire::SetFieldWidth(int32_t width) {
  Invalidate();
  field_width_ = std::max(width, 0);
  FollowSize();
  running_ = false;
}

void TNovuFire::SetFieldHeight(int32_t height) {
  Invalidate();
  field_height_ = std::max(height, 0);
  FollowSize();
  running_ = false;
}

void TNovuFire::SetZoomX(int32_t zoom) {
  zoom_x_ = zoom <= 0 ? 1 : zoom;
  FollowSize();
}

void TNovuFire::SetZoomY(int32_t zoom) {
  zoom_y_ = zoom <= 0 ? 1 : zoom;
  FollowSize();
}

int32_t TNovuFire::Update() {
  if (const int32_t result = TNovuControl::Update(); result != 0) return result;
  if (!running_) {
    ProcessRandom fallback;
    ProcessRandom& random =
        env_.state != nullptr ? const_cast<ProcessState*>(env_.state)->random : fallback;
    field_.Reset(field_width_, field_height_, random);
    running_ = true;
    return 0;
  }
  if (paused_ || PropAsBool(GetProperty(PR_ANIPAUSED))) return 0;
  const int32_t elapsed = owner() != nullptr ? std::max(owner()->FrameDelta(), 0) : 0;
  accumulator_ =
      static_cast<int32_t>(std::min<int64_t>(int64_t{accumulator_} + elapsed, INT32_MAX));
  if (accumulator_ > kStepMs - 1) {
    accumulator_ %= kStepMs;
    field_.Step();
    Invalidate();
  }
  return 0;
}

void TNovuFire::Paint(render::TCustomDIBX& surface) {
  if (!IsVisible()) return;  // not even the children
  TNovuControl::Paint(surface);
}

void TNovuFire::DrawSelf(render::TCustomDIBX& surface) {
  const render::TDIBSurface& heat = field_.heat();
  if (field_.width() == 0 || field_.height() == 0) return;
  static const std::array<uint32_t, 256> k16 = render::FirePixels16(false);
  static const std::array<uint32_t, 256> k15 = render::FirePixels16(true);
  std::span<const uint32_t> table;
  switch (surface.BitCount()) {
    case 15:
      table = k15;
      break;
    case 16:
      table = k16;
      break;
    case 32:
      table = Pixels32();
      break;
    default:
      return;
  }
  constexpr int kLowestDrawn = render::FireField::kCold + 1;
  const Rect source{0, 0, heat.Width(), heat.Height()};
  if (zoom_x_ == 256 && zoom_y_ == 256) {
    surface.DrawIndexedAdd(ScreenX(), ScreenY(), table, 255, {}, kLowestDrawn, source, heat);
  } else {
    surface.StretchDrawIndexed(GetBoundsRect(), heat, table, 255, {}, kLowestDrawn, source);
  }
}

void TNovuFire::Sync(Serializer& s) {
  int32_t power = power_;
  int32_t zoom_x = zoom_x_;
  int32_t zoom_y = zoom_y_;
  s.I32(power);
  s.I32(field_width_);
  s.I32(field_height_);
  s.I32(zoom_x);
  if (s.Has(104)) {
    s.String(on_idle_);
    s.Bool(paused_);
    s.I32(zoom_y);
  }
  if (s.loading()) {
    // Through the setters: the decay table, the zooms and the size follow; negative field
    // sizes read as empty.
    SetPower(power);
    field_width_ = std::max(field_width_, 0);
    field_height_ = std::max(field_height_, 0);
    SetZoomX(zoom_x);
    SetZoomY(s.Has(104) ? zoom_y : zoom_y_);
    running_ = false;
  }
}

const PropertyTable& TNovuFire::Table() {
  using R = PropertyRows<TNovuFire>;
  static const PropertyTable table(
      &TNovuControl::Table(),
      {
          R::Field(PR_POWER, &TNovuFire::power_).Set(&TNovuFire::SetPower).NotSaved(),
          R::Field(PR_ORIGWIDTH, &TNovuFire::field_width_)
              .Set(&TNovuFire::SetFieldWidth)
              .NotSaved(),
          R::Field(PR_ORIGHEIGHT, &TNovuFire::field_height_)
              .Set(&TNovuFire::SetFieldHeight)
              .NotSaved(),
          R::Field(PR_ZOOMX, &TNovuFire::zoom_x_).Set(&TNovuFire::SetZoomX).NotSaved(),
          R::Field(PR_ZOOMY, &TNovuFire::zoom_y_).Set(&TNovuFire::SetZoomY).NotSaved(),
          R::Field(PR_PAUSED, &TNovuFire::paused_).NotSaved(),
          R::Field(PR_ONIDLE, &TNovuFire::on_idle_).NotSaved(),
          R::Override(PR_WIDTH).Set([](TNovuFire&, const PropValue&) {}),
          R::Override(PR_HEIGHT).Set([](TNovuFire&, const PropValue&) {}),
          R::Answer(PR_PLAYING,
                    [](const TNovuFire& f) {
                      return !f.paused_ && !PropAsBool(f.GetProperty(PR_ANIPAUSED));
                    }),
          R::Saved([](TNovuFire& f, Serializer& s) { f.Sync(s); }),
      });
  return table;
}

}  // namespace novu
