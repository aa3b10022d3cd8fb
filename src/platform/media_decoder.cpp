// Audio in any container FFmpeg knows (Windows Media / ASF above all), decoded at once into
// 16-bit PCM through libavformat with our own I/O over a ByteSource and libswresample.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/ffmpeg_byte_io.h"
#include "platform/pcm_decoder.h"

namespace novu::platform {
namespace {

// A decoded stream larger than this is refused rather than exhausting memory.
constexpr int64_t kMaxDecodedBytes = int64_t{1} << 31;
// Studio recordings go up to 384 kHz and 7.1 sound has 8 channels; beyond these a header is
// damaged.
constexpr int kMaxSampleRate = 384000;
constexpr int kMaxChannels = 32;

// Everything FFmpeg hands out, freed in reverse.
struct FfmpegState {
  AVIOContext* io = nullptr;
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  SwrContext* resampler = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;

  ~FfmpegState() {
    av_frame_free(&frame);
    av_packet_free(&packet);
    swr_free(&resampler);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    CloseByteSourceIo(io);
  }
};

class MemoryPcmDecoder final : public PcmDecoder {
 public:
  MemoryPcmDecoder(PcmFormat format, std::vector<uint8_t> pcm)
      : format_(format), pcm_(std::move(pcm)) {}
  PcmFormat Format() const override { return format_; }
  int64_t TotalBytes() const override { return static_cast<int64_t>(pcm_.size()); }
  int64_t Read(void* buffer, int64_t count) override {
    const int64_t n = std::clamp<int64_t>(TotalBytes() - position_, 0, std::max<int64_t>(count, 0));
    if (n > 0) std::memcpy(buffer, pcm_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
  }
  bool SeekBytes(int64_t position) override {
    position_ = std::clamp<int64_t>(position, 0, TotalBytes());
    return true;
  }

 private:
  PcmFormat format_;
  std::vector<uint8_t> pcm_;
  int64_t position_ = 0;
};

class MediaDecoding {
 public:
  explicit MediaDecoding(ByteSource& source) : source_(source) {}

  std::unique_ptr<PcmDecoder> Run(std::string& error) {
    if (!OpenInput(error) || !OpenCodec(error) || !OpenResampler(error)) return nullptr;
    if (!DecodeAll(error)) return nullptr;
    return std::make_unique<MemoryPcmDecoder>(out_format_, std::move(pcm_));
  }

