#pragma once
// The film player's side of each track: it brings the object a track drives to its state at a
// film frame. In cinema use a driver creates and owns a control of its kind on the base the
// film chooses (or under the cinema control); in motion use it writes the values into the
// control the motion moves.
#include <cstdint>
#include <memory>
#include <string>

#include "controls/image_environment.h"
#include "render/frame_list.h"

namespace novu {

class TNovuBaseList;
class TNovuControl;
class TNovuObject;
class TNovuImageList;

// What the drivers of one film share.
struct FilmStage {
  ImageEnvironment env;
  std::string folder;              // of the film file, for the names its tracks store
  TNovuBaseList* bases = nullptr;  // cinema use: where controls go
  TNovuControl* cinema = nullptr;  // cinema use in the main scene: controls go under it
  TNovuControl* target = nullptr;  // motion use: the control moved
  int32_t target_priority = 0;     // motion use: the target's priority when it started
  int32_t volume = 1000;           // 1000 = 100 %
  bool sound_on = true;
  int32_t length = 0;  // film frames
  int32_t loop_start = 0;
  bool motion() const { return target != nullptr; }
};

class FilmTrackDriver {
 public:
  virtual ~FilmTrackDriver();
  // Brings the driven object to `frame`; `base` is the base index the film chose for the
  // track's controls (cinema use).
  virtual void Apply(int32_t frame, int base) = 0;
  // Frees the driven control (cinema use); the next active frame creates it again.
  virtual void Release() {}
  // Reopens the files the track names (pictures, sounds).
  virtual void Reload() {}
  // Stops the track's sound.
  virtual void StopSound() {}
  virtual void EnsureSound() {}

  // A driver for `list` (null for tracks that draw nothing themselves: transitions).
  static std::unique_ptr<FilmTrackDriver> Create(render::TCustomFrameList& list, FilmStage& stage);
};

}  // namespace novu
