#pragma once
// Sources, outputs and wave files made in code for the media tests.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "platform/audio_output.h"
#include "platform/pcm_decoder.h"

namespace novu::media::testing {

// Bytes in memory; `yield_limit` makes reads stop early as a damaged stream would.
class MemorySource final : public platform::ByteSource {
 public:
  explicit MemorySource(std::vector<uint8_t> bytes, int64_t claimed_size = -1)
      : bytes_(std::move(bytes)), claimed_size_(claimed_size) {}
  int64_t Read(void* buffer, int64_t count) override {
    const int64_t real = static_cast<int64_t>(bytes_.size());
    const int64_t n = std::clamp<int64_t>(real - position_, 0, std::max<int64_t>(count, 0));
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    ++reads;
    return n;
  }
  int64_t SeekTo(int64_t position) override {
    return position_ = std::clamp<int64_t>(position, 0, Size());
  }
  int64_t Position() override { return position_; }
  int64_t Size() override {
    return claimed_size_ >= 0 ? claimed_size_ : static_cast<int64_t>(bytes_.size());
  }
  int64_t reads = 0;

 private:
  std::vector<uint8_t> bytes_;
  int64_t claimed_size_;
  int64_t position_ = 0;
};

// An output that keeps every block; `queued` is what it reports as not yet played.
class RecordingOutput final : public platform::AudioOutput {
 public:
  explicit RecordingOutput(std::vector<std::vector<int16_t>>& blocks, uint32_t& queued)
      : blocks_(blocks), queued_(queued) {}
  bool Open() override { return true; }
  void Queue(std::span<const uint8_t> block) override {
    std::vector<int16_t> samples(block.size() / 2);
    std::memcpy(samples.data(), block.data(), samples.size() * 2);
    blocks_.push_back(std::move(samples));
    queued_ += static_cast<uint32_t>(block.size());
  }
  uint32_t QueuedBytes() override { return queued_; }
  void Close() override {}

 private:
  std::vector<std::vector<int16_t>>& blocks_;
  uint32_t& queued_;
};

inline std::vector<uint8_t> Samples16(std::initializer_list<int16_t> values, size_t repeat = 1) {
  std::vector<uint8_t> out;
  for (size_t r = 0; r < repeat; ++r) {
    for (int16_t v : values) {
      out.push_back(static_cast<uint8_t>(v & 0xff));
      out.push_back(static_cast<uint8_t>((v >> 8) & 0xff));
    }
  }
  return out;
}

inline void PutU16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  PutU16(out, v & 0xffff);
  PutU16(out, v >> 16);
}
inline void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

// A RIFF wave file; `extra_chunk` puts a LIST chunk of odd size before the data.
inline std::vector<uint8_t> MakeWave(int channels, int rate, int bits,
                                     std::span<const uint8_t> data, bool extra_chunk = false) {
  std::vector<uint8_t> out;
  PutTag(out, "RIFF");
  PutU32(out, 0);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutU32(out, 16);
  PutU16(out, 1);
  PutU16(out, static_cast<uint32_t>(channels));
  PutU32(out, static_cast<uint32_t>(rate));
  PutU32(out, static_cast<uint32_t>(rate * channels * bits / 8));
  PutU16(out, static_cast<uint32_t>(channels * bits / 8));
  PutU16(out, static_cast<uint32_t>(bits));
  if (extra_chunk) {
    PutTag(out, "LIST");
    PutU32(out, 3);
    out.insert(out.end(), {'a', 'b', 'c', 0});
  }
  PutTag(out, "data");
  PutU32(out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  const uint32_t riff = static_cast<uint32_t>(out.size() - 8);
  std::memcpy(out.data() + 4, &riff, 4);
  return out;
}

}  // namespace novu::media::testing
