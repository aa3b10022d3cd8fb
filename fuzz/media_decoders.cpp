// Fuzzes the sound front ends: the first byte picks the wave reader, the Ogg Vorbis decoder or the
// Windows Media decoder, the rest is the file. What opens is decoded through the wave mixer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "media/ogg_stream.h"
#include "media/wav_out.h"
#include "platform/clock.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu::media;
  if (size < 1) return 0;
  const SoundContainer containers[] = {SoundContainer::kWave, SoundContainer::kOgg,
                                       SoundContainer::kWindowsMedia};
  const SoundContainer container = containers[data[0] % 3];
  try {
    TOggStream stream(OpenSoundDecoder(std::make_unique<novu::platform::MemoryByteSource>(
                                           std::span<const uint8_t>(data + 1, size - 1)),
                                       container));
    novu::platform::ManualClock clock;
    TWavOut mixer(100, clock, nullptr);
    TWavBuffer* buffer = mixer.AddBuffer(stream.Format(), stream);
    buffer->SetLoop(data[0] & 8);
    buffer->SetLoopStart(size);
    buffer->Play();
    std::vector<int16_t> out(2 * 4411);
    // A bounded number of renders: enough to reach the end of what a small input decodes to.
    for (int i = 0; i < 64 && !buffer->ended(); ++i) mixer.Render(out);
  } catch (const novu::NovuError&) {
  }
  return 0;
}
