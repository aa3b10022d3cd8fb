// The MIDI synthesizer: FluidSynth with a General MIDI sound font, rendered on demand into the
// wave mixer's output rather than through an audio driver of its own.
#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <mutex>
#include <vector>

#include "platform/midi_port.h"

namespace novu::platform {
namespace {

constexpr const char* kSoundFontCandidates[] = {
    "/usr/share/sounds/sf2/TimGM6mb.sf2",   "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/soundfonts/default.sf2",
};

// FluidSynth's warnings (missing instruments, unknown system-exclusive messages) say nothing a
// player should print; its errors go to standard error as usual.
void QuietenFluidSynth() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
      fluid_set_log_function(level, nullptr, nullptr);
    }
  });
}

class FluidSynth final : public MidiSynth {
 public:
  FluidSynth(fluid_settings_t* settings, fluid_synth_t* synth)
      : settings_(settings), synth_(synth) {}
  ~FluidSynth() override {
    delete_fluid_synth(synth_);
    delete_fluid_settings(settings_);
  }
  FluidSynth(const FluidSynth&) = delete;
  FluidSynth& operator=(const FluidSynth&) = delete;

  void ShortMessage(uint32_t packed) override {
    const int status = packed & 0xFF;
    const int channel = status & 0x0F;
    const int data1 = (packed >> 8) & 0x7F;
    const int data2 = (packed >> 16) & 0x7F;
    switch (status & 0xF0) {
      case 0x80:
        fluid_synth_noteoff(synth_, channel, data1);
        break;
      case 0x90:
        fluid_synth_noteon(synth_, channel, data1, data2);  // velocity 0 is a note-off
        break;
      case 0xA0:
        fluid_synth_key_pressure(synth_, channel, data1, data2);
        break;
      case 0xB0:
        fluid_synth_cc(synth_, channel, data1, data2);
        break;
      case 0xC0:
        fluid_synth_program_change(synth_, channel, data1);
        break;
      case 0xD0:
        fluid_synth_channel_pressure(synth_, channel, data1);
        break;
      case 0xE0:
        fluid_synth_pitch_bend(synth_, channel, data1 | data2 << 7);
        break;
      default:
        break;
    }
  }

  void LongMessage(std::span<const uint8_t> bytes) override {
    // FluidSynth takes the message without its F0 and closing F7.
    if (bytes.size() < 2) return;
    size_t length = bytes.size() - 1;
    if (bytes.back() == 0xF7) --length;
    std::vector<char> body(bytes.begin() + 1, bytes.begin() + 1 + static_cast<ptrdiff_t>(length));
    fluid_synth_sysex(synth_, body.data(), static_cast<int>(body.size()), nullptr, nullptr, nullptr,
                      0);
  }

  void Reset() override { fluid_synth_system_reset(synth_); }

  void MixInto(int16_t* mix, size_t frames) override {
    while (frames > 0) {
      const size_t n = std::min(frames, kBlockFrames);
      fluid_synth_write_s16(synth_, static_cast<int>(n), block_.data(), 0, 2, block_.data(), 1, 2);
      for (size_t i = 0; i < 2 * n; ++i) {
        mix[i] = static_cast<int16_t>(std::clamp(mix[i] + block_[i], -32768, 32767));
      }
      mix += 2 * n;
      frames -= n;
    }
  }

 private:
  static constexpr size_t kBlockFrames = 512;
  fluid_settings_t* settings_;
  fluid_synth_t* synth_;
  std::array<int16_t, 2 * kBlockFrames> block_{};
};

}  // namespace

std::string FindGeneralMidiSoundFont() {
  for (const char* candidate : kSoundFontCandidates) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
  }
  return {};
}

std::unique_ptr<MidiSynth> CreateFluidSynth(const std::string& sound_font, std::string& error) {
  QuietenFluidSynth();
  if (sound_font.empty()) {
    error = "no General MIDI sound font is installed";
    return nullptr;
  }
  fluid_settings_t* settings = new_fluid_settings();
  if (settings == nullptr) {
    error = "the MIDI synthesizer cannot be set up";
    return nullptr;
  }
  fluid_settings_setnum(settings, "synth.sample-rate", MidiSynth::kRate);
  fluid_settings_setint(settings, "synth.threadsafe-api", 1);
  fluid_settings_setint(settings, "synth.cpu-cores", 1);
  fluid_synth_t* synth = new_fluid_synth(settings);
  if (synth == nullptr) {
    delete_fluid_settings(settings);
    error = "the MIDI synthesizer cannot be set up";
    return nullptr;
  }
  auto made = std::make_unique<FluidSynth>(settings, synth);
  if (fluid_synth_sfload(synth, sound_font.c_str(), 1) == FLUID_FAILED) {
    error = "the sound font " + sound_font + " cannot be loaded";
    return nullptr;
  }
  return made;
}

}  // namespace novu::platform
