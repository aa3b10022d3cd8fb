#include "controls/novu_tile.h"

#include <algorithm>

#include "controls/film_manager.h"

namespace novu {

TNovuTile::TNovuTile(ObjectList* owner, ImageEnvironment env)
    : TNovuCustomImages(owner, env), list_(std::make_unique<TNovuImageList>(env.cache)) {}

void TNovuTile::SetSource(std::string_view name) {
  if (name == source_) return;
  DropPicture();
  source_ = name;
  if (IsMotionSource(name)) {
    SetMotion(MakeFilmMotion(*this, env_, name));
  } else {
    LoadSource(*list_, name);
  }
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
  const Rect rect = GetBoundsRect();
  const Rect src{0, 0, picture->Width(), picture->Height()};
  const render::TCustomDIBX* mask = PictureMask();
  if (mask != nullptr) {
    surface.TileStretchMasked(rect, pitch_x, scroll_y_, scroll_x_, alpha(),
                              PictureOptions().flips(), *mask, src, *picture, scale_y, scale_x,
                              pitch_y);
  } else {
    surface.TileStretch(rect, pitch_x, scroll_y_, scroll_x_, alpha(), PictureOptions(), src,
                        *picture, scale_y, scale_x, pitch_y);
  }
}

const PropertyTable& TNovuTile::Table() {
  using R = PropertyRows<TNovuTile>;
  const auto scroll_or_distance = [](int32_t TNovuTile::*field) {
    return [field](TNovuTile& t, const PropValue& v) {
      t.SetScrollOrDistance(t.*field, PropAsInt(v));
    };
  };
  static const PropertyTable table(
      &TNovuCustomImages::Table(),
      {
          R::Answer(PR_REPEAT, [](const TNovuTile&) { return true; }),  // always on
          R::Field(PR_SCROLLX, &TNovuTile::scroll_x_)
              .Set(scroll_or_distance(&TNovuTile::scroll_x_)),
          R::Field(PR_SCROLLY, &TNovuTile::scroll_y_)
              .Set(scroll_or_distance(&TNovuTile::scroll_y_)),
          R::Field(PR_SOURCE, &TNovuTile::source_)
              .Set(&TNovuTile::SetSource)
              .Save([](TNovuTile& t, Serializer& s) { t.SyncSource(t.source_, s); }),
          R::Field(PR_ONIDLE, &TNovuTile::on_idle_),
          R::Field(PR_DISTANCEX, &TNovuTile::distance_x_)
              .Set(scroll_or_distance(&TNovuTile::distance_x_)),
          R::Field(PR_DISTANCEY, &TNovuTile::distance_y_)
              .Set(scroll_or_distance(&TNovuTile::distance_y_)),
      });
  return table;
}

}  // namespace novu
