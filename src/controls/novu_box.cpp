#include "controls/novu_box.h"

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "render/custom_dibx.h"

namespace novu {
namespace {

using render::Rect;

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
    const Rect inner{rect.left + border_width_, rect.top + border_width_,
                     rect.right - border_width_, rect.bottom - border_width_};
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

PropValue TNovuBox::GetProperty(PropId id) const {
  switch (id) {
    case PR_COMPOTYPE:
      return int32_t{LT_BOX};
    case PR_AUTOSCRAP:
      return auto_scrap_;
    case PR_ONIDLE:
      return on_idle_;
    case PR_BORDERWIDTH:
      return border_width_;
    case PR_BORDERCOLOR:
      return border_colour_;
    case PR_SOURCE:
      return source_;
    case PR_ALPHA:
      return alpha_;
    case PR_REPEAT:
      return repeat_;
    case PR_PAUSED:
      return paused_;
    case PR_ONPLAYEND:
      return on_play_end_;
    default:
      return TNovuControl::GetProperty(id);
  }
}

void TNovuBox::SetProperty(PropId id, const PropValue& value) {
  switch (id) {
    case PR_AUTOSCRAP:
      auto_scrap_ = PropAsBool(value);
      break;
    case PR_ONIDLE:
      on_idle_ = PropAsStr(value);
      break;
    case PR_BORDERWIDTH:
      SetDrawing(border_width_, PropAsInt(value));
      break;
    case PR_BORDERCOLOR:
      SetDrawing(border_colour_, PropAsInt(value));
      break;
    case PR_SOURCE:
      // Only a motion file gives a box a source; motions arrive with the film player.
      source_ = PropAsStr(value);
      break;
    case PR_ALPHA:
      SetDrawing(alpha_, PropAsInt(value));
      break;
    case PR_REPEAT:
      repeat_ = PropAsBool(value);
      break;
    case PR_PAUSED:
      paused_ = PropAsBool(value);
      break;
    case PR_ONPLAYEND:
      on_play_end_ = PropAsStr(value);
      break;
    default:
      TNovuControl::SetProperty(id, value);
      break;
  }
}

void TNovuBox::SaveToStream(BinaryWriter& out) const {
  TNovuControl::SaveToStream(out);
  out.I32(border_width_);
  out.I32(border_colour_);
  out.I32(alpha_);
  out.String(on_idle_);
  out.String(source_);
  out.Bool(repeat_);
  out.Bool(auto_scrap_);
  out.String(on_play_end_);
  out.Bool(paused_);
  out.Bool(PropAsBool(GetProperty(PR_ANIPAUSED)));
}

void TNovuBox::LoadFromStream(BinaryReader& in, const ObjectLoadContext& context) {
  TNovuControl::LoadFromStream(in, context);
  border_width_ = in.I32();
  border_colour_ = in.I32();
  alpha_ = in.I32();
  if (context.version <= 103) return;
  on_idle_ = in.String();
  source_ = in.String();
  repeat_ = in.Bool();
  auto_scrap_ = in.Bool();
  on_play_end_ = in.String();
  paused_ = in.Bool();
  TNovuControl::SetProperty(PR_ANIPAUSED, in.Bool());
}

}  // namespace novu
