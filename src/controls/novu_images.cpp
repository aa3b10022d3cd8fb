#include "controls/novu_images.h"

#include <algorithm>
#include <utility>

#include "controls/film_manager.h"
#include "core/cp932.h"
#include "core/process_state.h"
#include "expr/custom_param.h"

namespace novu {
namespace {

int32_t SaturatedAdd(int32_t a, int64_t b) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{a} + b, INT32_MIN, INT32_MAX));
}

bool HasExtension(std::string_view name, std::string_view extension) {
  return name.size() >= extension.size() &&
         cp932::EqualsNoCase(name.substr(name.size() - extension.size()), extension);
}

}  // namespace

// --- TNovuCustomImages ---

TNovuCustomImages::TNovuCustomImages(ObjectList* owner, ImageEnvironment env)
    : TNovuCustomImage(owner, env) {}

TNovuCustomImages::~TNovuCustomImages() = default;

int32_t TNovuCustomImages::FrameCount() const {
  const TNovuImageList* list = ActiveList();
  return list != nullptr ? list->Count() : 0;
}

const std::string& TNovuCustomImages::PlayEndLabel() const {
  static const std::string kNone;
  return kNone;
}

int32_t TNovuCustomImages::EndOfCycleDelay() {
  if (delay_.empty() || env_.vars == nullptr) return 0;
  delay_.Evaluate(*env_.vars);
  const TCustomParam* result = delay_.result();
  return result != nullptr ? result->GetAsInt() : 0;
}

void TNovuCustomImages::SetIndex(int32_t index) {
  TNovuImageList* list = ActiveList();
  const int32_t count = FrameCount();
  if (index_ < 0 || index_ >= count) {
    remaining_ = 0;
  } else {
    Invalidate();
  }
  index_ = index;
  TNovuImageData* data = list != nullptr ? list->Item(index) : nullptr;
  if (data == nullptr) {
    SetShown(nullptr, nullptr);
    return;
  }
  data->SetBrightness(brightness_);
  SetShown(&data->Picture(), data->Mask());
  remaining_ = SaturatedAdd(remaining_, data->delay());
  if (index == count - 1 && count > 1) remaining_ = SaturatedAdd(remaining_, EndOfCycleDelay());
  RecomputeSize();
  Invalidate();
}

void TNovuCustomImages::SetBrightness(int32_t brightness) {
  if (brightness == brightness_) return;
  brightness_ = brightness;
  TNovuImageList* list = ActiveList();
  if (TNovuImageData* data = list != nullptr ? list->Item(index_) : nullptr) {
    data->SetBrightness(brightness_);
    SetShown(&data->Picture(), data->Mask());
  }
  Invalidate();
}

void TNovuCustomImages::SetPaused(bool paused) {
  paused_ = paused;
  remaining_ = 0;
}

void TNovuCustomImages::SetVisible(bool visible) {
  TNovuCustomImage::SetVisible(visible);
  remaining_ = 0;
}

void TNovuCustomImages::DropPicture() {
  Invalidate();
  index_ = -1;
  SetShown(nullptr, nullptr);
  if (TNovuImageList* list = ActiveList()) list->Clear();
  SetMotion(nullptr);
}

bool TNovuCustomImages::LoadSource(TNovuImageList& list, std::string_view name) {
  if (!HasExtension(name, ".fip")) return false;
  list.Load(this, name, false);
  if (list.Count() > 0) SetIndex(0);
  return true;
}

bool TNovuCustomImages::IsPlaying() const {
  const int32_t count = FrameCount();
  const bool ended = index_ == count - 1 && remaining_ < 1 && !Repeats();
  return !ended && !paused_;
}

