#include "controls/novu_video.h"

#include <algorithm>
#include <cstring>

#include "controls/novu_sound.h"
#include "core/serializer.h"
#include "media/media_service.h"
#include "media/video_item.h"
#include "objects/object_list.h"
#include "platform/error.h"

namespace novu {
namespace {

// Saves after these versions carry the field (overlay from this version on).
constexpr int32_t kRewindOnLoadVersion = 107;
constexpr int32_t kOverlayVersion = 112;
constexpr int32_t kMuteOnLoadVersion = 128;
// The control asks for a new frame at most this often (ms).
constexpr uint32_t kRefreshInterval = 32;

}  // namespace

TNovuVideo::TNovuVideo(ObjectList* owner, ImageEnvironment env) : TNovuCustomImage(owner, env) {}

TNovuVideo::~TNovuVideo() {
  fade_.reset();
  ReleaseItem();
}

int32_t TNovuVideo::Now() const {
  return owner() != nullptr ? owner()->GameClock() : 0;
}

int32_t TNovuVideo::Level() const {
  return VolumeLevel(volume_, false);
}

bool TNovuVideo::SourceAvailable() const {
  return env_.media != nullptr && !source_.empty() && env_.media->files().Exists(source_);
}

void TNovuVideo::RequestDeletion() {
  if (owner() != nullptr) owner()->ScheduleDeletion(*this);
}

bool TNovuVideo::CreateItem() {
  if (!SourceAvailable()) return false;
  media::TMediaManager* manager = env_.media->Manager(media::SoundFamily::kVideo);
  if (manager == nullptr) return false;
  auto* item = dynamic_cast<media::TDsVideoItem*>(manager->CreateItem(source_));
  if (item == nullptr) return false;
  item_ = item;
  item_->SetAutoRepeat(repeat_);
  item_->SetVisible(IsVisible());
  render::TDIBX& own = OwnSurface();
  own.SetSize(std::max(item_->SourceWidth(), 1), std::max(item_->SourceHeight(), 1), 32);
  own.SetKeyColor(-1);
  frame_waiting_ = true;
  MarkSizeDirty();
  RecomputeSize();
  Invalidate();
  item_->SetPan(balance_);
  last_refresh_ = static_cast<uint32_t>(Now());
  return true;
}

void TNovuVideo::ReleaseItem() {
  for (media::TDsVideoItem** slot : {&item_, &fading_item_}) {
    if (*slot == nullptr) continue;
    media::TDsVideoItem* item = *slot;
    *slot = nullptr;
    item->manager().RemoveItem(item);
  }
}

void TNovuVideo::StartFadeIn() {
  fade_ = std::make_unique<TNovuMixerFadein>(item_, Level(), delay_);
  fading_out_ = false;
}

void TNovuVideo::SetPlayMode(uint8_t mode) {
  fade_.reset();
  mode_ = mode;
  if (mode_ == LP_PLAY || mode_ == LP_PLAYFADE) {
    if (item_ != nullptr || !CreateItem()) return;
  } else if (mode_ == LP_STOP) {
    if (item_ == nullptr) return;
    Invalidate();
    ReleaseItem();
    DropOwnSurface();
    MarkSizeDirty();
    requested_pos_ = 0;
    return;
  }
  switch (mode_) {
    case LP_PLAY:
      item_->SetVolume(Level());
      item_->Play();
      if (!Running()) item_->Pause();
      if (requested_pos_ >= 1) item_->SetPosition(requested_pos_);
      break;
    case LP_PLAYFADE:
      if (Running()) StartFadeIn();
      break;
    case LP_STOPFADE:
      if (item_ == nullptr) {
        RequestDeletion();
        break;
      }
      // The fading video is heard but no longer shown; the control goes when the fade ends.
      fading_item_ = item_;
      item_ = nullptr;
      fade_ = std::make_unique<TNovuMixerFadeout>(fading_item_, delay_);
      fading_out_ = true;
      Invalidate();
      break;
    default:
      break;
  }
}

void TNovuVideo::Play() {
  requested_pos_ = 0;
  paused_ = false;
  SetPlayMode(LP_PLAYFADE);
  if (item_ == nullptr) return;
  fade_.reset();
  if (delay_ > 0) {
    item_->Pause();
    item_->SetVolume(kSilentLevel);
    item_->SetPosition(0);
    StartFadeIn();
  } else {
    item_->SetVolume(Level());
    item_->SetPosition(0);
    if (item_->IsPaused()) item_->Play();
  }
}

void TNovuVideo::SetRunning(bool was_running) {
  if (was_running == Running() || item_ == nullptr) return;
  fade_.reset();
  if (!Running()) {
    item_->Pause();
  } else if (mode_ == LP_PLAYFADE) {
    StartFadeIn();
  } else {
    item_->Play();
  }
}

void TNovuVideo::SetSource(const std::string& source) {
  if (source == source_) return;
  fade_.reset();
  if (item_ != nullptr) Invalidate();
  ReleaseItem();
  DropOwnSurface();
  MarkSizeDirty();
  source_ = source;
  mode_ = LP_STOP;
  paused_ = false;
  requested_pos_ = 0;
}

int32_t TNovuVideo::Update() {
  const int32_t result = TNovuCustomImage::Update();
  if (item_ != nullptr) {
    item_->SetVisible(IsInputActive());
    const uint32_t now = static_cast<uint32_t>(Now());
    if (now - last_refresh_ > kRefreshInterval || frame_waiting_) {
      last_refresh_ = now;
      if (item_->NeedPaint()) {
        frame_waiting_ = true;
        Invalidate();
      }
    }
    if (!repeat_ && item_->IsEnd()) {
      if (auto_scrap_) return 1;
      if (!on_play_end_.empty() && !IsEventQueued(static_cast<uint8_t>(PR_ONPLAYEND))) {
        PostEvent(on_play_end_, {}, static_cast<uint8_t>(PR_ONPLAYEND));
      }
    }
  }
  if (fade_ != nullptr && fade_->Step(Now())) {
    const bool out = fading_out_;
    fade_.reset();
    if (out) {
      Invalidate();
      return 1;
    }
  }
  return result;
}

void TNovuVideo::CopyFrame() {
  if (item_ == nullptr || !frame_waiting_) return;
  frame_waiting_ = false;
  render::TDIBX& own = OwnSurface();
  const platform::VideoDecoder& frame = item_->frame();
  if (own.BitCount() != 32 || own.Width() != frame.Width() || own.Height() != frame.Height()) {
    return;
  }
  const size_t row_bytes = static_cast<size_t>(frame.Width()) * 4;
  for (int y = 0; y < frame.Height(); ++y) {
    std::memcpy(own.ScanPointer(0, y), frame.Pixels() + static_cast<ptrdiff_t>(y) * frame.Pitch(),
                row_bytes);
  }
}

void TNovuVideo::DrawSelf(render::TCustomDIBX& surface) {
  if (item_ == nullptr) return;
  CopyFrame();
  TNovuCustomImage::DrawSelf(surface);
}

PropValue TNovuVideo::Get(PropId id) const {
  switch (id) {
    case PR_COMPOTYPE:
      return int32_t{LT_VIDEO};
    case PR_SOURCE:
      return source_;
    case PR_REPEAT:
      return repeat_;
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
    case PR_ONIDLE:
      return on_idle_;
    case PR_REWINDONLOAD:
      return rewind_on_load_;
    case PR_MUTEONLOAD:
      return mute_on_load_;
    case PR_OVERLAY:
      return overlay_;
    case PR_PLAYING: {
      if (item_ == nullptr || !Running()) return false;
      return repeat_ || item_->GetPosition() < item_->GetLength() - 1;
    }
    case PR_INDEX:
      return item_ != nullptr ? item_->GetPosition() : 0;
    case PR_COUNT: {
      if (item_ != nullptr) return item_->GetLength();
      if (!SourceAvailable()) return 0;
      media::TMediaManager* manager = env_.media->Manager(media::SoundFamily::kVideo);
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

void TNovuVideo::Set(PropId id, const PropValue& value) {
  switch (id) {
    case PR_SOURCE:
      SetSource(PropAsStr(value));
      break;
    case PR_PAUSED:
    case PR_ANIPAUSED: {
      const bool was_running = Running();
      (id == PR_PAUSED ? paused_ : ani_paused_) = PropAsBool(value);
      SetRunning(was_running);
      break;
    }
    case PR_VOLUME:
      volume_ = PropAsInt(value);
      if (item_ != nullptr) item_->SetVolume(Level());
      if (fade_ != nullptr && !fading_out_) StartFadeIn();
      break;
    case PR_BALANCE:
      balance_ = std::clamp(PropAsInt(value), -10000, 10000);
      if (item_ != nullptr) item_->SetPan(balance_);
      break;
    case PR_REPEAT:
      repeat_ = PropAsBool(value);
      if (item_ != nullptr) item_->SetAutoRepeat(repeat_);
      break;
    case PR_INDEX:
      // A negative position is the start.
      requested_pos_ = std::max(PropAsInt(value), 0);
      if (item_ != nullptr) {
        item_->SetPosition(requested_pos_);
        frame_waiting_ = true;
      }
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
    case PR_ONIDLE:
      on_idle_ = PropAsStr(value);
      break;
    case PR_REWINDONLOAD:
      rewind_on_load_ = PropAsBool(value);
      break;
    case PR_MUTEONLOAD:
      mute_on_load_ = PropAsBool(value);
      break;
    case PR_OVERLAY:
      // Kept and saved; the video is drawn into the control's surface either way.
      overlay_ = PropAsBool(value);
      break;
    default:
      break;
  }
}

const PropertyTable& TNovuVideo::Table() {
  using R = PropertyRows<TNovuVideo>;
  auto row = [](PropId id) {
    return R::Answer(id, [id](const TNovuVideo& v) { return v.Get(id); })
        .Set([id](TNovuVideo& v, const PropValue& value) { v.Set(id, value); });
  };
  static const PropertyTable table(&TNovuCustomImage::Table(),
                                   {
                                       row(PR_SOURCE),
                                       row(PR_REPEAT),
                                       row(PR_PAUSED),
                                       row(PR_ANIPAUSED),
                                       row(PR_VOLUME),
                                       row(PR_BALANCE),
                                       row(PR_DELAY),
                                       row(PR_AUTOSCRAP),
                                       row(PR_ONPLAYEND),
                                       row(PR_ONIDLE),
                                       row(PR_REWINDONLOAD),
                                       row(PR_MUTEONLOAD),
                                       row(PR_OVERLAY),
                                       row(PR_PLAYING).ReadOnly(),
                                       row(PR_INDEX),
                                       row(PR_COUNT).ReadOnly(),
                                       R::Saved([](TNovuVideo& v, Serializer& z) { v.Sync(z); }),
                                   });
  return table;
}

void TNovuVideo::Sync(Serializer& z) {
  SavedRecord r;
  if (z.saving()) {
    r = SavedRecord{source_, paused_, delay_, item_ != nullptr ? item_->GetPosition() : 0, mode_};
  }
  z.String(r.source);
  z.Bool(repeat_);
  z.Bool(auto_scrap_);
  z.Bool(r.paused);
  z.I32(volume_);
  z.I32(balance_);
  z.I32(r.delay);
  z.I32(r.position);
  z.U8(r.mode);
  z.String(on_play_end_);
  z.String(on_idle_);
  if (z.loading()) {
    rewind_on_load_ = false;
    mute_on_load_ = false;
    overlay_ = true;
  }
  if (z.Has(kRewindOnLoadVersion + 1)) z.Bool(rewind_on_load_);
  if (z.Has(kOverlayVersion)) z.Bool(overlay_);
  if (z.Has(kMuteOnLoadVersion + 1)) z.Bool(mute_on_load_);
  if (z.loading()) {
    balance_ = std::clamp(balance_, -10000, 10000);
    loaded_ = r;
  }
}

void TNovuVideo::AfterLoad() {
  const SavedRecord r = loaded_;
  if (mute_on_load_) volume_ = 0;
  SetSource(r.source);
  requested_pos_ = rewind_on_load_ ? 0 : std::max(r.position, 0);
  paused_ = r.paused;
  // A video that cannot be opened any more stays empty; the rest of the save still loads.
  try {
    if (r.mode == LP_STOPFADE) SetPlayMode(LP_PLAY);
    delay_ = r.delay;
    SetPlayMode(r.mode);
  } catch (const NovuError&) {
    ReleaseItem();
    mode_ = r.mode;
  }
}

}  // namespace novu
