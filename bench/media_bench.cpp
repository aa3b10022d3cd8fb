// Sound: decoding a generated Ogg file through our range-stream decoder against libvorbisfile
// reading the same bytes from memory, and mixing eight voices for one 15 ms tick against copying
// the same number of bytes. The Ogg file is made by the ffmpeg command-line tool at start.
#include <benchmark/benchmark.h>
#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "media/ogg_stream.h"
#include "media/wav_out.h"
#include "ratio.h"

namespace {

namespace fs = std::filesystem;
using novu::media::SoundContainer;
using novu::media::TOggStream;
using novu::media::TWavOut;
using novu::media::WaveFormat;

class MemorySource final : public novu::platform::ByteSource {
 public:
  explicit MemorySource(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  int64_t Read(void* buffer, int64_t count) override {
    const int64_t n = std::clamp<int64_t>(Size() - position_, 0, count);
    std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
  }
  int64_t SeekTo(int64_t position) override {
    return position_ = std::clamp<int64_t>(position, 0, Size());
  }
  int64_t Position() override { return position_; }
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }

 private:
  const std::vector<uint8_t>& bytes_;
  int64_t position_ = 0;
};

const std::vector<uint8_t>& OggFile() {
  static const std::vector<uint8_t> bytes = [] {
    const fs::path file = fs::temp_directory_path() / "novu_bench_tone.ogg";
    const std::string command =
        "ffmpeg -v error -y -f lavfi -i \"sine=frequency=440:sample_rate=44100:duration=5\" "
        "-ac 2 -c:a libvorbis -q:a 4 \"" +
        file.string() + "\"";
    if (std::system(command.c_str()) != 0) {
      std::fprintf(stderr, "media bench: ffmpeg could not make the Ogg file\n");
      std::exit(1);
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> out{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    fs::remove(file);
    return out;
  }();
  return bytes;
}

void BM_OggDecode(benchmark::State& state) {
  std::vector<uint8_t> pcm(1 << 16);
  for (auto _ : state) {
    TOggStream stream(novu::media::OpenSoundDecoder(std::make_unique<MemorySource>(OggFile()),
                                                    SoundContainer::kOgg));
    int64_t total = 0;
    while (int64_t got = stream.Read(pcm.data(), static_cast<int64_t>(pcm.size()))) total += got;
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_OggDecode)->Unit(benchmark::kMillisecond);

struct MemoryCursor {
  const std::vector<uint8_t>* bytes;
  size_t position = 0;
};

void BM_VorbisDirect(benchmark::State& state) {
  const ov_callbacks callbacks{
      [](void* ptr, size_t size, size_t count, void* source) -> size_t {
        auto* c = static_cast<MemoryCursor*>(source);
        const size_t n = std::min(size * count, c->bytes->size() - c->position);
        std::memcpy(ptr, c->bytes->data() + c->position, n);
        c->position += n;
        return n / size;
      },
      [](void* source, ogg_int64_t offset, int whence) -> int {
        auto* c = static_cast<MemoryCursor*>(source);
        const int64_t base = whence == SEEK_CUR   ? static_cast<int64_t>(c->position)
                             : whence == SEEK_END ? static_cast<int64_t>(c->bytes->size())
                                                  : 0;
        c->position = static_cast<size_t>(base + offset);
        return 0;
      },
      nullptr,
      [](void* source) -> long {
        return static_cast<long>(static_cast<MemoryCursor*>(source)->position);
      }};
  std::vector<char> pcm(1 << 16);
  for (auto _ : state) {
    MemoryCursor cursor{&OggFile()};
    OggVorbis_File file;
    if (ov_open_callbacks(&cursor, &file, nullptr, 0, callbacks) != 0) {
      state.SkipWithError("ov_open_callbacks");
      return;
    }
    int64_t total = 0;
    int section = 0;
    while (long got = ov_read(&file, pcm.data(), static_cast<int>(pcm.size()), 0, 2, 1, &section)) {
      if (got < 0) break;
      total += got;
    }
    ov_clear(&file);
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_VorbisDirect)->Unit(benchmark::kMillisecond);

constexpr size_t kTickFrames = 662;  // 15 ms at 44100 Hz
constexpr int kVoices = 8;

// Eight playing voices of the common formats, half of them below full volume.
void BM_Mix8Voices(benchmark::State& state) {
  novu::platform::ManualClock clock;
  TWavOut mixer(500, clock, nullptr);
  const WaveFormat formats[] = {WaveFormat::Pcm(2, 44100, 16), WaveFormat::Pcm(1, 44100, 16),
                                WaveFormat::Pcm(2, 22050, 16), WaveFormat::Pcm(1, 22050, 8)};
  std::vector<std::vector<uint8_t>> data;
  std::vector<std::unique_ptr<MemorySource>> sources;
  std::mt19937 rng(7);
  for (int v = 0; v < kVoices; ++v) {
    std::vector<uint8_t> bytes(176400 * 2);
    for (auto& b : bytes) b = static_cast<uint8_t>(rng());
    data.push_back(std::move(bytes));
  }
  for (int v = 0; v < kVoices; ++v) {
    sources.push_back(std::make_unique<MemorySource>(data[static_cast<size_t>(v)]));
    novu::media::TWavBuffer* b = mixer.AddBuffer(formats[v % 4], *sources.back());
    b->SetLoop(true);
    if (v % 2 == 1) b->SetVolume(200);
    b->Play();
  }
  std::vector<int16_t> out(kTickFrames * 2);
  for (auto _ : state) {
    mixer.Render(out);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_Mix8Voices);

// The bytes the eight voices occupy in the output, copied once.
void BM_MemcpySameBytes(benchmark::State& state) {
  const size_t bytes = kTickFrames * 4 * kVoices;
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemcpySameBytes);

NOVU_RATIO("OggDecode/libvorbisfile-direct", "BM_OggDecode", "BM_VorbisDirect", 1.1);
NOVU_RATIO("Mix8Voices-15ms/memcpy-same-bytes", "BM_Mix8Voices", "BM_MemcpySameBytes", 20);

}  // namespace
