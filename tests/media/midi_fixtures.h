#pragma once
// A MIDI port that keeps what it was sent, for the sequencer tests.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/midi_port.h"

namespace novu::media::testing {

class RecordingMidiPort final : public platform::MidiPort {
 public:
  void ShortMessage(uint32_t packed) override {
    const uint8_t status = packed & 0xFF;
    std::vector<uint8_t> bytes = {status, static_cast<uint8_t>(packed >> 8)};
    const uint8_t kind = status & 0xF0;
    if (kind != 0xC0 && kind != 0xD0) bytes.push_back(static_cast<uint8_t>(packed >> 16));
    sent.push_back(std::move(bytes));
  }
  void LongMessage(std::span<const uint8_t> bytes) override {
    sent.emplace_back(bytes.begin(), bytes.end());
  }
  void Reset() override { ++resets; }

  // The messages sent whose status byte is `status`.
  std::vector<std::vector<uint8_t>> WithStatus(uint8_t status) const {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& m : sent) {
      if (!m.empty() && m[0] == status) out.push_back(m);
    }
    return out;
  }

  std::vector<std::vector<uint8_t>> sent;
  int resets = 0;
};

}  // namespace novu::media::testing
