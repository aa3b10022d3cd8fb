#include "media/wave_item.h"

#include <algorithm>
#include <cmath>

#include "media/media_manager.h"

namespace novu::media {

int64_t MsToBytes(int64_t ms, const WaveFormat& format) {
  const double exact =
      static_cast<double>(ms) * static_cast<double>(format.BytesPerSecond()) / 1000.0;
  const auto bytes = static_cast<int64_t>(std::nearbyint(exact));  // ties to even
  const int64_t frame = format.FrameBytes();
  return std::max<int64_t>(bytes, 0) / frame * frame;
}

int32_t BytesToMs(int64_t bytes, const WaveFormat& format) {
  const int64_t rate = std::max<int64_t>(format.BytesPerSecond(), 1);
  return static_cast<int32_t>(std::llround(static_cast<double>(bytes) * 1000.0 / rate));
}

int32_t LevelToBufferVolume(int32_t level) {
  const int64_t clamped = std::clamp<int64_t>(level, -5000, 0);
  return static_cast<int32_t>((clamped + 5000) * 256 / 5000);
}

TOggWaveItem::TOggWaveItem(TMediaManager& manager, TWavOut& mixer,
                           std::unique_ptr<TOggStream> stream)
    : TDMediaItem(manager), mixer_(mixer), stream_(std::move(stream)) {
  buffer_ = mixer_.AddBuffer(stream_->Format(), *stream_);
}

TOggWaveItem::~TOggWaveItem() {
  mixer_.RemoveBuffer(buffer_);
}

void TOggWaveItem::SetRepeatPos(int32_t ms) {
  repeat_pos_ = ms;
  buffer_->SetLoopStart(MsToBytes(ms, stream_->Format()));
}

void TOggWaveItem::SetVolume(int32_t level) {
  level_ = level;
  buffer_->SetVolume(LevelToBufferVolume(level));
}

int32_t TOggWaveItem::GetPosition() {
  return BytesToMs(buffer_->EstimatedPosition(), stream_->Format());
}

void TOggWaveItem::SetPosition(int32_t ms) {
  buffer_->SetPosition(MsToBytes(ms, stream_->Format()));
}

int32_t TOggWaveItem::GetLength() {
  return BytesToMs(stream_->Size(), stream_->Format());
}

bool TOggWaveItem::IsEnd() {
  const bool over = buffer_->IsEndedAndSilent();
  if (over && buffer_->loop()) {
    buffer_->Play();
    return false;
  }
  return over;
}

bool TOggWaveItem::IsPlaying() {
  return buffer_->started() && !buffer_->paused() && !buffer_->IsEndedAndSilent();
}

void TOggWaveItem::Play() {
  if (!manager().enabled()) {
    set_suspended(true);
    return;
  }
  buffer_->Play();
}

}  // namespace novu::media
