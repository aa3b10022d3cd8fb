#pragma once
// TNovuCinema (LT_CINEMA, command Cinema): plays a film file at 60 frames a second, either in a
// scene of its own (a nested object list with two bases, for films with transitions, tracks on
// the other base or a background colour) or among the main scene's objects, under itself.
#include <cstdint>
#include <memory>
#include <string>

#include "controls/image_environment.h"
#include "objects/novu_control.h"

namespace novu {

class TFilmManager;
class TNovuBaseList;

class TNovuCinema final : public TNovuControl {
 public:
  static constexpr int32_t kFramesPerSecond = 60;

  TNovuCinema(ObjectList* owner, ImageEnvironment env);
  ~TNovuCinema() override;

  ComponentType GetType() const override { return LT_CINEMA; }
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

  int32_t Update() override;

  void SetSource(const std::string& source);
  // Seeks to film frame `frame`.
  void SetFrame(int32_t frame);
  int32_t Frame() const;
  int32_t FilmLength() const;
  bool IsPlaying() const;
  bool ended() const { return ended_; }
  TFilmManager* film() const { return film_.get(); }
  TNovuBaseList* nested() const { return nested_.get(); }

 protected:
  void AfterLoad() override;
  // The nested scene's picture (a film among the main scene's objects draws as children).
  void DrawSelf(render::TCustomDIBX& surface) override;

 private:
  void SetPaused(bool paused);
  void SetRepeat(bool repeat);
  void SetVolume(int32_t volume);
  void FreeFilm();
  void DropFilmChildren();
  int32_t ElapsedMs() const;
  void Sync(Serializer& s);
  void ReportNestedDirt();

  ImageEnvironment env_;
  std::string source_;
  std::unique_ptr<TNovuBaseList> nested_;
  std::unique_ptr<TFilmManager> film_;
  int32_t film_time_ = 0;
  bool repeat_ = false;
  bool paused_ = false;
  bool auto_scrap_ = false;
  std::string on_play_end_;
  std::string on_idle_;
  bool ended_ = false;
  int32_t force_ = 0;
  int32_t volume_ = 1000;
  bool rewind_on_load_ = true;
  bool mute_on_load_ = false;
  int32_t loaded_frame_ = 0;
  std::string loaded_source_;
};

}  // namespace novu
