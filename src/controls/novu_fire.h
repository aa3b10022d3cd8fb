#pragma once
// TNovuFire (LT_FIRE, command FireNew): a cellular fire of field width × field height cells,
// stepped every 40 ms and drawn additively through the fire palette, zoomed to the control.
#include <cstdint>
#include <string>

#include "controls/image_environment.h"
#include "objects/novu_control.h"
#include "render/fire_field.h"

namespace novu {

class TNovuFire final : public TNovuControl {
 public:
  static constexpr int32_t kStepMs = 40;

  TNovuFire(ObjectList* owner, ImageEnvironment env);

  ComponentType GetType() const override { return LT_FIRE; }
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }
  int32_t Update() override;
  void Paint(render::TCustomDIBX& surface) override;

  void SetPower(int32_t power);
  void SetFieldWidth(int32_t width);
  void SetFieldHeight(int32_t height);
  void SetZoomX(int32_t zoom);
  void SetZoomY(int32_t zoom);
  const render::FireField& field() const { return field_; }

 protected:
  void DrawSelf(render::TCustomDIBX& surface) override;

 private:
  void FollowSize();
  void Sync(Serializer& s);

  ImageEnvironment env_;
  render::FireField field_;
  int32_t power_ = 1;
  int32_t field_width_ = 0;
  int32_t field_height_ = 0;
  int32_t zoom_x_ = 256;
  int32_t zoom_y_ = 256;
  int32_t accumulator_ = 0;
  bool running_ = false;  // false: initialise at the next update
  bool paused_ = false;
  std::string on_idle_;
};

}  // namespace novu
