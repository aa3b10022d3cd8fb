#include "controls/novu_sound.h"

#include <algorithm>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/error.h"
#include "media/media_service.h"
#include "objects/object_list.h"

namespace novu {
namespace {

// Saves after these versions carry the field.
constexpr int32_t kRewindOnLoadVersion = 107;
constexpr int32_t kMuteOnLoadVersion = 128;
constexpr int32_t kRepeatPosVersion = 137;
// One-shot sounds shorter than this are saved stopped.
constexpr int32_t kResumedLength = 3000;

}  // namespace

int32_t VolumeLevel(int32_t volume, bool midi) {
  const int32_t v = std::clamp(volume, 0, 1000);
  if (midi) return v * 10 - 10000;
  const int32_t level = v * 5 - 5000;
  if (level <= -5000) return kSilentLevel;
  return std::min(level, 0);
}

TNovuSound::TNovuSound(ObjectList* owner, media::MediaService* media)
    : TNovuComponent(owner), media_(media) {}

TNovuSound::~TNovuSound() {
  if (item_ != nullptr) item_->SetVolume(kSilentLevel);
  fade_.reset();
  ReleaseItem();
}

int32_t TNovuSound::Now() const {
  return owner() != nullptr ? owner()->GameClock() : 0;
}

int32_t TNovuSound::Level() const {
  return VolumeLevel(volume_, item_ != nullptr && item_->IsMidi());
}

bool TNovuSound::FileAvailable(const std::string& name) const {
  return media_ != nullptr && !name.empty() && media_->files().Exists(name);
}

void TNovuSound::RequestDeletion() {
  if (owner() != nullptr) owner()->ScheduleDeletion(*this);
}

bool TNovuSound::CreateItem() {
  if (!FileAvailable(source_) && !media::IsCdTrackName(source_)) {
    if (auto_scrap_) RequestDeletion();
    return false;
  }
  if (media_ == nullptr) return false;
  media::TMediaManager* manager = media_->Manager(media::SoundFamilyOf(source_));
  if (manager == nullptr) return false;
  item_ = manager->CreateItem(source_);
  item_->SetPan(balance_);
  if (requested_pos_ > 0) item_->SetPosition(requested_pos_);
  return true;
}

void TNovuSound::ReleaseItem() {
  fade_.reset();
  if (item_ == nullptr) return;
  media::TDMediaItem* item = item_;
  item_ = nullptr;
  item->manager().RemoveItem(item);
}

void TNovuSound::StartFadeIn() {
  fade_ = std::make_unique<TNovuMixerFadein>(item_, Level(), delay_);
  fading_out_ = false;
}

void TNovuSound::SetPlayMode(uint8_t mode) {
  fade_.reset();
  ended_ = false;
  mode_ = mode;
  if (mode_ == LP_PLAYFADE && delay_ <= 0) mode_ = LP_PLAY;
  if (mode_ == LP_PLAY || mode_ == LP_PLAYFADE) {
    if (item_ != nullptr || !CreateItem()) return;
  } else if (mode_ == LP_STOP) {
    if (item_ == nullptr) return;
    ReleaseItem();
    requested_pos_ = 0;
    RequestDeletion();
    return;
  }
  switch (mode_) {
    case LP_PLAY:
      item_->SetAutoRepeat(repeat_);
      item_->SetRepeatPos(repeat_pos_);
      item_->SetVolume(Level());
      if (paused_) {
        item_->Pause();
      } else {
        item_->Play();
      }
      if (requested_pos_ > 0) item_->SetPosition(requested_pos_);
      break;
    case LP_PLAYFADE:
      item_->SetAutoRepeat(repeat_);
      item_->SetRepeatPos(repeat_pos_);
      if (!paused_) StartFadeIn();
      break;
    case LP_STOPFADE:
      if (item_ == nullptr) {
        RequestDeletion();
        break;
      }
      fade_ = std::make_unique<TNovuMixerFadeout>(item_, delay_);
      fading_out_ = true;
      requested_pos_ = 0;
      // A new sound may take the name while this one fades out.
      SetName(std::string(1, kInternalNameMark) + "SCRAP_" + name());
      break;
    default:
      break;
  }
}

void TNovuSound::Play() {
  requested_pos_ = 0;
  paused_ = false;
  ended_ = false;
  SetPlayMode(LP_PLAYFADE);
  if (item_ == nullptr) return;
  fade_.reset();
  if (delay_ <= 0) {
    item_->SetVolume(Level());
    item_->SetPosition(0);
    if (!item_->IsPlaying()) item_->Play();
  } else {
    item_->Pause();
    item_->SetVolume(kSilentLevel);
    item_->SetPosition(0);
    StartFadeIn();
  }
}

void TNovuSound::ApplyPause() {
  if (item_ == nullptr) return;
  if (paused_ || ani_paused_) {
    item_->Pause();
    item_->SetVolume(kSilentLevel);
  } else if (mode_ == LP_PLAYFADE) {
    StartFadeIn();
  } else {
    item_->SetVolume(Level());
    item_->Play();
  }
}

void TNovuSound::SetSource(const std::string& source) {
  if (source == source_) return;
  ReleaseItem();
  source_ = source;
  mode_ = LP_STOP;
  paused_ = false;
  requested_pos_ = 0;
  ended_ = false;
}

int32_t TNovuSound::Update() {
  if (item_ != nullptr && item_->IsEnd()) {
    if (repeat_) {
      item_->SetPosition(0);
    } else {
      ended_ = true;
      if (auto_scrap_) return 1;
      if (!IsEventQueued(static_cast<uint8_t>(PR_ONPLAYEND))) {
        PostEvent(on_play_end_, {}, static_cast<uint8_t>(PR_ONPLAYEND));
      }
    }
  }
  if (fade_ != nullptr && fade_->Step(Now())) {
    const bool out = fading_out_;
    fade_.reset();
    if (out) return 1;
  }
  return 0;
}

PropValue TNovuSound::GetProperty(PropId id) const {
  switch (id) {
    case PR_COMPOTYPE:
      return int32_t{LT_SOUND};
    case PR_SOURCE:
      return source_;
    case PR_REPEAT:
      return repeat_;
    case PR_REPEATPOS:
      return repeat_pos_;
    case PR_PAUSED:
      return paused_;
    case PR_ANIPAUSED:
      return ani_paused_;
    case PR_VOLUME:
      return volume_;
    case PR_BALANCE:
      return balance_;
    case PR_DELAY:
      return delay_;
    case PR_AUTOSCRAP:
      return auto_scrap_;
    case PR_ONPLAYEND:
      return on_play_end_;
    case PR_REWINDONLOAD:
      return rewind_on_load_;
    case PR_MUTEONLOAD:
      return mute_on_load_;
    case PR_PLAYING:
      return item_ != nullptr && item_->IsPlaying();
    case PR_INDEX:
      return item_ != nullptr ? item_->GetPosition() : 0;
    case PR_COUNT: {
      if (item_ != nullptr) return item_->GetLength();
      if (media_ == nullptr || (!FileAvailable(source_) && !media::IsCdTrackName(source_))) {
        return 0;
      }
      media::TMediaManager* manager = media_->Manager(media::SoundFamilyOf(source_));
      if (manager == nullptr) return 0;
      try {
        media::TDMediaItem* probe = manager->CreateItem(source_);
        const int32_t length = probe->GetLength();
        manager->RemoveItem(probe);
        return length;
      } catch (const NovuError&) {
        return 0;
      }
    }
    default:
      return TNovuComponent::GetProperty(id);
  }
}

void TNovuSound::SetProperty(PropId id, const PropValue& value) {
  switch (id) {
    case PR_SOURCE:
      SetSource(PropAsStr(value));
      break;
    case PR_PAUSED:
    case PR_ANIPAUSED: {
      bool& flag = id == PR_PAUSED ? paused_ : ani_paused_;
      const bool on = PropAsBool(value);
      if (on == flag) break;
      flag = on;
      fade_.reset();
      ApplyPause();
      break;
    }
    case PR_VOLUME:
      volume_ = PropAsInt(value);
      if (item_ != nullptr) item_->SetVolume(Level());
      break;
    case PR_BALANCE:
      balance_ = std::clamp(PropAsInt(value), -10000, 10000);
      if (item_ != nullptr) item_->SetPan(balance_);
      break;
    case PR_REPEAT:
      repeat_ = PropAsBool(value);
      if (item_ == nullptr) break;
      item_->SetAutoRepeat(repeat_);
      if (repeat_ && !paused_ && item_->GetPosition() >= item_->GetLength() - 1) {
        item_->SetPosition(0);
        ended_ = false;
      }
      break;
    case PR_REPEATPOS:
      repeat_pos_ = PropAsInt(value);
      if (item_ != nullptr) item_->SetRepeatPos(repeat_pos_);
      break;
    case PR_INDEX:
      requested_pos_ = PropAsInt(value);
      if (item_ == nullptr) break;
      item_->SetPosition(requested_pos_);
      ended_ = false;
      if (!paused_ && !item_->IsPlaying()) item_->Play();
      break;
    case PR_DELAY:
      delay_ = PropAsInt(value);
      break;
    case PR_AUTOSCRAP:
      auto_scrap_ = PropAsBool(value);
      break;
    case PR_ONPLAYEND:
      on_play_end_ = PropAsStr(value);
      break;
    case PR_REWINDONLOAD:
      rewind_on_load_ = PropAsBool(value);
      break;
    case PR_MUTEONLOAD:
      mute_on_load_ = PropAsBool(value);
      break;
    default:
      TNovuComponent::SetProperty(id, value);
      break;
  }
}

void TNovuSound::SaveToStream(BinaryWriter& out) const {
  TNovuComponent::SaveToStream(out);
  out.String(source_);
  out.U8(repeat_ ? 1 : 0);
  out.U8(auto_scrap_ ? 1 : 0);
  out.U8(paused_ ? 1 : 0);
  out.U8(ani_paused_ ? 1 : 0);
  out.U8(ended_ ? 1 : 0);
  out.I32(volume_);
  out.I32(balance_);
  out.I32(delay_);
  out.I32(item_ != nullptr ? item_->GetPosition() : 0);
  const bool resumed =
      repeat_ || (item_ != nullptr && item_->GetLength() >= kResumedLength) || mode_ > LP_PLAYFADE;
  out.U8(resumed ? mode_ : LP_STOP);
  out.String(on_play_end_);
  out.U8(rewind_on_load_ ? 1 : 0);
  out.U8(mute_on_load_ ? 1 : 0);
  out.I32(repeat_pos_);
}

void TNovuSound::LoadFromStream(BinaryReader& in, const ObjectLoadContext& context) {
  TNovuComponent::LoadFromStream(in, context);
  const std::string source = in.String();
  repeat_ = in.U8() != 0;
  auto_scrap_ = in.U8() != 0;
  const bool paused = in.U8() != 0;
  const bool ani_paused = in.U8() != 0;
  const bool ended = in.U8() != 0;
  volume_ = in.I32();
  balance_ = std::clamp(in.I32(), -10000, 10000);
  const int32_t delay = in.I32();
  const int32_t position = in.I32();
  const uint8_t mode = in.U8();
  on_play_end_ = in.String();
  rewind_on_load_ = context.version > kRewindOnLoadVersion ? in.U8() != 0 : false;
  mute_on_load_ = context.version > kMuteOnLoadVersion ? in.U8() != 0 : false;
  repeat_pos_ = context.version > kRepeatPosVersion ? in.I32() : 0;
  if (mute_on_load_) volume_ = 0;
  SetSource(source);
  requested_pos_ = rewind_on_load_ ? 0 : position;
  paused_ = paused;
  ani_paused_ = ani_paused;
  ended_ = ended;
  // A sound that cannot be opened any more stays silent; the rest of the save still loads.
  try {
    if (mode == LP_STOPFADE) SetPlayMode(LP_PLAY);
    delay_ = delay;
    if (ended) {
      mode_ = mode;
    } else {
      SetPlayMode(mode);
      ended_ = ended;
    }
    if (paused_ || ani_paused_) ApplyPause();
  } catch (const NovuError&) {
    ReleaseItem();
    mode_ = mode;
  }
}

}  // namespace novu
