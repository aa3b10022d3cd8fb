#include "media/ogg_stream.h"

#include <algorithm>

#include "platform/error.h"

namespace novu::media {
namespace {

[[noreturn]] void BadSoundData(const std::string& detail) {
  throw NovuError(Jp("サウンドデータが不正です") + (detail.empty() ? "" : " (" + detail + ")"));
}

class WaveDecoder final : public platform::PcmDecoder {
 public:
  WaveDecoder(std::unique_ptr<platform::ByteSource> file, const WaveLayout& layout)
      : file_(std::move(file)), layout_(layout) {}

  platform::PcmFormat Format() const override {
    return {layout_.format.channels, static_cast<int>(layout_.format.samples_per_sec),
            layout_.format.bits_per_sample};
  }
  int64_t TotalBytes() const override { return layout_.data_size; }

  int64_t Read(void* buffer, int64_t count) override {
    const int64_t n = std::clamp<int64_t>(layout_.data_size - position_, 0, count);
    if (n == 0) return 0;
    file_->SeekTo(layout_.data_offset + position_);
    const int64_t got = std::max<int64_t>(file_->Read(buffer, n), 0);
    position_ += got;
    return got;
  }

  bool SeekBytes(int64_t position) override {
    position_ = std::clamp<int64_t>(position, 0, layout_.data_size);
    return true;
  }

 private:
  std::unique_ptr<platform::ByteSource> file_;
  WaveLayout layout_;
  int64_t position_ = 0;
};

}  // namespace

std::unique_ptr<platform::PcmDecoder> OpenWaveDecoder(std::unique_ptr<platform::ByteSource> file) {
  const WaveLayout layout = ReadWaveLayout(*file);
  return std::make_unique<WaveDecoder>(std::move(file), layout);
}

std::unique_ptr<platform::PcmDecoder> OpenSoundDecoder(std::unique_ptr<platform::ByteSource> file,
                                                       SoundContainer container) {
  std::string error;
  std::unique_ptr<platform::PcmDecoder> decoder;
  switch (container) {
    case SoundContainer::kWave:
      return OpenWaveDecoder(std::move(file));
    case SoundContainer::kOgg:
      decoder = platform::OpenVorbisDecoder(std::move(file), error);
      break;
    case SoundContainer::kWindowsMedia:
      decoder = platform::OpenMediaDecoder(std::move(file), error);
      break;
  }
  if (!decoder) BadSoundData(error);
  return decoder;
}

TOggStream::TOggStream(std::unique_ptr<platform::PcmDecoder> decoder)
    : decoder_(std::move(decoder)) {
  const platform::PcmFormat f = decoder_ ? decoder_->Format() : platform::PcmFormat{};
  if (f.channels <= 0 || f.rate <= 0 || f.bits <= 0 || f.channels > 0xffff || f.bits > 0xffff) {
    BadSoundData("");
  }
  format_ = WaveFormat::Pcm(f.channels, f.rate, f.bits);
  size_ = std::max<int64_t>(decoder_->TotalBytes(), 0);
}

int64_t TOggStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const int64_t got = std::max<int64_t>(decoder_->Read(buffer, count), 0);
  position_ += got;
  return got;
}

int64_t TOggStream::SeekTo(int64_t position) {
  const int64_t target = std::clamp<int64_t>(position, 0, size_);
  if (target == position_) return position_;
  if (decoder_->SeekBytes(target)) position_ = target;
  return position_;
}

}  // namespace novu::media
