#pragma once
// TFilmManager: a loaded film and its tracks, brought to the state of a film frame. In cinema
// use the tracks create their own controls on a base list and transition tracks flip its
// screens; in motion use (TNovuFilmMotion) the tracks move one existing control, relative to
// where it stood when the motion started when the film says so.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "controls/film_track_drivers.h"
#include "controls/image_environment.h"
#include "objects/novu_motion.h"
#include "render/film_file.h"

namespace novu {

class TNovuBaseList;
class TNovuControl;

class TFilmManager final : public MotionFilm {
 public:
  explicit TFilmManager(ImageEnvironment env);
  ~TFilmManager() override;

  // --- uses (set before loading) ---
  // Cinema use: controls go on `bases`, or under `cinema` when that is set (the film then plays
  // among the main scene's objects).
  void SetCinema(TNovuBaseList* bases, TNovuControl* cinema);
  // Motion use: the tracks move `target`.
  void SetTarget(TNovuControl* target);

  // Reads the named file through the image cache's loader; false when no data source has it.
  // A damaged file throws NovuError and leaves the film empty.
  bool LoadFilm(std::string_view name);
  // Parses file bytes; `name`'s folder is the base of the relative names inside.
  void LoadFromBytes(std::span<const uint8_t> data, std::string_view name);
  void Clear();

  // Cinema use: sizes the base list to the film's screen with its background colour, then
  // creates every sound track's control.
  void ApplyHeader();
  void SetSoundOn(bool on);
  void SetVolume(int32_t volume) { stage_.volume = volume; }
  int32_t volume() const { return stage_.volume; }
  int32_t current_frame() const { return current_frame_; }
  const render::FilmFile& file() const { return file_; }
  // A transition track, a track on the other base or a background colour: the film needs a
  // scene of its own.
  bool NeedsOwnScene() const;
  // Every file the film needs (names resolved); particle motions add theirs.
  void CollectFiles(std::vector<std::string>& names) const;

  // --- MotionFilm ---
  int32_t Length() const override { return file_.Length(); }
  int32_t LoopStart() const override { return file_.LoopStart(); }
  bool IsRelative() const override { return file_.relative != 0; }
  void SetStartPosition(int32_t x, int32_t y) override;
  void SetPriority(int32_t priority) override { stage_.target_priority = priority; }
  void ApplyFrame(int32_t frame) override;

 private:
  // The index of the front base at `frame` and the transition track running then, if any.
  struct TransitionState {
    int front = 0;
    const render::TWipeFrameList* active = nullptr;
  };
  TransitionState TransitionsAt(int32_t frame) const;
  void RunTransition(int32_t frame, const TransitionState& state);
  // The base an image-kind track's controls go on.
  int BaseOf(const render::TCustomFrameList& list) const;
  void CreateDrivers();
  void CollectFilesInto(std::vector<std::string>& names, std::vector<std::string>& films) const;

  render::FilmFile file_;
  FilmStage stage_;
  std::vector<std::unique_ptr<FilmTrackDriver>> drivers_;
  int32_t current_frame_ = -1;
  const render::TWipeFrameList* current_transition_ = nullptr;
};

// Whether a picture source names a motion file (".nmt", without regard to case).
bool IsMotionSource(std::string_view name);
// The film motion of a motion file moving `control`; none when no data source has the file or
// it is damaged (the control then shows nothing, as for a missing picture).
std::unique_ptr<TNovuMotion> MakeFilmMotion(TNovuControl& control, const ImageEnvironment& env,
                                            std::string_view name);

}  // namespace novu
