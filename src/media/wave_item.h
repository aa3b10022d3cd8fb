#pragma once
// TOggWaveItem: a sound decoded to PCM (Ogg Vorbis, wave or Windows Media) and played through a
// buffer of the wave mixer.
#include <memory>

#include "media/media_item.h"
#include "media/ogg_stream.h"
#include "media/wav_out.h"

namespace novu::media {

// Milliseconds to source bytes, rounded to nearest with ties to even, cut to a whole frame.
int64_t MsToBytes(int64_t ms, const WaveFormat& format);
// Source bytes to milliseconds, rounded to nearest.
int32_t BytesToMs(int64_t bytes, const WaveFormat& format);
// A level in hundredths of a decibel as the mixer's volume 0..256.
int32_t LevelToBufferVolume(int32_t level);

class TOggWaveItem final : public TDMediaItem {
 public:
  TOggWaveItem(TMediaManager& manager, TWavOut& mixer, std::unique_ptr<TOggStream> stream);
  ~TOggWaveItem() override;

  bool GetAutoRepeat() override { return buffer_->loop(); }
  void SetAutoRepeat(bool on) override { buffer_->SetLoop(on); }
  int32_t GetRepeatPos() override { return repeat_pos_; }
  void SetRepeatPos(int32_t ms) override;
  int32_t GetPan() override { return pan_; }
  int32_t GetVolume() override { return level_; }
  void SetPan(int32_t pan) override { pan_ = pan; }
  void SetVolume(int32_t level) override;
  int32_t GetPosition() override;
  void SetPosition(int32_t ms) override;
  int32_t GetLength() override;
  bool IsEnd() override;
  bool IsPlaying() override;
  bool IsPaused() override { return buffer_->paused(); }
  void Play() override;
  void Pause() override { buffer_->Pause(); }

  const TWavBuffer& buffer() const { return *buffer_; }

 private:
  TWavOut& mixer_;
  std::unique_ptr<TOggStream> stream_;
  TWavBuffer* buffer_;
  int32_t repeat_pos_ = 0;
  int32_t pan_ = 0;
  int32_t level_ = 0;
};

}  // namespace novu::media
