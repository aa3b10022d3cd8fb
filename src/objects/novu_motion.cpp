#include "objects/novu_motion.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "objects/novu_control.h"
#include "objects/object_list.h"

namespace novu {

TNovuFilmMotion::TNovuFilmMotion(TNovuControl& control, std::unique_ptr<MotionFilm> film)
    : control_(control), film_(std::move(film)) {}

void TNovuFilmMotion::Restart() {
  elapsed_ = 0;
  start_countdown_ = 2;
  frame_ = 0;
  first_ = true;
  finished_ = false;
}

int32_t TNovuFilmMotion::FrameForElapsed() {
  const int32_t length = film_->Length();
  const int64_t frame = std::llround(static_cast<double>(elapsed_) / kFrameMs);
  if (frame < length) return static_cast<int32_t>(frame);
  // A film without frames ends at once, repeating or not.
  const bool repeat = PropAsBool(control_.GetProperty(PR_REPEAT));
  if (repeat && length > 0) {
    const int64_t looped = std::min<int64_t>(frame % length + film_->LoopStart(), length - 1);
    const int32_t wrapped = static_cast<int32_t>(std::max<int64_t>(looped, 0));
    elapsed_ = static_cast<int32_t>(std::llround(wrapped * kFrameMs));
    return wrapped;
  }
  finished_ = true;
  return length - 1;
}

bool TNovuFilmMotion::Advance() {
  const int32_t x = control_.left();
  const int32_t y = control_.top();
  const bool moved = !first_ && (x != seen_x_ || y != seen_y_);
  if (moved && film_->IsRelative()) {
    film_->SetStartPosition(x, y);
    finished_ = false;
  }
  if (finished_) return false;
  if (first_) {
    if (film_->IsRelative()) {
      film_->SetStartPosition(x, y);
    } else {
      film_->SetStartPosition(0, 0);
    }
    film_->SetPriority(control_.priority());
  }
  const bool paused = PropAsBool(control_.GetProperty(PR_ANIPAUSED));
  if (!paused && start_countdown_ <= 0) {
    const int32_t delta = control_.owner() != nullptr ? control_.owner()->FrameDelta() : 0;
    const int64_t sum = int64_t{elapsed_} + std::max(delta, 0);
    elapsed_ = static_cast<int32_t>(std::min<int64_t>(sum, std::numeric_limits<int32_t>::max()));
  }
  const int32_t previous = frame_;
  const int32_t frame = FrameForElapsed();
  const bool ended = finished_;
  if (frame >= 0 && (frame != previous || first_ || moved)) film_->ApplyFrame(frame);
  frame_ = frame;
  if (start_countdown_ > 0) --start_countdown_;
  seen_x_ = x;
  seen_y_ = y;
  first_ = false;
  return ended;
}

}  // namespace novu
