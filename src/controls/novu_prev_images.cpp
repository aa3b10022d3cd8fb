#include "controls/novu_prev_images.h"

#include <utility>

namespace novu {

TNovuPrevImages::TNovuPrevImages(ObjectList* owner, ImageEnvironment env, Ended ended)
    : TNovuImages(owner, env), ended_(std::move(ended)) {}

void TNovuPrevImages::SetSource(std::string_view name) {
  SetAlpha(255);
  SetAngle(0);
  SetZoomX(256);
  SetZoomY(256);
  SetFlipH(false);
  SetFlipV(false);
  SetClip(0, 0, 0, 0);
  TNovuImages::SetSource(name);
}

void TNovuPrevImages::Start(std::string_view name, bool repeat) {
  if (name != source()) {
    SetSource(name);
  } else {
    SetIndex(-1);
    SetIndex(0);
  }
  SetRepeat(repeat);
  reported_ = false;
}

int32_t TNovuPrevImages::Update() {
  if (const int32_t result = TNovuImages::Update(); result != 0) return result;
  if (reported_ || PropAsBool(GetProperty(PR_REPEAT)) || !ended_) return 0;
  const int32_t count = FrameCount();
  const bool ended = count == 0 || (index() == count - 1 && remaining() < 1);
  if (ended) {
    reported_ = true;
    ended_(*this);  // may schedule this picture's deletion: nothing of it is used after
  }
  return 0;
}

}  // namespace novu
