#include "controls/novu_tile.h"

#include <algorithm>

#include "core/binary_reader.h"
#include "core/binary_writer.h"

namespace novu {

TNovuTile::TNovuTile(ObjectList* owner, ImageEnvironment env)
    : TNovuCustomImages(owner, env), list_(std::make_unique<TNovuImageList>(env.cache)) {}

void TNovuTile::SetSource(std::string_view name) {
  if (name == source_) return;
  DropPicture();
  source_ = name;
  LoadSource(*list_, name);
  Invalidate();
}

void TNovuTile::SetScrollOrDistance(int32_t& field, int32_t value) {
  if (value == field) return;
  Invalidate();
  field = value;
  Invalidate();
}

// Copies follow each other at the pitch (the picture's size, or a larger distance) from the
// scroll phase on; zoom scales both the copies and the pitch.
void TNovuTile::DrawPicture(render::TCustomDIBX& surface) {
  render::TCustomDIBX* picture = Picture();
  const int32_t scale_x = ScaleX();
  const int32_t scale_y = ScaleY();
  if (picture == nullptr || picture->IsEmpty() || !AlphaDraws(alpha()) || width() < 1 ||
      height() < 1 || scale_x < 1 || scale_y < 1) {
    return;
  }
  const int32_t pitch_x = std::max(picture->Width(), distance_x_);
  const int32_t pitch_y = std::max(picture->Height(), distance_y_);
  const render::Rect rect = GetBoundsRect();
  const render::Rect src{0, 0, picture->Width(), picture->Height()};
  const render::TCustomDIBX* mask = PictureMask();
  if (mask != nullptr) {
    surface.TileStretchMasked(rect, pitch_x, scroll_y_, scroll_x_, alpha(), flip_v(), flip_h(),
                              *mask, src, *picture, scale_y, scale_x, pitch_y);
  } else {
    surface.TileStretch(rect, pitch_x, scroll_y_, scroll_x_, alpha(), flip_v(), flip_h(), true, src,
                        *picture, scale_y, scale_x, pitch_y);
  }
}

PropValue TNovuTile::GetProperty(PropId id) const {
  switch (id) {
    case PR_COMPOTYPE:
      return int32_t{LT_TILE};
    case PR_ONIDLE:
      return on_idle_;
    case PR_DISTANCEX:
      return distance_x_;
    case PR_DISTANCEY:
      return distance_y_;
    case PR_SOURCE:
      return source_;
    case PR_REPEAT:
      return true;
    case PR_SCROLLX:
      return scroll_x_;
    case PR_SCROLLY:
      return scroll_y_;
    default:
      return TNovuCustomImages::GetProperty(id);
  }
}

void TNovuTile::SetProperty(PropId id, const PropValue& value) {
  switch (id) {
    case PR_ONIDLE:
      on_idle_ = PropAsStr(value);
      break;
    case PR_DISTANCEX:
      SetScrollOrDistance(distance_x_, PropAsInt(value));
      break;
    case PR_DISTANCEY:
      SetScrollOrDistance(distance_y_, PropAsInt(value));
      break;
    case PR_SOURCE:
      SetSource(PropAsStr(value));
      break;
    case PR_REPEAT:
      break;  // always on
    case PR_SCROLLX:
      SetScrollOrDistance(scroll_x_, PropAsInt(value));
      break;
    case PR_SCROLLY:
      SetScrollOrDistance(scroll_y_, PropAsInt(value));
      break;
    default:
      TNovuCustomImages::SetProperty(id, value);
      break;
  }
}

void TNovuTile::SaveToStream(BinaryWriter& out) const {
  TNovuCustomImages::SaveToStream(out);
  out.I32(scroll_x_);
  out.I32(scroll_y_);
  out.String(source_);
  out.String(on_idle_);
  out.I32(distance_x_);
  out.I32(distance_y_);
}

void TNovuTile::LoadFromStream(BinaryReader& in, const ObjectLoadContext& context) {
  TNovuCustomImages::LoadFromStream(in, context);
  scroll_x_ = in.I32();
  scroll_y_ = in.I32();
  std::string source = in.String();
  on_idle_ = in.String();
  distance_x_ = in.I32();
  distance_y_ = in.I32();
  const int32_t saved_index = index();
  const int32_t saved_remaining = remaining();
  SetSource(source);
  SetIndex(saved_index);
  set_remaining(saved_remaining);
}

}  // namespace novu
