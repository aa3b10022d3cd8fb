#include "controls/novu_box.h"

#include "render/custom_dibx.h"

namespace novu {
namespace {

// A colour scaled per channel by k/256, for the additive alpha codes.
int32_t ScaleColour(int32_t colour, int32_t k) {
  int32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int32_t channel = (colour >> shift) & 0xff;
    out |= ((channel * k) >> 8) << shift;
  }
  return out;
}

bool AlphaDraws(int32_t alpha) {
  return alpha > 0 && alpha < 512;
}

}  // namespace

void TNovuBox::FillArea(render::TCustomDIBX& surface, const Rect& rect, int32_t colour) const {
  if (alpha_ < 255) {
    surface.BlendRect(rect, static_cast<uint32_t>(surface.ColorToPixel(colour)), alpha_);
  } else if (alpha_ == 255) {
    surface.FillRect(rect, static_cast<uint32_t>(surface.ColorToPixel(colour)));
  } else {
    surface.AddRect(rect,
                    static_cast<uint32_t>(surface.ColorToPixel(ScaleColour(colour, alpha_ - 256))));
  }
}

void TNovuBox::FrameArea(render::TCustomDIBX& surface, const Rect& rect, int32_t colour) const {
  if (alpha_ < 255) {
    surface.BlendFrame(rect, border_width_, alpha_,
                       static_cast<uint32_t>(surface.ColorToPixel(colour)));
  } else if (alpha_ == 255) {
    surface.FrameRect(rect, border_width_, static_cast<uint32_t>(surface.ColorToPixel(colour)));
  } else {
    surface.AddFrame(
        rect, border_width_,
        static_cast<uint32_t>(surface.ColorToPixel(ScaleColour(colour, alpha_ - 256))));
  }
}

void TNovuBox::DrawSelf(render::TCustomDIBX& surface) {
  if (!IsVisible() || !AlphaDraws(alpha_)) return;
  const Rect rect = GetBoundsRect();
  if (border_width_ > 0 && border_colour_ != -1) {
    FrameArea(surface, rect, border_colour_);
    const Rect inner = Grown(rect, -border_width_);
    if (color() != -1 && !inner.IsEmpty()) FillArea(surface, inner, color());
  } else if (color() != -1) {
    FillArea(surface, rect, color());
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
