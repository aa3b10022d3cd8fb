// Video through libavformat and libavcodec with our own I/O over a ByteSource; frames are
// converted to 32-bit pixels with libswscale.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/ffmpeg_byte_io.h"
#include "platform/video_decoder.h"

namespace novu::platform {
namespace {

class FfmpegVideoDecoder final : public VideoDecoder {
 public:
  explicit FfmpegVideoDecoder(std::unique_ptr<ByteSource> source) : source_(std::move(source)) {}
  ~FfmpegVideoDecoder() override {
    sws_freeContext(scaler_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&codec_);
    avformat_close_input(&format_);
    CloseByteSourceIo(io_);
  }

  bool Open(std::string& error) {
    io_ = OpenByteSourceIo(*source_);
    if (!io_) {
      error = "out of memory";
      return false;
    }
    format_ = avformat_alloc_context();
    format_->pb = io_;
    format_->flags |= AVFMT_FLAG_CUSTOM_IO;
    if (avformat_open_input(&format_, nullptr, nullptr, nullptr) < 0) {
      error = "unknown video container";  // avformat_open_input freed the context
      return false;
    }
    if (avformat_find_stream_info(format_, nullptr) < 0) {
      error = "the video stream cannot be read";
      return false;
    }
    stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream_ < 0) {
      error = "no video stream";
      return false;
    }
    const AVCodecParameters* params = format_->streams[stream_]->codecpar;
    if (params->width <= 0 || params->height <= 0 || params->width > kMaxSide ||
        params->height > kMaxSide) {
      error = "the video's frame size " + std::to_string(params->width) + "x" +
              std::to_string(params->height) + " is out of range";
      return false;
    }
    const AVCodec* decoder = avcodec_find_decoder(params->codec_id);
    if (!decoder) {
      error = "no decoder for this video";
      return false;
    }
    codec_ = avcodec_alloc_context3(decoder);
    if (codec_) codec_->thread_count = 1;
    if (!codec_ || avcodec_parameters_to_context(codec_, params) < 0 ||
        avcodec_open2(codec_, decoder, nullptr) < 0) {
      error = "the video decoder cannot be opened";
      return false;
    }
    width_ = params->width;
    height_ = params->height;
    time_base_ = format_->streams[stream_]->time_base;
    start_pts_ = format_->streams[stream_]->start_time;
    length_ms_ = Length();
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    pixels_.assign(static_cast<size_t>(width_) * height_ * 4, 0);
    return packet_ && frame_;
  }

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int32_t LengthMs() const override { return length_ms_; }
  const uint8_t* Pixels() const override { return pixels_.data(); }
  int Pitch() const override { return width_ * 4; }

  bool ShowFrameAt(int32_t ms) override {
    ms = std::max(ms, 0);
    if (shown_ms_ >= 0 && ms < shown_ms_) Rewind();
    bool changed = false;
    while (!ended_) {
      if (!has_pending_ && !DecodeNext()) break;
      if (has_pending_ && pending_ms_ > ms && shown_ms_ >= 0) break;
      // The pending frame is due (or it is the first one): convert and show it.
      Convert();
      shown_ms_ = pending_ms_;
      has_pending_ = false;
      changed = true;
    }
    return changed;
  }

 private:
  // The end of the last video packet: containers' own durations are guesses for MPEG streams
  // (from the bit rate), so the packets are read once through, without decoding.
  int32_t Length() {
    int64_t end = AV_NOPTS_VALUE;
    AVPacket* packet = av_packet_alloc();
    while (packet != nullptr && av_read_frame(format_, packet) >= 0) {
      if (packet->stream_index == stream_) {
        const int64_t at = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        if (at != AV_NOPTS_VALUE) end = std::max(end, at + FrameDuration(*packet));
      }
      av_packet_unref(packet);
    }
    av_packet_free(&packet);
    av_seek_frame(format_, stream_, 0, AVSEEK_FLAG_BACKWARD);
    if (end == AV_NOPTS_VALUE) return 0;
    if (start_pts_ != AV_NOPTS_VALUE) end -= start_pts_;
    return static_cast<int32_t>(
        std::clamp<int64_t>(av_rescale_q(end, time_base_, AVRational{1, 1000}), 0, INT32_MAX));
  }

  // A packet's duration; MPEG packets carry none, their frame rate tells.
  int64_t FrameDuration(const AVPacket& packet) const {
    if (packet.duration > 0) return packet.duration;
    const AVRational rate = format_->streams[stream_]->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) return 0;
    return av_rescale_q(1, av_inv_q(rate), time_base_);
  }

  void Rewind() {
    av_seek_frame(format_, stream_, 0, AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(codec_);
    ended_ = false;
    draining_ = false;
    has_pending_ = false;
    shown_ms_ = -1;
  }

  // Decodes the next frame into frame_; false at the end or on damaged data.
  bool DecodeNext() {
    while (true) {
      const int got = avcodec_receive_frame(codec_, frame_);
      if (got == 0) {
        // Times count from the stream's first frame (MPEG streams start later than 0).
        int64_t pts = frame_->best_effort_timestamp;
        if (pts != AV_NOPTS_VALUE && start_pts_ != AV_NOPTS_VALUE) pts -= start_pts_;
        pending_ms_ =
            pts == AV_NOPTS_VALUE
                ? std::max(shown_ms_, 0)
                : static_cast<int32_t>(av_rescale_q(pts, time_base_, AVRational{1, 1000}));
        has_pending_ = true;
        return true;
      }
      if (got != AVERROR(EAGAIN) || draining_) {
        ended_ = true;
        return false;
      }
      if (av_read_frame(format_, packet_) < 0) {
        draining_ = true;
        avcodec_send_packet(codec_, nullptr);
        continue;
      }
      if (packet_->stream_index == stream_) avcodec_send_packet(codec_, packet_);
      av_packet_unref(packet_);
    }
  }

  void Convert() {
    if (frame_->width != width_ || frame_->height != height_) return;  // a damaged frame
    scaler_ = sws_getCachedContext(scaler_, width_, height_,
                                   static_cast<AVPixelFormat>(frame_->format), width_, height_,
                                   AV_PIX_FMT_BGR0, SWS_POINT, nullptr, nullptr, nullptr);
    if (!scaler_) return;
    uint8_t* planes[1] = {pixels_.data()};
    const int pitches[1] = {width_ * 4};
    sws_scale(scaler_, frame_->data, frame_->linesize, 0, height_, planes, pitches);
  }

  std::unique_ptr<ByteSource> source_;
  AVIOContext* io_ = nullptr;
  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  SwsContext* scaler_ = nullptr;
  int stream_ = -1;
  AVRational time_base_{1, 1000};
  int64_t start_pts_ = AV_NOPTS_VALUE;
  int width_ = 0;
  int height_ = 0;
  int32_t length_ms_ = 0;
  std::vector<uint8_t> pixels_;
  int32_t shown_ms_ = -1;
  int32_t pending_ms_ = 0;
  bool has_pending_ = false;
  bool draining_ = false;
  bool ended_ = false;
};

}  // namespace

std::unique_ptr<VideoDecoder> OpenVideoDecoder(std::unique_ptr<ByteSource> source,
                                               std::string& error) {
  av_log_set_level(AV_LOG_QUIET);  // damage is reported through `error`, not on the terminal
  auto decoder = std::make_unique<FfmpegVideoDecoder>(std::move(source));
  if (!decoder->Open(error)) return nullptr;
  return decoder;
}

}  // namespace novu::platform
