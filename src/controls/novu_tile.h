#pragma once
// TNovuTile (LT_TILE): a picture repeated over the control's rectangle at a pitch, scrolled by
// a phase; it always repeats its frames and its size never follows the picture.
#include <cstdint>
#include <memory>
#include <string>

#include "controls/novu_images.h"

namespace novu {

class TNovuTile final : public TNovuCustomImages {
 public:
  TNovuTile(ObjectList* owner, ImageEnvironment env);

  ComponentType GetType() const override { return LT_TILE; }
  void SetSource(std::string_view name) override;

  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

 protected:
  TNovuImageList* ActiveList() const override { return list_.get(); }
  bool Repeats() const override { return true; }
  bool SizeFollowsPicture() const override { return false; }
  void DrawPicture(render::TCustomDIBX& surface) override;

 private:
  void SetScrollOrDistance(int32_t& field, int32_t value);

  std::unique_ptr<TNovuImageList> list_;
  std::string source_;
  std::string on_idle_;
  int32_t scroll_x_ = 0, scroll_y_ = 0;
  int32_t distance_x_ = 0, distance_y_ = 0;
};

}  // namespace novu
