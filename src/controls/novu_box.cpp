#include "controls/novu_box.h"

#include "controls/alpha_code_fill.h"
#include "render/custom_dibx.h"

namespace novu {

void TNovuBox::DrawSelf(render::TCustomDIBX& surface) {
  if (!IsVisible() || !AlphaCodeDraws(alpha_)) return;
  const Rect rect = GetBoundsRect();
  if (border_width_ > 0 && border_colour_ != -1) {
    FrameByAlphaCode(surface, rect, border_width_, border_colour_, alpha_);
    const Rect inner = Grown(rect, -border_width_);
    if (color() != -1 && !inner.IsEmpty()) FillByAlphaCode(surface, inner, color(), alpha_);
  } else if (color() != -1) {
    FillByAlphaCode(surface, rect, color(), alpha_);
  }
}

void TNovuBox::SetDrawing(int32_t& field, int32_t value) {
  if (value == field) return;
  Invalidate();
  field = value;
  Invalidate();
}

const PropertyTable& TNovuBox::Table() {
  using R = PropertyRows<TNovuBox>;
  // Records from before version 104 end after the alpha.
  static const PropertyTable table(
      &TNovuControl::Table(),
      {
          R::Field(PR_BORDERWIDTH, &TNovuBox::border_width_).Set(&TNovuBox::SetBorderWidth),
          R::Field(PR_BORDERCOLOR, &TNovuBox::border_colour_).Set(&TNovuBox::SetBorderColour),
          R::Field(PR_ALPHA, &TNovuBox::alpha_).Set(&TNovuBox::SetAlpha),
          R::Field(PR_ONIDLE, &TNovuBox::on_idle_).Since(104),
          // Only a motion file gives a box a source; motions arrive with the film player.
          R::Field(PR_SOURCE, &TNovuBox::source_).Since(104),
          R::Field(PR_REPEAT, &TNovuBox::repeat_).Since(104),
          R::Field(PR_AUTOSCRAP, &TNovuBox::auto_scrap_).Since(104),
          R::Field(PR_ONPLAYEND, &TNovuBox::on_play_end_).Since(104),
          R::Field(PR_PAUSED, &TNovuBox::paused_).Since(104),
          // The animation pause once more, as the control answers it.
          R::Saved([](TNovuBox& b, Serializer& s) {
            bool paused = PropAsBool(b.GetProperty(PR_ANIPAUSED));
            s.Bool(paused);
            if (s.loading()) b.SetProperty(PR_ANIPAUSED, paused);
          }).Since(104),
      });
  return table;
}

}  // namespace novu