 private:
  bool OpenInput(std::string& error) {
    s_.io = OpenByteSourceIo(source_);
    if (!s_.io) {
      error = "out of memory";
      return false;
    }
    s_.format = avformat_alloc_context();
    s_.format->pb = s_.io;
    s_.format->flags |= AVFMT_FLAG_CUSTOM_IO;
    if (avformat_open_input(&s_.format, nullptr, nullptr, nullptr) < 0) {
      error = "unknown media container";  // avformat_open_input freed the context
      return false;
    }
    if (avformat_find_stream_info(s_.format, nullptr) < 0) {
      error = "the media stream cannot be read";
      return false;
    }
    stream_ = av_find_best_stream(s_.format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (stream_ < 0) {
      error = "no audio stream";
      return false;
    }
    return true;
  }

  bool OpenCodec(std::string& error) {
    const AVCodecParameters* params = s_.format->streams[stream_]->codecpar;
    const AVCodec* decoder = avcodec_find_decoder(params->codec_id);
    if (!decoder) {
      error = "no decoder for the audio codec";
      return false;
    }
    s_.codec = avcodec_alloc_context3(decoder);
    if (!s_.codec || avcodec_parameters_to_context(s_.codec, params) < 0 ||
        avcodec_open2(s_.codec, decoder, nullptr) < 0) {
      error = "the audio decoder cannot be opened";
      return false;
    }
    if (s_.codec->sample_rate <= 0 || s_.codec->ch_layout.nb_channels <= 0) {
      error = "the audio stream has no channels or rate";
      return false;
    }
    // The rate and channel count come from the file's header: a damaged one can ask for a
    // rate of a gigahertz, and the resampler would then build filter tables of gigabytes.
    if (s_.codec->sample_rate > kMaxSampleRate || s_.codec->ch_layout.nb_channels > kMaxChannels) {
      error = "the audio stream's rate or channel count is out of range";
      return false;
    }
    return true;
  }

  bool OpenResampler(std::string& error) {
    const int channels = s_.codec->ch_layout.nb_channels;
    const int rate = s_.codec->sample_rate;
    const bool mixer_rate = rate == 44100 || rate == 22050;
    out_format_ =
        PcmFormat{channels <= 2 && mixer_rate ? channels : 2, mixer_rate ? rate : 44100, 16};
    AVChannelLayout out_layout;
    av_channel_layout_default(&out_layout, out_format_.channels);
    if (s_.codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
      av_channel_layout_uninit(&s_.codec->ch_layout);
      av_channel_layout_default(&s_.codec->ch_layout, channels);
    }
    const int rc =
        swr_alloc_set_opts2(&s_.resampler, &out_layout, AV_SAMPLE_FMT_S16, out_format_.rate,
                            &s_.codec->ch_layout, s_.codec->sample_fmt, rate, 0, nullptr);
    av_channel_layout_uninit(&out_layout);
    if (rc < 0 || swr_init(s_.resampler) < 0) {
      error = "the audio samples cannot be converted";
      return false;
    }
    s_.packet = av_packet_alloc();
    s_.frame = av_frame_alloc();
    if (!s_.packet || !s_.frame) {
      error = "out of memory";
      return false;
    }
    return true;
  }

  // Converts `frame` (null: flushes the resampler) and appends the samples.
  bool Append(const AVFrame* frame) {
    const int in_samples = frame ? frame->nb_samples : 0;
    const int capacity = swr_get_out_samples(s_.resampler, in_samples);
    if (capacity <= 0) return true;
    const size_t frame_bytes = static_cast<size_t>(out_format_.BytesPerFrame());
    const size_t old = pcm_.size();
    if (static_cast<int64_t>(old + capacity * frame_bytes) > kMaxDecodedBytes) return false;
    pcm_.resize(old + capacity * frame_bytes);
    uint8_t* out = pcm_.data() + old;
    const int got = swr_convert(s_.resampler, &out, capacity,
                                frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr,
                                in_samples);
    pcm_.resize(old + static_cast<size_t>(std::max(got, 0)) * frame_bytes);
    return got >= 0;
  }

  bool ReceiveFrames() {
    while (avcodec_receive_frame(s_.codec, s_.frame) == 0) {
      const bool ok = Append(s_.frame);
      av_frame_unref(s_.frame);
      if (!ok) return false;
    }
    return true;
  }

  // Damaged packets are skipped as FFmpeg's own tools skip them; what decodes is kept.
  bool DecodeAll(std::string& error) {
    while (av_read_frame(s_.format, s_.packet) >= 0) {
      if (s_.packet->stream_index == stream_) avcodec_send_packet(s_.codec, s_.packet);
      av_packet_unref(s_.packet);
      if (!ReceiveFrames()) {
        error = "the decoded audio is too large";
        return false;
      }
    }
    avcodec_send_packet(s_.codec, nullptr);
    if (!ReceiveFrames() || !Append(nullptr)) {
      error = "the decoded audio is too large";
      return false;
    }
    return true;
  }

  ByteSource& source_;
  FfmpegState s_;
  int stream_ = -1;
  PcmFormat out_format_;
  std::vector<uint8_t> pcm_;
};

}  // namespace

std::unique_ptr<PcmDecoder> OpenMediaDecoder(std::unique_ptr<ByteSource> source,
                                             std::string& error) {
  av_log_set_level(AV_LOG_QUIET);
  return MediaDecoding(*source).Run(error);
}

}  // namespace novu::platform
