#include "controls/novu_cinema.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "controls/film_manager.h"
#include "controls/fipo_collection.h"
#include "objects/base_list.h"
#include "platform/error.h"
#include "render/custom_dibx.h"

namespace novu {
namespace {

constexpr double kFrameMs = 1000.0 / TNovuCinema::kFramesPerSecond;

int32_t FrameToMs(int64_t frame) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(std::llround(static_cast<double>(frame) * kFrameMs), 0, INT32_MAX));
}

}  // namespace

TNovuCinema::TNovuCinema(ObjectList* owner, ImageEnvironment env)
    : TNovuControl(owner), env_(env) {}

TNovuCinema::~TNovuCinema() {
  FreeFilm();
}

void TNovuCinema::FreeFilm() {
  // The film's controls go first, while the scene they stand in is still there.
  film_.reset();
  nested_.reset();
}

// Controls a film placed under the cinema (their names start with 0x01 "FILM").
void TNovuCinema::DropFilmChildren() {
  auto* list = dynamic_cast<TNovuBaseList*>(owner());
  if (list == nullptr) return;
  for (int32_t i = ChildCount() - 1; i >= 0; --i) {
    TNovuObject* child = Child(i);
    if (child != nullptr && child->name().starts_with("\x01"
                                                      "FILM"))
      list->Free(*child);
  }
}

int32_t TNovuCinema::ElapsedMs() const {
  return owner() != nullptr ? std::max(owner()->FrameDelta(), 0) : 0;
}

void TNovuCinema::SetSource(const std::string& source) {
  Invalidate();
  if (source == source_) return;
  source_ = source;
  FreeFilm();
  auto* list = dynamic_cast<TNovuBaseList*>(owner());
  if (list != nullptr && env_.cache != nullptr) {
    const std::optional<std::vector<uint8_t>> data = env_.cache->LoadFile(source);
    if (data) {
      film_ = std::make_unique<TFilmManager>(env_);
      film_->SetVolume(volume_);
      try {
        film_->LoadFromBytes(*data, source);
      } catch (const NovuError&) {
        film_.reset();  // a damaged film plays nothing, as a missing one
      }
    }
    if (film_ != nullptr && film_->NeedsOwnScene()) {
      nested_ = list->MakeNestedScene();
      film_->SetCinema(nested_.get(), nullptr);
    } else if (film_ != nullptr) {
      film_->SetCinema(list, this);
      const Point screen = film_->file().screen;
      SetBounds(left(), top(), std::max(screen.x, 0), std::max(screen.y, 0));
    }
    if (film_ != nullptr) film_->ApplyHeader();
    if (nested_ != nullptr) SetBounds(left(), top(), nested_->width(), nested_->height());
  }
  if (nested_ != nullptr) nested_->Update();
  Invalidate();
  film_time_ = 0;
  ended_ = false;
  force_ = 2;
}

void TNovuCinema::SetFrame(int32_t frame) {
  film_time_ = static_cast<int32_t>(
      std::clamp<double>(std::trunc(frame * kFrameMs), 0.0, double{INT32_MAX}));
  ended_ = false;
  force_ = 2;
}

int32_t TNovuCinema::Frame() const {
  return film_ != nullptr ? film_->current_frame() : 0;
}

int32_t TNovuCinema::FilmLength() const {
  return film_ != nullptr ? film_->Length() : 0;
}

bool TNovuCinema::IsPlaying() const {
  return film_ != nullptr && film_->current_frame() < film_->Length() - 1 && !paused_ &&
         !PropAsBool(GetProperty(PR_ANIPAUSED));
}

void TNovuCinema::SetPaused(bool paused) {
  paused_ = paused;
  if (film_ != nullptr) film_->SetSoundOn(!paused_ && !PropAsBool(GetProperty(PR_ANIPAUSED)));
}

void TNovuCinema::SetRepeat(bool repeat) {
  repeat_ = repeat;
  if (repeat_) ended_ = false;
}

void TNovuCinema::SetVolume(int32_t volume) {
  volume_ = std::max(volume, 0);
  if (film_ != nullptr) film_->SetVolume(volume_);
}

