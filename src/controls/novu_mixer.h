#pragma once
// Fades: a TNovuMixer moves the volume of one media item from a start level to a target level
// over a duration on the game clock. Levels are hundredths of a decibel (-10000 silent). Outside
// MIDI only half the decibel range is glided through, the audible half: a fade-out glides from S
// to halfway and drops to silence when the time is up, a fade-in starts halfway.
#include <algorithm>
#include <cstdint>

#include "media/media_item.h"

namespace novu {

inline constexpr int32_t kSilentLevel = -10000;

class TNovuMixer {
 public:
  TNovuMixer(media::TDMediaItem* item, int32_t duration) : item_(item), duration_(duration) {}
  virtual ~TNovuMixer() = default;

  // One step at game time `now`; true when the fade is done. The first step starts the fade.
  virtual bool Step(int32_t /*now*/) { return false; }
  int32_t Level(int32_t now) const;
  bool started() const { return started_; }

 protected:
  // True once `now` is at or past the end (a duration of 0 or less ends at once).
  bool Over(int32_t now) const;

  media::TDMediaItem* item_;
  int32_t start_time_ = 0;
  int32_t start_level_ = 0;
  int32_t target_level_ = 0;
  int32_t duration_;
  bool started_ = false;
};

class TNovuMixerFadein final : public TNovuMixer {
 public:
  TNovuMixerFadein(media::TDMediaItem* item, int32_t target, int32_t duration)
      : TNovuMixer(item, duration) {
    target_level_ = target;
  }
  bool Step(int32_t now) override;
};

class TNovuMixerFadeout final : public TNovuMixer {
 public:
  using TNovuMixer::TNovuMixer;
  bool Step(int32_t now) override;
};

}  // namespace novu
