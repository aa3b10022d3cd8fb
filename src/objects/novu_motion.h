#pragma once
// The motion film a control may play (owned by the control). TNovuMotion is what the control
// sees; TNovuFilmMotion runs a film on the control at 60 film frames a second, following the
// control when it is moved, looping or stopping at the end.
#include <cstdint>
#include <memory>

namespace novu {

class TNovuControl;

class TNovuMotion {
 public:
  virtual ~TNovuMotion() = default;
  // Advances the film by one frame; true in the frame a film without repeat reaches its end.
  virtual bool Advance() = 0;
};

// What a motion needs of the film it plays (the film manager in motion use).
class MotionFilm {
 public:
  virtual ~MotionFilm() = default;
  virtual int32_t Length() const = 0;     // frames
  virtual int32_t LoopStart() const = 0;  // where a repeating film goes on
  // Relative films move with the control; the others place it on the screen.
  virtual bool IsRelative() const = 0;
  virtual void SetStartPosition(int32_t x, int32_t y) = 0;
  virtual void SetPriority(int32_t priority) = 0;
  virtual void ApplyFrame(int32_t frame) = 0;
};

class TNovuFilmMotion final : public TNovuMotion {
 public:
  // Film frames last this many milliseconds (60 a second).
  static constexpr double kFrameMs = 1000.0 / 60.0;

  TNovuFilmMotion(TNovuControl& control, std::unique_ptr<MotionFilm> film);

  bool Advance() override;
  // Plays the film from its start again.
  void Restart();

  int32_t frame() const { return frame_; }
  int32_t elapsed() const { return elapsed_; }
  bool finished() const { return finished_; }
  MotionFilm& film() const { return *film_; }

 private:
  // The film frame for the elapsed time; past the end it loops or stops (sets finished_).
  int32_t FrameForElapsed();

  TNovuControl& control_;
  std::unique_ptr<MotionFilm> film_;
  int32_t elapsed_ = 0;
  int32_t start_countdown_ = 2;
  int32_t frame_ = 0;
  int32_t seen_x_ = 0;
  int32_t seen_y_ = 0;
  bool first_ = true;
  bool finished_ = false;
};

}  // namespace novu
