// Fuzzes the sound front ends: the first byte picks the wave reader, the Ogg Vorbis decoder or the
// Windows Media decoder, the rest is the file. What opens is decoded through the wave mixer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "core/error.h"
#include "media/ogg_stream.h"
#include "media/wav_out.h"
#include "platform/clock.h"

namespace {

class FuzzSource final : public novu::platform::ByteSource {
 public:
  FuzzSource(const uint8_t* data, size_t size) : bytes_(data, data + size) {}
  int64_t Read(void* buffer, int64_t count) override {
    const int64_t n = std::clamp<int64_t>(Size() - position_, 0, std::max<int64_t>(count, 0));
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
  }
  int64_t SeekTo(int64_t position) override {
    return position_ = std::clamp<int64_t>(position, 0, Size());
  }
  int64_t Position() override { return position_; }
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }

 private:
  std::vector<uint8_t> bytes_;
  int64_t position_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace novu::media;
  if (size < 1) return 0;
  const SoundContainer containers[] = {SoundContainer::kWave, SoundContainer::kOgg,
                                       SoundContainer::kWindowsMedia};
  const SoundContainer container = containers[data[0] % 3];
  try {
    TOggStream stream(
        OpenSoundDecoder(std::make_unique<FuzzSource>(data + 1, size - 1), container));
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