int32_t TNovuCustomImages::Update() {
  if (const int32_t result = TNovuCustomImage::Update(); result != 0) return result;
  const int32_t count = FrameCount();
  if (GetMotion() != nullptr || index_ < 0 || index_ >= count || !IsVisible() || paused_ ||
      PropAsBool(GetProperty(PR_ANIPAUSED))) {
    return 0;
  }
  const int32_t elapsed = env_.state != nullptr ? std::max(env_.state->frame_delta, 0) : 0;
  if (remaining_ > 0) remaining_ = SaturatedAdd(remaining_, -int64_t{elapsed});
  while (remaining_ < 1) {
    if (index_ < count - 1) {
      // Short loops restart each frame's time; longer ones carry a late frame's overshoot.
      if (count <= 2) remaining_ = 0;
      SetIndex(index_ + 1);
      continue;
    }
    if (Repeats()) {
      remaining_ = 0;
      SetIndex(0);
    } else if (AutoScraps()) {
      return 1;
    } else {
      PostEvent(PlayEndLabel(), {}, PR_ONPLAYEND);
    }
    break;
  }
  return 0;
}

void TNovuCustomImages::SetIndexUnlessMoved(int32_t index) {
  // Motions arrive with the film player; until then an index moves the frames only.
  if (GetMotion() == nullptr) SetIndex(index);
}

const PropertyTable& TNovuCustomImages::Table() {
  using R = PropertyRows<TNovuCustomImages>;
  static const PropertyTable table(
      &TNovuCustomImage::Table(),
      {
          R::Answer(PR_PLAYING, [](const TNovuCustomImages& c) { return c.IsPlaying(); }),
          R::Answer(PR_COUNT, [](const TNovuCustomImages& c) { return c.FrameCount(); }),
          R::SavedField(&TNovuCustomImages::remaining_),
          R::Field(PR_INDEX, &TNovuCustomImages::index_)
              .Set(&TNovuCustomImages::SetIndexUnlessMoved),
          R::Field(PR_BRIGHTNESS, &TNovuCustomImages::brightness_)
              .Set(&TNovuCustomImages::SetBrightness),
          R::Field(PR_PAUSED, &TNovuCustomImages::paused_).Set(&TNovuCustomImages::SetPaused),
          R::Saved([](TNovuCustomImages& c, Serializer& s) {
            if (s.loading()) {
              c.delay_.LoadFromStream(s.reader());
            } else {
              c.delay_.SaveToStream(s.writer());
            }
          }),
      });
  return table;
}

void TNovuCustomImages::SyncSource(const std::string& current, Serializer& s) {
  if (s.loading()) {
    s.String(loaded_source_);
  } else {
    std::string name = current;
    s.String(name);
  }
}

void TNovuCustomImages::AfterLoad() {
  const int32_t saved_index = index_;
  const int32_t saved_remaining = remaining_;
  SetSource(std::exchange(loaded_source_, {}));
  SetIndex(saved_index);
  remaining_ = saved_remaining;
}

// --- TNovuImages ---

TNovuImages::TNovuImages(ObjectList* owner, ImageEnvironment env) : TNovuCustomImages(owner, env) {
  for (auto& list : lists_) list = std::make_unique<TNovuImageList>(env.cache);
}

void TNovuImages::SetSource(std::string_view name) {
  if (name == source_) return;
  DropPicture();
  source_ = name;
  if (IsMotionSource(name)) {
    SetMotion(MakeFilmMotion(*this, env_, name));
  } else {
    LoadSource(*lists_[state_], name);
  }
  RecomputeSize();
}

void TNovuImages::SetRepeat(bool repeat) {
  repeat_ = repeat;
  if (repeat_ && GetMotion() == nullptr && (index() < 0 || index() >= FrameCount())) SetIndex(0);
}

const PropertyTable& TNovuImages::Table() {
  using R = PropertyRows<TNovuImages>;
  static const PropertyTable table(
      &TNovuCustomImages::Table(),
      {
          R::Field(PR_REPEAT, &TNovuImages::repeat_).Set(&TNovuImages::SetRepeat),
          R::Field(PR_AUTOSCRAP, &TNovuImages::auto_scrap_),
          R::Field(PR_SOURCE, &TNovuImages::source_)
              .Set(&TNovuImages::SetSource)
              .Save([](TNovuImages& c, Serializer& s) { c.SyncSource(c.source_, s); }),
          R::Field(PR_ONPLAYEND, &TNovuImages::on_play_end_),
          R::Field(PR_ONIDLE, &TNovuImages::on_idle_).Since(104),
      });
  return table;
}

}  // namespace novu
