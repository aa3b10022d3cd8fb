#include "controls/novu_images.h"

#include <algorithm>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/cp932.h"
#include "core/process_state.h"
#include "expr/custom_param.h"

namespace novu {
namespace {

using render::Rect;

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

PropValue TNovuCustomImages::GetProperty(PropId id) const {
  switch (id) {
    case PR_PLAYING:
      return IsPlaying();
    case PR_BRIGHTNESS:
      return brightness_;
    case PR_INDEX:
      return index_;
    case PR_COUNT:
      return FrameCount();
    case PR_PAUSED:
      return paused_;
    default:
      return TNovuCustomImage::GetProperty(id);
  }
}

void TNovuCustomImages::SetProperty(PropId id, const PropValue& value) {
  switch (id) {
    case PR_VISIBLE:
      SetVisible(PropAsBool(value));
      break;
    case PR_BRIGHTNESS:
      SetBrightness(PropAsInt(value));
      break;
    case PR_INDEX:
      // Motions arrive with the film player; until then an index moves the frames only.
      if (GetMotion() == nullptr) SetIndex(PropAsInt(value));
      break;
    case PR_PAUSED:
      SetPaused(PropAsBool(value));
      break;
    default:
      TNovuCustomImage::SetProperty(id, value);
      break;
  }
}

void TNovuCustomImages::SaveToStream(BinaryWriter& out) const {
  TNovuCustomImage::SaveToStream(out);
  out.I32(remaining_);
  out.I32(index_);
  out.I32(brightness_);
  out.Bool(paused_);
  delay_.SaveToStream(out);
}

void TNovuCustomImages::LoadFromStream(BinaryReader& in, const ObjectLoadContext& context) {
  TNovuCustomImage::LoadFromStream(in, context);
  remaining_ = in.I32();
  index_ = in.I32();
  brightness_ = in.I32();
  paused_ = in.Bool();
  delay_.LoadFromStream(in);
}

// --- TNovuImages ---

TNovuImages::TNovuImages(ObjectList* owner, ImageEnvironment env) : TNovuCustomImages(owner, env) {
  for (auto& list : lists_) list = std::make_unique<TNovuImageList>(env.cache);
}

void TNovuImages::SetSource(std::string_view name) {
  if (name == source_) return;
  DropPicture();
  source_ = name;
  LoadSource(*lists_[state_], name);
  RecomputeSize();
}

void TNovuImages::SetRepeat(bool repeat) {
  repeat_ = repeat;
  if (repeat_ && GetMotion() == nullptr && (index() < 0 || index() >= FrameCount())) SetIndex(0);
}

PropValue TNovuImages::GetProperty(PropId id) const {
  switch (id) {
    case PR_COMPOTYPE:
      return int32_t{LT_IMAGES};
    case PR_AUTOSCRAP:
      return auto_scrap_;
    case PR_ONIDLE:
      return on_idle_;
    case PR_SOURCE:
      return source_;
    case PR_REPEAT:
      return repeat_;
    case PR_ONPLAYEND:
      return on_play_end_;
    default:
      return TNovuCustomImages::GetProperty(id);
  }
}

void TNovuImages::SetProperty(PropId id, const PropValue& value) {
  switch (id) {
    case PR_AUTOSCRAP:
      auto_scrap_ = PropAsBool(value);
      break;
    case PR_ONIDLE:
      on_idle_ = PropAsStr(value);
      break;
    case PR_SOURCE:
      SetSource(PropAsStr(value));
      break;
    case PR_REPEAT:
      SetRepeat(PropAsBool(value));
      break;
    case PR_ONPLAYEND:
      on_play_end_ = PropAsStr(value);
      break;
    default:
      TNovuCustomImages::SetProperty(id, value);
      break;
  }
}

void TNovuImages::SaveToStream(BinaryWriter& out) const {
  TNovuCustomImages::SaveToStream(out);
  out.Bool(repeat_);
  out.Bool(auto_scrap_);
  out.String(source_);
  out.String(on_play_end_);
  out.String(on_idle_);
}

void TNovuImages::LoadFromStream(BinaryReader& in, const ObjectLoadContext& context) {
  TNovuCustomImages::LoadFromStream(in, context);
  repeat_ = in.Bool();
  auto_scrap_ = in.Bool();
  std::string source = in.String();
  on_play_end_ = in.String();
  if (context.version > 103) on_idle_ = in.String();
  // The saved frame and its remaining time come back after the picture is loaded again.
  const int32_t saved_index = index();
  const int32_t saved_remaining = remaining();
  SetSource(source);
  SetIndex(saved_index);
  set_remaining(saved_remaining);
}

}  // namespace novu
