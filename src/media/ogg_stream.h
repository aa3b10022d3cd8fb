#pragma once
// The decoder stream of the wave-out path: a sound file (Ogg Vorbis, RIFF wave, Windows Media)
// opened over a range stream and read as PCM bytes, with seeking clamped to the decoded size.
#include <cstdint>
#include <memory>

#include "media/wave_format.h"
#include "platform/pcm_decoder.h"
#include "storage/range_stream.h"

namespace novu::media {

enum class SoundContainer { kOgg, kWave, kWindowsMedia };

// A range stream as the decoders read it.
class RangeByteSource final : public platform::ByteSource {
 public:
  explicit RangeByteSource(std::unique_ptr<TRangeStream> stream) : stream_(std::move(stream)) {}
  int64_t Read(void* buffer, int64_t count) override { return stream_->Read(buffer, count); }
  int64_t SeekTo(int64_t position) override { return stream_->Seek(position, SeekOrigin::kBegin); }
  int64_t Position() override { return stream_->Position(); }
  int64_t Size() override { return stream_->Size(); }

 private:
  std::unique_ptr<TRangeStream> stream_;
};

// The samples of a RIFF wave file, read straight from its data chunk.
std::unique_ptr<platform::PcmDecoder> OpenWaveDecoder(std::unique_ptr<platform::ByteSource> file);

// The decoder for `container`; throws NovuError "サウンドデータが不正です" for data it cannot
// decode.
std::unique_ptr<platform::PcmDecoder> OpenSoundDecoder(std::unique_ptr<platform::ByteSource> file,
                                                       SoundContainer container);

class TOggStream final : public platform::ByteSource {
 public:
  // Refuses a decoder that reports no channels, bits or rate ("サウンドデータが不正です").
  explicit TOggStream(std::unique_ptr<platform::PcmDecoder> decoder);

  const WaveFormat& Format() const { return format_; }
  int64_t Read(void* buffer, int64_t count) override;
  int64_t SeekTo(int64_t position) override;
  int64_t Position() override { return position_; }
  int64_t Size() override { return size_; }

 private:
  std::unique_ptr<platform::PcmDecoder> decoder_;
  WaveFormat format_;
  int64_t size_ = 0;
  int64_t position_ = 0;
};

}  // namespace novu::media
