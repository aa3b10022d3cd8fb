// Ogg Vorbis decoding through libvorbisfile over a ByteSource.
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <climits>

#include "platform/pcm_decoder.h"

namespace novu::platform {
namespace {

constexpr int kMaxHoles = 64;

size_t ReadCallback(void* ptr, size_t size, size_t count, void* source) {
  if (size == 0 || count == 0) return 0;
  const int64_t want = static_cast<int64_t>(std::min<size_t>(size * count, INT_MAX));
  const int64_t got = static_cast<ByteSource*>(source)->Read(ptr, want);
  return got > 0 ? static_cast<size_t>(got) / size : 0;
}

int SeekCallback(void* source, ogg_int64_t offset, int whence) {
  auto* s = static_cast<ByteSource*>(source);
  int64_t target = offset;
  if (whence == SEEK_CUR) target += s->Position();
  if (whence == SEEK_END) target += s->Size();
  if (target < 0 || target > s->Size()) return -1;
  return s->SeekTo(target) == target ? 0 : -1;
}

long TellCallback(void* source) {
  return static_cast<long>(static_cast<ByteSource*>(source)->Position());
}

class VorbisDecoder final : public PcmDecoder {
 public:
  explicit VorbisDecoder(std::unique_ptr<ByteSource> source) : source_(std::move(source)) {}
  ~VorbisDecoder() override {
    if (open_) ov_clear(&file_);
  }

  bool Open(std::string& error) {
    const ov_callbacks callbacks{ReadCallback, SeekCallback, nullptr, TellCallback};
    if (ov_open_callbacks(source_.get(), &file_, nullptr, 0, callbacks) != 0) {
      error = "not an Ogg Vorbis stream";
      return false;
    }
    open_ = true;
    const vorbis_info* info = ov_info(&file_, -1);
    const ogg_int64_t frames = ov_pcm_total(&file_, -1);
    if (!info || frames < 0) {
      error = "the Ogg Vorbis stream has no length";
      return false;
    }
    format_ = PcmFormat{info->channels, static_cast<int>(info->rate), 16};
    if (format_.channels <= 0 || format_.rate <= 0) {
      error = "the Ogg Vorbis stream has no channels or rate";
      return false;
    }
    total_ = frames * format_.BytesPerFrame();
    return true;
  }

  PcmFormat Format() const override { return format_; }
  int64_t TotalBytes() const override { return total_; }

  int64_t Read(void* buffer, int64_t count) override {
    auto* out = static_cast<char*>(buffer);
    int64_t done = 0;
    int holes = 0;
    while (done < count) {
      const int want = static_cast<int>(std::min<int64_t>(count - done, 1 << 20));
      int section = 0;
      const long got = ov_read(&file_, out + done, want, 0, 2, 1, &section);
      // A hole is a gap in damaged data; decoding goes on after it, but never for ever.
      if (got == OV_HOLE && ++holes < kMaxHoles) continue;
      if (got <= 0) break;
      done += got;
    }
    return done;
  }

  bool SeekBytes(int64_t position) override {
    const int64_t frame = position / format_.BytesPerFrame();
    return ov_pcm_seek(&file_, frame) == 0;
  }

 private:
  std::unique_ptr<ByteSource> source_;
  OggVorbis_File file_{};
  bool open_ = false;
  PcmFormat format_;
  int64_t total_ = 0;
};

}  // namespace

std::unique_ptr<PcmDecoder> OpenVorbisDecoder(std::unique_ptr<ByteSource> source,
                                              std::string& error) {
  auto decoder = std::make_unique<VorbisDecoder>(std::move(source));
  if (!decoder->Open(error)) return nullptr;
  return decoder;
}

}  // namespace novu::platform
