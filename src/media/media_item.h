#pragma once
// TDMediaItem: one playing medium as the sound and video controls drive it. Volumes are in
// hundredths of a decibel (-10000 silent, 0 full), positions and lengths in milliseconds.
#include <cstdint>

namespace novu::media {

class TMediaManager;

class TDMediaItem {
 public:
  explicit TDMediaItem(TMediaManager& manager) : manager_(manager) {}
  virtual ~TDMediaItem() = default;
  TDMediaItem(const TDMediaItem&) = delete;
  TDMediaItem& operator=(const TDMediaItem&) = delete;

  virtual bool GetAutoRepeat() { return false; }
  virtual void SetAutoRepeat(bool /*on*/) {}
  virtual int32_t GetRepeatPos() { return 0; }
  virtual void SetRepeatPos(int32_t /*ms*/) {}
  virtual int32_t GetPan() { return 0; }
  virtual int32_t GetVolume() { return 0; }
  virtual void SetPan(int32_t /*pan*/) {}
  virtual void SetVolume(int32_t /*level*/) {}
  virtual int32_t GetPosition() { return 0; }
  virtual void SetPosition(int32_t /*ms*/) {}
  virtual int32_t GetLength() { return 0; }
  virtual bool IsEnd() { return false; }
  virtual bool IsPlaying() { return false; }
  virtual bool IsPaused() { return false; }
  virtual void Play() {}
  virtual void Pause() {}
  virtual void Restore() {}
  // MIDI levels span the whole decibel range; fades treat them apart.
  virtual bool IsMidi() const { return false; }

  TMediaManager& manager() const { return manager_; }
  // Set when the manager paused the item (focus lost, sound off) and will play it again.
  bool suspended() const { return suspended_; }
  void set_suspended(bool on) { suspended_ = on; }

 private:
  TMediaManager& manager_;
  bool suspended_ = false;
};

}  // namespace novu::media
