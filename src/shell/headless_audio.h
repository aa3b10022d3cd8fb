#pragma once
// The sound of a headless run: after every tick the mixer renders the samples up to the end of
// that tick on the virtual clock (tick k ends at sample floor(15·k·44100/1000)); they go to a
// WAV file or nowhere.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "media/media_service.h"

namespace novu {

class HeadlessAudio {
 public:
  // An empty path renders without keeping the samples.
  explicit HeadlessAudio(std::filesystem::path wav_file);
  ~HeadlessAudio();
  HeadlessAudio(const HeadlessAudio&) = delete;
  HeadlessAudio& operator=(const HeadlessAudio&) = delete;

  static int64_t SampleAtEndOfTick(int64_t tick) { return 15 * tick * 44100 / 1000; }

  // Renders the samples of tick `tick`.
  void AfterTick(media::MediaService& media, int64_t tick);
  // Completes the file and renames it into place; false with `error` set when it failed.
  bool Finish(std::string& error);

 private:
  void Write(std::span<const int16_t> samples);

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::ofstream file_;
  int64_t written_ = 0;  // frames in the file
  std::vector<int16_t> scratch_;
  bool finished_ = false;
};

}  // namespace novu
