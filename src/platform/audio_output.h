#pragma once
// The sound card as the wave mixer sees it: blocks of 44.1 kHz 16-bit stereo PCM queued for
// playing. The real output is SDL's audio device; tests use their own.
#include <cstdint>
#include <memory>
#include <span>

namespace novu::platform {

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // Opens the device for 44100 Hz, 2 channels, 16 bits; false when there is none.
  virtual bool Open() = 0;
  // Appends one block to what the device plays.
  virtual void Queue(std::span<const uint8_t> block) = 0;
  // Bytes queued and not yet played.
  virtual uint32_t QueuedBytes() = 0;
  // Stops playing and drops what is queued.
  virtual void Close() = 0;
};

std::unique_ptr<AudioOutput> CreateSdlAudioOutput();

}  // namespace novu::platform
