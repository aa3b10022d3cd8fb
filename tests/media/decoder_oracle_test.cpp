// Our decoders against the ffmpeg command-line tool's decode of the same files: the test media
// are made here with ffmpeg from generated tones; lengths must agree exactly, PCM samples exactly,
// lossy ones within 2 LSB.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "media/media_fixtures.h"
#include "media/ogg_stream.h"

namespace novu::media {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class DecoderOracleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("ffmpeg -version > /dev/null 2>&1") != 0) {
      GTEST_FAIL() << "the ffmpeg command-line tool is missing (scripts/install-deps.sh)";
    }
    dir_ = fs::temp_directory_path() /
           ("novu_oracle_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Ffmpeg(const std::string& args) {
    const std::string command = "ffmpeg -v error -y " + args;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  // A 1.3 s two-tone file in `name`, made with the given output options.
  fs::path MakeTone(const std::string& name, const std::string& options) {
    const fs::path out = dir_ / name;
    Ffmpeg(
        "-f lavfi -i \"sine=frequency=440:sample_rate=44100:duration=1.3\" -f lavfi -i "
        "\"sine=frequency=660:sample_rate=44100:duration=1.3\" -filter_complex "
        "\"[0:a][1:a]amerge=inputs=2\" " +
        options + " \"" + out.string() + "\"");
    return out;
  }

  // ffmpeg's decode as 16-bit samples at the file's own rate and channel count.
  std::vector<int16_t> OracleDecode(const fs::path& file) {
    const fs::path raw = dir_ / "oracle.raw";
    Ffmpeg("-i \"" + file.string() + "\" -f s16le -acodec pcm_s16le \"" + raw.string() + "\"");
    const std::vector<uint8_t> bytes = ReadAll(raw);
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
  }

  // Our decode, 8-bit samples widened as the mixer widens them.
  std::vector<int16_t> OurDecode(const fs::path& file, SoundContainer container) {
    TOggStream stream(
        OpenSoundDecoder(std::make_unique<testing::MemorySource>(ReadAll(file)), container));
    std::vector<uint8_t> bytes(static_cast<size_t>(stream.Size()) + 4096);
    bytes.resize(
        static_cast<size_t>(stream.Read(bytes.data(), static_cast<int64_t>(bytes.size()))));
    EXPECT_EQ(static_cast<int64_t>(bytes.size()), stream.Size()) << "the reported size";
    std::vector<int16_t> samples;
    if (stream.Format().bits_per_sample == 8) {
      for (uint8_t b : bytes) samples.push_back(static_cast<int16_t>((b - 128) * 256));
    } else {
      samples.resize(bytes.size() / 2);
      std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    }
    return samples;
  }

  void ExpectSameDecode(const fs::path& file, SoundContainer container, int tolerance) {
    const std::vector<int16_t> ours = OurDecode(file, container);
    const std::vector<int16_t> oracle = OracleDecode(file);
    ASSERT_EQ(ours.size(), oracle.size()) << file;
    int worst = 0;
    for (size_t i = 0; i < ours.size(); ++i) worst = std::max(worst, std::abs(ours[i] - oracle[i]));
    EXPECT_LE(worst, tolerance) << file;
    EXPECT_GT(ours.size(), 20000u);
  }

  fs::path dir_;
};

TEST_F(DecoderOracleTest, WaveFilesOfTheEightMixerFormats) {
  for (const int channels : {1, 2}) {
    for (const int rate : {22050, 44100}) {
      for (const char* codec : {"pcm_u8", "pcm_s16le"}) {
        const std::string name =
            std::to_string(channels) + "_" + std::to_string(rate) + "_" + codec + ".wav";
        const fs::path file = MakeTone(name, "-ac " + std::to_string(channels) + " -ar " +
                                                 std::to_string(rate) + " -c:a " + codec);
        ExpectSameDecode(file, SoundContainer::kWave, 0);
      }
    }
  }
}

TEST_F(DecoderOracleTest, OggVorbis) {
  for (const int channels : {1, 2}) {
    const fs::path file = MakeTone("tone" + std::to_string(channels) + ".ogg",
                                   "-ac " + std::to_string(channels) + " -c:a libvorbis -q:a 4");
    ExpectSameDecode(file, SoundContainer::kOgg, 2);
  }
}

TEST_F(DecoderOracleTest, WindowsMediaAudio) {
  for (const int channels : {1, 2}) {
    const fs::path file = MakeTone("tone" + std::to_string(channels) + ".wma",
                                   "-ac " + std::to_string(channels) + " -c:a wmav2 -b:a 128k");
    ExpectSameDecode(file, SoundContainer::kWindowsMedia, 2);
  }
}

}  // namespace
}  // namespace novu::media
