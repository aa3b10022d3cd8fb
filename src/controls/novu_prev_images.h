#pragma once
// TNovuPrevImages: one picture of a preview menu — an item or an item's overlay animation. A
// new picture starts from a plain look (no alpha, turn, zoom, mirroring or clip), and a picture
// that plays once tells its menu when it has played.
#include <functional>
#include <string_view>

#include "controls/novu_images.h"

namespace novu {

class TNovuPrevImages final : public TNovuImages {
 public:
  using Ended = std::function<void(TNovuPrevImages&)>;

  TNovuPrevImages(ObjectList* owner, ImageEnvironment env, Ended ended);

  void SetSource(std::string_view name) override;
  // Shows `name` from its first frame, repeating or once.
  void Start(std::string_view name, bool repeat);
  int32_t Update() override;

 protected:
  bool AutoName() const override { return false; }

 private:
  Ended ended_;
  bool reported_ = false;
};

}  // namespace novu
