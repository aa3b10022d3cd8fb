#include "controls/film_manager.h"

#include <algorithm>

#include "controls/fipo_collection.h"
#include "core/cp932.h"
#include "objects/base_list.h"
#include "objects/novu_control.h"
#include "objects/screen_transition.h"
#include "platform/error.h"

namespace novu {
namespace {

using render::TCustomFrameList;
using render::TWipeFrameList;

bool EndsWithNoCase(std::string_view name, std::string_view extension) {
  return name.size() >= extension.size() &&
         cp932::EqualsNoCase(name.substr(name.size() - extension.size()), extension);
}

}  // namespace

TFilmManager::TFilmManager(ImageEnvironment env) {
  stage_.env = env;
}

TFilmManager::~TFilmManager() {
  Clear();
}

void TFilmManager::SetCinema(TNovuBaseList* bases, TNovuControl* cinema) {
  stage_.bases = bases;
  stage_.cinema = cinema;
  stage_.target = nullptr;
}

void TFilmManager::SetTarget(TNovuControl* target) {
  stage_.target = target;
  stage_.bases = nullptr;
  stage_.cinema = nullptr;
}

void TFilmManager::Clear() {
  drivers_.clear();
  file_.Clear();
  current_frame_ = -1;
  current_transition_ = nullptr;
  stage_.length = 0;
  stage_.loop_start = 0;
}

bool TFilmManager::LoadFilm(std::string_view name) {
  Clear();
  if (stage_.env.cache == nullptr) return false;
  const std::optional<std::vector<uint8_t>> data = stage_.env.cache->LoadFile(name);
  if (!data) return false;
  LoadFromBytes(*data, name);
  return true;
}

void TFilmManager::LoadFromBytes(std::span<const uint8_t> data, std::string_view name) {
  Clear();
  stage_.folder = render::FilmFolderOf(name);
  file_.Load(data);
  stage_.length = file_.Length();
  stage_.loop_start = file_.LoopStart();
  CreateDrivers();
}

void TFilmManager::CreateDrivers() {
  drivers_.clear();
  for (const auto& list : file_.lists()) {
    drivers_.push_back(FilmTrackDriver::Create(*list, stage_));
    if (drivers_.back() != nullptr) drivers_.back()->Reload();
  }
}

void TFilmManager::ApplyHeader() {
  if (stage_.bases != nullptr && stage_.cinema == nullptr) {
    if (file_.screen.x > 0 && file_.screen.y > 0) {
      stage_.bases->SetSize(file_.screen.x, file_.screen.y);
    }
    for (int i = 0; i < 2; ++i) stage_.bases->base(i).SetColor(file_.background);
  }
  for (const auto& driver : drivers_) {
    if (driver != nullptr) driver->EnsureSound();
  }
}

void TFilmManager::SetSoundOn(bool on) {
  stage_.sound_on = on;
  if (on) return;
  for (const auto& driver : drivers_) {
    if (driver != nullptr) driver->StopSound();
  }
}

bool TFilmManager::NeedsOwnScene() const {
  if (file_.background != -1) return true;
  return std::any_of(file_.lists().begin(), file_.lists().end(), [](const auto& list) {
    return list->Kind() == render::kTransitionList || list->other_base();
  });
}

void TFilmManager::SetStartPosition(int32_t x, int32_t y) {
  const Point shift = IsRelative() ? Point{x - file_.reference.x, y - file_.reference.y} : Point{};
  for (const auto& list : file_.lists()) list->SetShift(shift);
}

TFilmManager::TransitionState TFilmManager::TransitionsAt(int32_t frame) const {
  TransitionState state;
  for (const auto& list : file_.lists()) {
    if (list->Kind() != render::kTransitionList) continue;
    if (list->IsActive(frame)) state.active = static_cast<const TWipeFrameList*>(list.get());
    if (frame >= list->AbsoluteEnd()) state.front ^= 1;
  }
  return state;
}

int TFilmManager::BaseOf(const TCustomFrameList& list) const {
  int base = 0;
  for (const auto& wipe : file_.lists()) {
    if (wipe->Kind() == render::kTransitionList &&
        int64_t{list.AbsoluteStart()} >= wipe->AbsoluteEnd() - 1) {
      base ^= 1;
    }
  }
  return list.other_base() ? base ^ 1 : base;
}

void TFilmManager::RunTransition(int32_t frame, const TransitionState& state) {
  TNovuBaseList& bases = *stage_.bases;
  if (state.active == nullptr) {
    if (bases.active_index() != state.front || bases.transition() != nullptr) {
      bases.SetActiveBase(state.front);
    }
    current_transition_ = nullptr;
    return;
  }
  const TWipeFrameList& wipe = *state.active;
  const int32_t elapsed = frame - wipe.AbsoluteStart();
  if (state.active == current_transition_ && bases.transition() != nullptr) {
    bases.AdvanceTransition(elapsed);
    return;
  }
  current_transition_ = state.active;
  bases.SetActiveBase(state.front, wipe.type, wipe.reverse != 0, true, elapsed,
                      std::max(wipe.Length(), 1));
  if (ScreenTransition* running = bases.transition()) {
    running->SetParam(0, wipe.param0);
    running->SetParam(1, wipe.param1);
    running->SetRuleName(render::ResolveFilmName(stage_.folder, wipe.rule));
    running->Prepare();
  }
}

void TFilmManager::ApplyFrame(int32_t frame) {
  const auto& lists = file_.lists();
  for (size_t i = 0; i < lists.size(); ++i) {
    if (drivers_[i] != nullptr) drivers_[i]->Apply(frame, BaseOf(*lists[i]));
  }
  if (!stage_.motion() && stage_.bases != nullptr && stage_.cinema == nullptr) {
    RunTransition(frame, TransitionsAt(frame));
  }
  current_frame_ = frame;
}

void TFilmManager::CollectFiles(std::vector<std::string>& names) const {
  std::vector<std::string> films;
  CollectFilesInto(names, films);
}

void TFilmManager::CollectFilesInto(std::vector<std::string>& names,
                                    std::vector<std::string>& films) const {
  for (const auto& list : file_.lists()) {
    std::vector<std::string> stored;
    list->CollectNames(stored);
    for (const std::string& name : stored) {
      std::string resolved = render::ResolveFilmName(stage_.folder, name);
      const bool motion = list->Kind() == render::kParticleList && EndsWithNoCase(name, ".nmt");
      names.push_back(resolved);
      // A particle motion adds its own files; each film once, so films naming each other end.
      if (!motion || std::find_if(films.begin(), films.end(), [&](const std::string& seen) {
                       return cp932::EqualsNoCase(seen, resolved);
                     }) != films.end()) {
        continue;
      }
      films.push_back(resolved);
      TFilmManager inner(stage_.env);
      try {
        if (inner.LoadFilm(resolved)) inner.CollectFilesInto(names, films);
      } catch (const NovuError&) {
        // A damaged particle motion needs no files.
      }
    }
  }
}

bool IsMotionSource(std::string_view name) {
  return EndsWithNoCase(name, ".nmt");
}

std::unique_ptr<TNovuMotion> MakeFilmMotion(TNovuControl& control, const ImageEnvironment& env,
                                            std::string_view name) {
  auto film = std::make_unique<TFilmManager>(env);
  film->SetTarget(&control);
  try {
    if (!film->LoadFilm(name)) return nullptr;
  } catch (const NovuError&) {
    return nullptr;
  }
  return std::make_unique<TNovuFilmMotion>(control, std::move(film));
}

}  // namespace novu
