#include "shell/headless_audio.h"

#include <array>
#include <cstring>

namespace novu {
namespace {

constexpr size_t kHeaderBytes = 44;

void PutU32(uint8_t* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutU16(uint8_t* at, uint16_t v) {
  at[0] = static_cast<uint8_t>(v);
  at[1] = static_cast<uint8_t>(v >> 8);
}

// The 44-byte header of a 44.1 kHz 16-bit stereo PCM file with `data_bytes` of samples.
std::array<uint8_t, kHeaderBytes> WaveHeader(uint32_t data_bytes) {
  std::array<uint8_t, kHeaderBytes> h{};
  std::memcpy(h.data(), "RIFF", 4);
  PutU32(h.data() + 4, 36 + data_bytes);
  std::memcpy(h.data() + 8, "WAVEfmt ", 8);
  PutU32(h.data() + 16, 16);
  PutU16(h.data() + 20, 1);
  PutU16(h.data() + 22, 2);
  PutU32(h.data() + 24, 44100);
  PutU32(h.data() + 28, 176400);
  PutU16(h.data() + 32, 4);
  PutU16(h.data() + 34, 16);
  std::memcpy(h.data() + 36, "data", 4);
  PutU32(h.data() + 40, data_bytes);
  return h;
}

}  // namespace

HeadlessAudio::HeadlessAudio(std::filesystem::path wav_file) : target_(std::move(wav_file)) {
  if (target_.empty()) return;
  temporary_ = target_;
  temporary_ += ".tmp";
  file_.open(temporary_, std::ios::binary | std::ios::trunc);
  const auto header = WaveHeader(0);
  file_.write(reinterpret_cast<const char*>(header.data()), header.size());
}

HeadlessAudio::~HeadlessAudio() {
  if (!finished_ && !temporary_.empty()) {
    file_.close();
    std::error_code ec;
    std::filesystem::remove(temporary_, ec);
  }
}

void HeadlessAudio::Write(std::span<const int16_t> samples) {
  written_ += static_cast<int64_t>(samples.size() / 2);
  if (!file_.is_open()) return;
  std::vector<uint8_t> bytes(samples.size() * 2);
  for (size_t i = 0; i < samples.size(); ++i)
    PutU16(bytes.data() + 2 * i, static_cast<uint16_t>(samples[i]));
  file_.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void HeadlessAudio::AfterTick(media::MediaService& media, int64_t tick) {
  const int64_t frames = SampleAtEndOfTick(tick) - written_;
  if (frames <= 0) return;
  scratch_.assign(static_cast<size_t>(frames * 2), 0);
  media.Render(scratch_);
  Write(scratch_);
}

bool HeadlessAudio::Finish(std::string& error) {
  finished_ = true;
  if (temporary_.empty()) return true;
  const int64_t data_bytes = written_ * 4;
  const auto header =
      WaveHeader(static_cast<uint32_t>(std::min<int64_t>(data_bytes, UINT32_MAX - 36)));
  file_.seekp(0);
  file_.write(reinterpret_cast<const char*>(header.data()), header.size());
  file_.close();
  if (!file_) {
    error = "cannot write " + temporary_.string();
    return false;
  }
  std::error_code ec;
  std::filesystem::rename(temporary_, target_, ec);
  if (ec) {
    error =
        "cannot rename " + temporary_.string() + " to " + target_.string() + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace novu
