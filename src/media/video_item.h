#pragma once
// Videos: TDsVideoItem decodes its file frame by frame (platform/video_decoder.h) on the media
// clock and plays the file's sound through the wave mixer; the video control copies the current
// frame into its own surface. This platform has no overlay window: a video asked to play in
// one is drawn into the control's surface all the same (the control places nothing on screen).
#include <cstdint>
#include <memory>
#include <vector>

#include "media/media_manager.h"
#include "media/media_service.h"
#include "media/wav_out.h"
#include "media/wave_item.h"
#include "platform/video_decoder.h"

namespace novu::media {

class TDsVideoItem final : public TDMediaItem {
 public:
  TDsVideoItem(TMediaManager& manager, TWavOut& mixer, std::vector<uint8_t> bytes,
               std::unique_ptr<platform::VideoDecoder> video, std::unique_ptr<TOggStream> sound);
  ~TDsVideoItem() override;

  bool GetAutoRepeat() override { return repeat_; }
  void SetAutoRepeat(bool on) override { repeat_ = on; }
  int32_t GetPan() override { return pan_; }
  void SetPan(int32_t pan) override { pan_ = pan; }
  int32_t GetVolume() override { return level_; }
  void SetVolume(int32_t level) override;
  int32_t GetPosition() override;
  void SetPosition(int32_t ms) override;
  int32_t GetLength() override { return video_->LengthMs(); }
  bool IsEnd() override;
  bool IsPlaying() override { return playing_ && !IsEnd(); }
  bool IsPaused() override { return !playing_; }
  void Play() override;
  void Pause() override;

  int SourceWidth() const { return video_->Width(); }
  int SourceHeight() const { return video_->Height(); }
  bool visible() const { return visible_; }
  void SetVisible(bool on) { visible_ = on; }
  // Decodes the frame of the current position; true when a new frame is to be painted.
  bool NeedPaint();
  const platform::VideoDecoder& frame() const { return *video_; }

 private:
  // Wraps the position of a repeating video that has passed its end.
  void Wrap();

  TWavOut& mixer_;
  std::vector<uint8_t> bytes_;  // read by both decoders
  std::unique_ptr<platform::VideoDecoder> video_;
  std::unique_ptr<TOggStream> sound_stream_;
  std::unique_ptr<TOggWaveItem> sound_;
  bool repeat_ = false;
  bool playing_ = false;
  bool visible_ = true;
  int32_t pan_ = 0;
  int32_t level_ = 0;
  int32_t base_ms_ = 0;      // the position when the clock was last read into it
  uint32_t started_at_ = 0;  // media clock when playing last started
  bool shown_once_ = false;
};

class TVideoManager final : public TMediaManager {
 public:
  TVideoManager(MediaFiles& files, TWavOut& mixer, bool pump)
      : files_(files), mixer_(mixer), pump_(pump) {}
  ~TVideoManager() override { FreeItems(); }

 protected:
  // Throws NovuError naming the file and the reason when it holds no playable video.
  std::unique_ptr<TDMediaItem> MakeItem(std::string_view name) override;

 private:
  MediaFiles& files_;
  TWavOut& mixer_;
  bool pump_;
};

}  // namespace novu::media
