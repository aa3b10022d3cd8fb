#include "controls/novu_sound.h"

#include <algorithm>

#include "core/serializer.h"
#include "media/media_service.h"
#include "objects/object_list.h"
#include "platform/error.h"

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

PropValue TNovuSound::Get(PropId id) const {
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
      return int32_t{0};
  }
}

void TNovuSound::Set(PropId id, const PropValue& value) {
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
      break;
  }
}

const PropertyTable& TNovuSound::Table() {
  using R = PropertyRows<TNovuSound>;
  auto row = [](PropId id) {
    return R::Answer(id, [id](const TNovuSound& s) { return s.Get(id); })
        .Set([id](TNovuSound& s, const PropValue& v) { s.Set(id, v); });
  };
  static const PropertyTable table(&TNovuComponent::Table(),
                                   {
                                       row(PR_SOURCE),
                                       row(PR_REPEAT),
                                       row(PR_REPEATPOS),
                                       row(PR_PAUSED),
                                       row(PR_ANIPAUSED),
                                       row(PR_VOLUME),
                                       row(PR_BALANCE),
                                       row(PR_DELAY),
                                       row(PR_AUTOSCRAP),
                                       row(PR_ONPLAYEND),
                                       row(PR_REWINDONLOAD),
                                       row(PR_MUTEONLOAD),
                                       row(PR_PLAYING).ReadOnly(),
                                       row(PR_INDEX),
                                       row(PR_COUNT).ReadOnly(),
                                       R::Saved([](TNovuSound& s, Serializer& z) { s.Sync(z); }),
                                   });
  return table;
}

void TNovuSound::Sync(Serializer& z) {
  SavedRecord r;
  if (z.saving()) {
    r = SavedRecord{source_, paused_, ani_paused_,
                    ended_,  delay_,  item_ != nullptr ? item_->GetPosition() : 0,
                    mode_};
    // Short one-shot sounds are not resumed.
    const bool resumed = repeat_ || (item_ != nullptr && item_->GetLength() >= kResumedLength) ||
                         mode_ > LP_PLAYFADE;
    if (!resumed) r.mode = LP_STOP;
  }
  z.String(r.source);
  z.Bool(repeat_);
  z.Bool(auto_scrap_);
  z.Bool(r.paused);
  z.Bool(r.ani_paused);
  z.Bool(r.ended);
  z.I32(volume_);
  z.I32(balance_);
  z.I32(r.delay);
  z.I32(r.position);
  z.U8(r.mode);
  z.String(on_play_end_);
  if (z.loading()) {
    rewind_on_load_ = false;
    mute_on_load_ = false;
    repeat_pos_ = 0;
  }
  if (z.Has(kRewindOnLoadVersion + 1)) z.Bool(rewind_on_load_);
  if (z.Has(kMuteOnLoadVersion + 1)) z.Bool(mute_on_load_);
  if (z.Has(kRepeatPosVersion + 1)) z.I32(repeat_pos_);
  if (z.loading()) {
    balance_ = std::clamp(balance_, -10000, 10000);
    loaded_ = r;
  }
}

void TNovuSound::AfterLoad() {
  const SavedRecord r = loaded_;
  if (mute_on_load_) volume_ = 0;
  SetSource(r.source);
  requested_pos_ = rewind_on_load_ ? 0 : r.position;
  paused_ = r.paused;
  ani_paused_ = r.ani_paused;
  ended_ = r.ended;
  // A sound that cannot be opened any more stays silent; the rest of the save still loads.
  try {
    if (r.mode == LP_STOPFADE) SetPlayMode(LP_PLAY);
    delay_ = r.delay;
    if (r.ended) {
      mode_ = r.mode;
    } else {
      SetPlayMode(r.mode);
      ended_ = r.ended;
    }
    if (paused_ || ani_paused_) ApplyPause();
  } catch (const NovuError&) {
    ReleaseItem();
    mode_ = r.mode;
  }
}

}  // namespace novu
