#pragma once
// Where the MIDI sequencer sends its messages: a software synthesizer on this platform, a
// recording port in tests.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace novu::platform {

class MidiPort {
 public:
  virtual ~MidiPort() = default;
  // A channel message packed as status | data1 << 8 | data2 << 16.
  virtual void ShortMessage(uint32_t packed) = 0;
  // A system-exclusive message with its F0 (or F7) status byte and, usually, a closing F7.
  virtual void LongMessage(std::span<const uint8_t> bytes) = 0;
  // Silences every voice at once (the port is being closed).
  virtual void Reset() {}
};

// A General MIDI synthesizer that renders what it was sent as 44.1 kHz 16-bit stereo.
class MidiSynth : public MidiPort {
 public:
  static constexpr int kRate = 44100;
  // Adds the next `frames` frames of sound to `mix` (interleaved stereo) with saturation.
  virtual void MixInto(int16_t* mix, size_t frames) = 0;
};

// The sound font found at start: the General MIDI bank installed with the player's
// dependencies; empty when there is none.
std::string FindGeneralMidiSoundFont();

// A FluidSynth synthesizer with `sound_font` loaded; null with `error` set when it cannot be
// made (no such file, not a sound font).
std::unique_ptr<MidiSynth> CreateFluidSynth(const std::string& sound_font, std::string& error);

}  // namespace novu::platform
