#pragma once
// TWavOut: the player's own wave mixer. Any number of PCM sources (TWavBuffer) are expanded to
// 44.1 kHz 16-bit stereo, scaled by their volume, added with saturation and fed to the audio
// output in chunks of DelayTime milliseconds by a pump thread. Headless runs render the same mix
// on demand instead (Render), paced by the virtual clock.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "media/wave_format.h"
#include "platform/audio_output.h"
#include "platform/clock.h"
#include "platform/pcm_decoder.h"

namespace novu::media {

class TWavOut;

class TWavBuffer {
 public:
  TWavBuffer(TWavOut& mixer, const WaveFormat& format, platform::ByteSource& stream);
  TWavBuffer(const TWavBuffer&) = delete;
  TWavBuffer& operator=(const TWavBuffer&) = delete;

  void Play();
  void Pause();
  // Byte position in the source, cut to a whole frame.
  void SetPosition(int64_t bytes);
  // 0..256; 255 and above leave the samples unchanged.
  void SetVolume(int32_t volume);
  int64_t EstimatedPosition() const;
  bool IsEndedAndSilent() const;

  bool started() const;
  bool paused() const;
  bool ended() const;
  int64_t position() const;
  const WaveFormat& format() const { return format_; }

  // Written by the owning item without the lock; the pump reads each as one value.
  void SetLoop(bool loop) { loop_ = loop; }
  void SetLoopStart(int64_t bytes) { loop_start_ = bytes; }
  bool loop() const { return loop_; }

 private:
  friend class TWavOut;
  // Reads and expands the source for `out_bytes` of output into the work area; the bytes made.
  size_t Fill(size_t out_bytes);
  int64_t AlignedEnd() const;

  TWavOut& mixer_;
  WaveFormat format_;
  platform::ByteSource& stream_;
  int expansion_ = 0;             // output bytes per source byte; 0: a format the mixer cannot play
  std::vector<uint8_t> raw_;      // source bytes of one fill
  std::vector<int16_t> widened_;  // 8-bit sources widened to 16 bits
  std::vector<int16_t> work_;     // the fill expanded to 44.1 kHz 16-bit stereo
  std::atomic<bool> loop_ = false;
  std::atomic<int64_t> loop_start_ = 0;
  // Guarded by the mixer's lock.
  int64_t position_ = 0;
  int32_t volume_ = 256;
  bool started_ = false;
  bool paused_ = false;
  bool ended_ = false;
  std::atomic<uint32_t> last_mix_time_ = 0;
  // The second output frame of a half-rate source frame when a fill ended between the two.
  int16_t carry_[2] = {0, 0};
  bool has_carry_ = false;
};

// A source that makes its own samples (the MIDI synthesizer), mixed after the buffers.
class TWavSource {
 public:
  virtual ~TWavSource() = default;
  // True while it has something to play: the mixer then mixes it as it mixes a playing buffer.
  virtual bool Active() = 0;
  // Adds the next `frames` frames of 44.1 kHz 16-bit stereo to `mix` with saturation.
  virtual void MixInto(int16_t* mix, size_t frames) = 0;
};

class TWavOut {
 public:
  // Output format: 44100 Hz, 2 channels, 16 bits, 176400 bytes per second.
  static constexpr int kBytesPerSecond = 176400;

  // `output` may be null (a mixer that never opens). The clock gives the times of fills.
  TWavOut(int delay_time_ms, platform::Clock& clock, std::unique_ptr<platform::AudioOutput> output);
  ~TWavOut();
  TWavOut(const TWavOut&) = delete;
  TWavOut& operator=(const TWavOut&) = delete;

  // Opens the output and, with `pump`, starts the pump thread; false when already open or when
  // the output cannot be opened.
  bool Open(bool pump = true);
  void Close();
  bool is_open() const { return open_; }

  TWavBuffer* AddBuffer(const WaveFormat& format, platform::ByteSource& stream);
  void RemoveBuffer(TWavBuffer* buffer);
  // Sources are not owned; a source stays registered until it is removed.
  void AddSource(TWavSource* source);
  void RemoveSource(TWavSource* source);
  // A source became active: the pump tops the output up now.
  void SourceStarted() { Kick(); }

  // One step of the pump: tops the output queue up to two chunks while sources play.
  void PumpStep();
  // Mixes the next `out` samples (interleaved stereo, whole frames) as the output
  // would play them; used where a virtual clock paces the sound instead of the device.
  void Render(std::span<int16_t> out);

  int delay_time() const { return delay_time_; }
  uint32_t chunk_bytes() const { return chunk_bytes_; }
  uint32_t NowMs() const;

 private:
  friend class TWavBuffer;
  // Mixes `out_bytes` into `dst`; true when some buffer added samples. Holds the lock.
  bool MixLocked(int16_t* dst, size_t out_bytes);
  void PumpLoop();
  void RemoveFromActive(TWavBuffer* buffer);
  bool AnySourceActiveLocked() const;
  // Lets the pump run a step now (a buffer started playing).
  void Kick();

  const int delay_time_;
  const uint32_t chunk_bytes_;
  platform::Clock& clock_;
  std::unique_ptr<platform::AudioOutput> output_;
  mutable std::mutex lock_;
  std::vector<std::unique_ptr<TWavBuffer>> buffers_;
  std::vector<TWavBuffer*> active_;
  std::vector<TWavSource*> sources_;
  std::vector<int16_t> block_;
  bool open_ = false;
  std::thread pump_;
  std::mutex wake_lock_;
  std::condition_variable wake_;
  bool stop_pump_ = false;
  bool kicked_ = false;
};

}  // namespace novu::media