int32_t TNovuCinema::Update() {
  if (const int32_t result = TNovuControl::Update(); result != 0) return result;
  if (film_ != nullptr) {
    const bool animation_paused = PropAsBool(GetProperty(PR_ANIPAUSED));
    film_->SetSoundOn(!paused_ && !animation_paused);
    if (!paused_) {
      if (!ended_ && !animation_paused && force_ < 1) {
        film_time_ =
            static_cast<int32_t>(std::min<int64_t>(int64_t{film_time_} + ElapsedMs(), INT32_MAX));
      }
      const int32_t length = film_->Length();
      int64_t frame = std::llround(film_time_ / kFrameMs);
      if (frame >= length) {
        if (!repeat_) {
          if (auto_scrap_) return 1;
          if (!ended_) PostEvent(on_play_end_, {}, PR_ONPLAYEND);
          ended_ = true;
          frame = int64_t{length} - 1;
        } else {
          // A film without frames has nothing to loop over (no modulo by zero).
          frame = std::min<int64_t>(frame % std::max(length, 1) + film_->LoopStart(),
                                    int64_t{length} - 1);
          film_time_ = FrameToMs(std::max<int64_t>(frame, 0));
        }
      }
      if (frame >= 0 && (force_ == 2 || frame != film_->current_frame())) {
        film_->ApplyFrame(static_cast<int32_t>(frame));
      }
      if (force_ > 0) --force_;
    }
  }
  if (nested_ != nullptr) {
    nested_->Update();
    ReportNestedDirt();
  }
  return 0;
}

void TNovuCinema::ReportNestedDirt() {
  const TNovuBase& base = nested_->active_base();
  if (base.dirty().Count() > 0 || nested_->transition() != nullptr) Invalidate();
}

void TNovuCinema::DrawSelf(render::TCustomDIBX& surface) {
  if (nested_ == nullptr) return;
  nested_->active_base().InvalidateAll();
  nested_->Paint();
  const render::TCustomDIBX& screen = nested_->ScreenSurface();
  surface.Draw(ScreenX(), ScreenY(), {}, Rect{0, 0, screen.Width(), screen.Height()}, screen);
  nested_->ClearDirty();
}

void TNovuCinema::Sync(Serializer& s) {
  if (s.saving()) {
    loaded_source_ = source_;
    loaded_frame_ = Frame();
  }
  s.String(loaded_source_);
  s.Bool(repeat_);
  s.Bool(paused_);
  s.Bool(auto_scrap_);
  s.String(on_play_end_);
  if (s.Has(104)) s.String(on_idle_);
  if (s.loading()) {
    loaded_frame_ = 0;
    rewind_on_load_ = true;
    mute_on_load_ = false;
  }
  if (s.Has(117)) {
    s.I32(loaded_frame_);
    s.Bool(rewind_on_load_);
  }
  if (s.Has(129)) {
    s.I32(volume_);
    s.Bool(mute_on_load_);
  }
  bool ended = ended_;
  if (s.Has(133)) s.Bool(ended);
  if (s.loading()) ended_ = ended;
}

void TNovuCinema::AfterLoad() {
  // Controls a film had placed under the cinema were saved with it; the film places its own.
  DropFilmChildren();
  const bool ended = ended_;
  if (mute_on_load_) volume_ = 0;
  SetVolume(volume_);
  source_.clear();
  SetSource(std::exchange(loaded_source_, {}));
  if (loaded_frame_ > 0 && !rewind_on_load_) SetFrame(loaded_frame_);
  ended_ = ended;
}

const PropertyTable& TNovuCinema::Table() {
  using R = PropertyRows<TNovuCinema>;
  static const PropertyTable table(
      &TNovuControl::Table(),
      {
          R::Field(PR_SOURCE, &TNovuCinema::source_).Set(&TNovuCinema::SetSource).NotSaved(),
          R::Field(PR_REPEAT, &TNovuCinema::repeat_).Set(&TNovuCinema::SetRepeat).NotSaved(),
          R::Field(PR_PAUSED, &TNovuCinema::paused_).Set(&TNovuCinema::SetPaused).NotSaved(),
          R::Field(PR_AUTOSCRAP, &TNovuCinema::auto_scrap_).NotSaved(),
          R::Field(PR_ONPLAYEND, &TNovuCinema::on_play_end_).NotSaved(),
          R::Field(PR_ONIDLE, &TNovuCinema::on_idle_).NotSaved(),
          R::Field(PR_VOLUME, &TNovuCinema::volume_).Set(&TNovuCinema::SetVolume).NotSaved(),
          R::Field(PR_REWINDONLOAD, &TNovuCinema::rewind_on_load_).NotSaved(),
          R::Field(PR_MUTEONLOAD, &TNovuCinema::mute_on_load_).NotSaved(),
          R::Answer(PR_INDEX, [](const TNovuCinema& c) { return c.Frame(); })
              .Set(&TNovuCinema::SetFrame),
          R::Answer(PR_COUNT, [](const TNovuCinema& c) { return c.FilmLength(); }),
          R::Answer(PR_PLAYING, [](const TNovuCinema& c) { return c.IsPlaying(); }),
          R::Saved([](TNovuCinema& c, Serializer& s) { c.Sync(s); }),
      });
  return table;
}

}  // namespace novu
