#pragma once
// The 16-byte PCM wave format record and the RIFF WAVE reader: where a wave file's samples are
// and how they are laid out.
#include <cstdint>

#include "platform/pcm_decoder.h"

namespace novu::media {

struct WaveFormat {
  uint16_t format_tag = 1;  // PCM
  uint16_t channels = 0;
  uint32_t samples_per_sec = 0;
  uint32_t avg_bytes_per_sec = 0;
  uint16_t block_align = 0;
  uint16_t bits_per_sample = 0;

  static WaveFormat Pcm(int channels, int rate, int bits);
  // Bytes of one frame (one sample of every channel); at least 1.
  uint32_t FrameBytes() const;
  // Source bytes per second: bits x channels x rate / 8.
  int64_t BytesPerSecond() const;
  bool IsUsable() const { return channels > 0 && samples_per_sec > 0 && bits_per_sample > 0; }
};

// Where the samples of a wave file lie.
struct WaveLayout {
  WaveFormat format;
  int64_t data_offset = 0;
  int64_t data_size = 0;  // whole frames only; a truncated data chunk is cut to what is there
};

// Reads the chunk list of a RIFF WAVE file. Throws NovuError for anything that is not a
// readable PCM wave (8 or 16 bits, 1 or 2 channels, any rate).
WaveLayout ReadWaveLayout(platform::ByteSource& file);

}  // namespace novu::media
