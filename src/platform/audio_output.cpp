#include "platform/audio_output.h"

#include <SDL.h>

namespace novu::platform {
namespace {

class SdlAudioOutput final : public AudioOutput {
 public:
  ~SdlAudioOutput() override { Close(); }

  bool Open() override {
    if (device_ != 0) return false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    subsystem_ = true;
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16LSB;
    want.channels = 2;
    want.samples = 2048;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) return false;
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

  void Queue(std::span<const uint8_t> block) override {
    if (device_ != 0) SDL_QueueAudio(device_, block.data(), static_cast<Uint32>(block.size()));
  }

  uint32_t QueuedBytes() override { return device_ != 0 ? SDL_GetQueuedAudioSize(device_) : 0; }

  void Close() override {
    if (device_ != 0) {
      SDL_ClearQueuedAudio(device_);
      SDL_CloseAudioDevice(device_);
      device_ = 0;
    }
    if (subsystem_) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      subsystem_ = false;
    }
  }

 private:
  SDL_AudioDeviceID device_ = 0;
  bool subsystem_ = false;
};

}  // namespace

std::unique_ptr<AudioOutput> CreateSdlAudioOutput() {
  return std::make_unique<SdlAudioOutput>();
}

}  // namespace novu::platform
