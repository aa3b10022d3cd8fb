#include "media/video_item.h"

#include <algorithm>

#include "platform/error.h"

namespace novu::media {

TDsVideoItem::TDsVideoItem(TMediaManager& manager, TWavOut& mixer, std::vector<uint8_t> bytes,
                           std::unique_ptr<platform::VideoDecoder> video,
                           std::unique_ptr<TOggStream> sound)
    : TDMediaItem(manager),
      mixer_(mixer),
      bytes_(std::move(bytes)),
      video_(std::move(video)),
      sound_stream_(std::move(sound)) {
  if (sound_stream_ != nullptr) {
    sound_ = std::make_unique<TOggWaveItem>(manager, mixer_, std::move(sound_stream_));
  }
}

TDsVideoItem::~TDsVideoItem() = default;

void TDsVideoItem::SetVolume(int32_t level) {
  level_ = level;
  if (sound_ != nullptr) sound_->SetVolume(level);
}

int32_t TDsVideoItem::GetPosition() {
  if (!playing_) return base_ms_;
  const int64_t at = int64_t{base_ms_} + (mixer_.NowMs() - started_at_);
  return static_cast<int32_t>(std::min<int64_t>(at, INT32_MAX));
}

void TDsVideoItem::SetPosition(int32_t ms) {
  base_ms_ = std::clamp(ms, 0, std::max(GetLength(), 0));
  started_at_ = mixer_.NowMs();
  if (sound_ != nullptr) sound_->SetPosition(base_ms_);
}

void TDsVideoItem::Wrap() {
  const int32_t length = GetLength();
  if (!repeat_ || !playing_ || length <= 0) return;
  const int32_t at = GetPosition();
  if (at < length) return;
  SetPosition(at % length);
  if (sound_ != nullptr) sound_->Play();
}

bool TDsVideoItem::IsEnd() {
  Wrap();
  return !repeat_ && GetPosition() >= GetLength();
}

void TDsVideoItem::Play() {
  if (!manager().enabled()) {
    set_suspended(true);
    return;
  }
  if (playing_) return;
  if (!repeat_ && base_ms_ >= GetLength()) base_ms_ = 0;
  started_at_ = mixer_.NowMs();
  playing_ = true;
  if (sound_ != nullptr) {
    sound_->SetPosition(base_ms_);
    sound_->Play();
  }
}

void TDsVideoItem::Pause() {
  if (!playing_) return;
  base_ms_ = std::min(GetPosition(), std::max(GetLength(), 0));
  playing_ = false;
  if (sound_ != nullptr) sound_->Pause();
}

bool TDsVideoItem::NeedPaint() {
  Wrap();
  const bool changed = video_->ShowFrameAt(GetPosition());
  const bool first = !shown_once_;
  shown_once_ = true;
  return changed || first;
}

std::unique_ptr<TDMediaItem> TVideoManager::MakeItem(std::string_view name) {
  auto file = files_.Open(name);
  std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(file->Size(), 0)));
  file->SeekTo(0);
  bytes.resize(static_cast<size_t>(
      std::max<int64_t>(file->Read(bytes.data(), static_cast<int64_t>(bytes.size())), 0)));
  std::string error;
  auto video = platform::OpenVideoDecoder(
      std::make_unique<platform::MemoryByteSource>(std::span<const uint8_t>(bytes)), error);
  if (video == nullptr) {
    throw NovuError(std::string(name) + ": the video cannot be played (" + error + ")");
  }
  std::unique_ptr<TOggStream> sound;
  try {
    sound = std::make_unique<TOggStream>(OpenSoundDecoder(
        std::make_unique<platform::MemoryByteSource>(std::span<const uint8_t>(bytes)),
        SoundContainer::kWindowsMedia));
    mixer_.Open(pump_);
  } catch (const NovuError&) {
    sound.reset();  // a video without sound
  }
  return std::make_unique<TDsVideoItem>(*this, mixer_, std::move(bytes), std::move(video),
                                        std::move(sound));
}

}  // namespace novu::media
