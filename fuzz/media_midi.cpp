// Fuzzes the standard MIDI file parser and plays what it parsed through the sequencer: the first
// byte picks auto-repeat and a start position, the rest is the file.
#include <cstddef>
#include <cstdint>
#include <span>

#include "media/midi_sequencer.h"
#include "platform/clock.h"
#include "platform/midi_port.h"

namespace {

class CountingPort final : public novu::platform::MidiPort {
 public:
  void ShortMessage(uint32_t packed) override { sum_ += packed; }
  void LongMessage(std::span<const uint8_t> bytes) override { sum_ += bytes.size(); }

 private:
  uint64_t sum_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu::media;
  if (size < 1) return 0;
  novu::platform::ManualClock clock;
  CountingPort port;
  TMidiPlayV sequencer(clock);
  sequencer.LoadSong(std::span<const uint8_t>(data + 1, size - 1));
  sequencer.OpenPort(&port);
  sequencer.SetAutoRepeat(data[0] & 1);
  sequencer.StartAt((data[0] >> 1) * 100);
  // A bounded run: two minutes of song in steps of a quarter second, with a jump back.
  for (int i = 0; i < 480; ++i) {
    clock.Advance(250);
    sequencer.Tick();
    if (i == 240) sequencer.StartAt(sequencer.CurrentTime() / 2);
  }
  sequencer.SetControllerScale(7, 50);
  sequencer.StopSong();
  return 0;
}
