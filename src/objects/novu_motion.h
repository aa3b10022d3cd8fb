#pragma once
// The motion film a control may play (owned by the control). Only what the control itself needs
// is declared here; the film playback lives with the timers and motions.
namespace novu {

class TNovuMotion {
 public:
  virtual ~TNovuMotion() = default;
  // Advances the film by one frame; true in the frame a film without repeat reaches its end.
  virtual bool Advance() = 0;
};

}  // namespace novu
