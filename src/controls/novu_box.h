#pragma once
// TNovuBox (LT_BOX): a rectangle filled with the control's colour, with an optional border,
// drawn with the alpha rule (blend, copy or add).
#include <cstdint>
#include <string>

#include "objects/novu_control.h"

namespace novu {

class TNovuBox final : public TNovuControl {
 public:
  using TNovuControl::TNovuControl;

  ComponentType GetType() const override { return LT_BOX; }
  int32_t alpha() const { return alpha_; }

  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

 protected:
  void DrawSelf(render::TCustomDIBX& surface) override;

 private:
  void SetDrawing(int32_t& field, int32_t value);
  void SetBorderWidth(int32_t value) { SetDrawing(border_width_, value); }
  void SetBorderColour(int32_t value) { SetDrawing(border_colour_, value); }
  void SetAlpha(int32_t value) { SetDrawing(alpha_, value); }

  int32_t border_width_ = 0;
  int32_t border_colour_ = -1;
  int32_t alpha_ = 255;
  std::string on_idle_;
  std::string source_;
  bool repeat_ = false;
  bool auto_scrap_ = false;
  std::string on_play_end_;
  bool paused_ = false;
};

}  // namespace novu
