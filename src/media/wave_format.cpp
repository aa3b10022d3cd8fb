#include "media/wave_format.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/binary_reader.h"
#include "platform/error.h"

namespace novu::media {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xfffe;
constexpr uint32_t kMaxFormatChunk = 1024;

[[noreturn]] void Bad(const char* why) {
  throw NovuError(Jp("サウンドデータが不正です") + " (" + why + ")");
}

uint32_t Tag(const char (&text)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24;
}

template <size_t N>
bool ReadExactly(platform::ByteSource& file, std::array<uint8_t, N>& bytes) {
  return file.Read(bytes.data(), N) == static_cast<int64_t>(N);
}

WaveFormat ParseFormatChunk(std::span<const uint8_t> bytes) {
  BinaryReader in(bytes);
  WaveFormat f;
  f.format_tag = in.U16();
  f.channels = in.U16();
  f.samples_per_sec = in.U32();
  f.avg_bytes_per_sec = in.U32();
  f.block_align = in.U16();
  f.bits_per_sample = in.U16();
  if (f.format_tag != kFormatPcm && f.format_tag != kFormatExtensible) Bad("not PCM");
  if (f.channels < 1 || f.channels > 2) Bad("channels");
  if (f.bits_per_sample != 8 && f.bits_per_sample != 16) Bad("bits per sample");
  if (f.samples_per_sec == 0) Bad("sample rate");
  f.format_tag = kFormatPcm;
  f.block_align = static_cast<uint16_t>(f.channels * f.bits_per_sample / 8);
  f.avg_bytes_per_sec = f.samples_per_sec * f.block_align;
  return f;
}

}  // namespace

WaveFormat WaveFormat::Pcm(int channels, int rate, int bits) {
  WaveFormat f;
  f.channels = static_cast<uint16_t>(channels);
  f.samples_per_sec = static_cast<uint32_t>(rate);
  f.bits_per_sample = static_cast<uint16_t>(bits);
  f.block_align = static_cast<uint16_t>(channels * bits / 8);
  f.avg_bytes_per_sec = static_cast<uint32_t>(rate) * f.block_align;
  return f;
}

uint32_t WaveFormat::FrameBytes() const {
  return std::max<uint32_t>(1, uint32_t{channels} * bits_per_sample / 8);
}

int64_t WaveFormat::BytesPerSecond() const {
  return int64_t{bits_per_sample} * channels * samples_per_sec / 8;
}

WaveLayout ReadWaveLayout(platform::ByteSource& file) {
  file.SeekTo(0);
  std::array<uint8_t, 12> riff{};
  if (!ReadExactly(file, riff)) Bad("too short");
  BinaryReader head(riff);
  if (head.U32() != Tag("RIFF")) Bad("no RIFF header");
  head.U32();
  if (head.U32() != Tag("WAVE")) Bad("not WAVE");

  WaveLayout layout;
  bool have_format = false;
  const int64_t size = file.Size();
  int64_t at = 12;
  while (at + 8 <= size) {
    file.SeekTo(at);
    std::array<uint8_t, 8> header{};
    if (!ReadExactly(file, header)) break;
    BinaryReader chunk(header);
    const uint32_t id = chunk.U32();
    const int64_t length = chunk.U32();
    const int64_t body = at + 8;
    if (id == Tag("fmt ")) {
      if (length < 16 || length > kMaxFormatChunk || body + length > size) Bad("format chunk");
      std::vector<uint8_t> bytes(static_cast<size_t>(length));
      if (file.Read(bytes.data(), length) != length) Bad("format chunk");
      layout.format = ParseFormatChunk(bytes);
      have_format = true;
    } else if (id == Tag("data")) {
      if (!have_format) Bad("data before format");
      const int64_t present = std::min(length, size - body);
      layout.data_offset = body;
      layout.data_size = present - present % layout.format.FrameBytes();
      return layout;
    }
    at = body + length + (length & 1);
  }
  Bad(have_format ? "no data chunk" : "no format chunk");
}

}  // namespace novu::media
