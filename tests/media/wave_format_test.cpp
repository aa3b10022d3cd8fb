#include "media/wave_format.h"

#include <gtest/gtest.h>

#include "core/binary_writer.h"
#include "media/media_fixtures.h"
#include "media/ogg_stream.h"
#include "media/wave_item.h"
#include "platform/error.h"

namespace novu::media {
namespace {

using testing::MakeWave;
using testing::MemorySource;

TEST(WaveFormatTest, FindsTheSamplesAfterOtherChunks) {
  const std::vector<uint8_t> data(10, 0x40);
  MemorySource file(MakeWave(2, 22050, 16, data, true));
  const WaveLayout layout = ReadWaveLayout(file);
  EXPECT_EQ(layout.format.channels, 2);
  EXPECT_EQ(layout.format.samples_per_sec, 22050u);
  EXPECT_EQ(layout.format.bits_per_sample, 16);
  EXPECT_EQ(layout.data_offset, 36 + 12 + 8);
  EXPECT_EQ(layout.data_size, 8) << "cut to whole frames";
}

TEST(WaveFormatTest, ATruncatedDataChunkKeepsWhatIsThere) {
  std::vector<uint8_t> bytes = MakeWave(1, 44100, 16, std::vector<uint8_t>(100, 1));
  bytes.resize(bytes.size() - 51);
  MemorySource file(bytes);
  EXPECT_EQ(ReadWaveLayout(file).data_size, 48);
}

TEST(WaveFormatTest, DamagedFilesAreRefusedWithTheSoundDataMessage) {
  const std::vector<uint8_t> good = MakeWave(1, 22050, 8, std::vector<uint8_t>(8, 1));
  auto with = [&](size_t at, std::initializer_list<uint8_t> bytes) {
    std::vector<uint8_t> out = good;
    std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<ptrdiff_t>(at));
    return out;
  };
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"cut in the header", std::vector<uint8_t>(good.begin(), good.begin() + 10)},
      {"not RIFF", with(0, {'R', 'I', 'F', 'X'})},
      {"not WAVE", with(8, {'A', 'V', 'I', ' '})},
      {"zero channels", with(22, {0, 0})},
      {"three channels", with(22, {3, 0})},
      {"zero rate", with(24, {0, 0, 0, 0})},
      {"zero bits", with(34, {0, 0})},
      {"24 bits", with(34, {24, 0})},
      {"compressed", with(20, {2, 0})},
      {"format chunk too long", with(16, {0xff, 0xff, 0xff, 0x7f})},
      {"format chunk too short", with(16, {8, 0, 0, 0})},
      {"no data chunk", std::vector<uint8_t>(good.begin(), good.begin() + 36)},
  };
  for (const auto& c : cases) {
    MemorySource file(c.bytes);
    try {
      ReadWaveLayout(file);
      ADD_FAILURE() << c.what << " was accepted";
    } catch (const NovuError& e) {
      EXPECT_EQ(e.message().rfind(Jp("サウンドデータが不正です"), 0), 0u) << c.what;
    }
  }
}

class FormatOnlyDecoder final : public platform::PcmDecoder {
 public:
  explicit FormatOnlyDecoder(platform::PcmFormat f) : format_(f) {}
  platform::PcmFormat Format() const override { return format_; }
  int64_t TotalBytes() const override { return 1000; }
  int64_t Read(void*, int64_t) override { return 0; }
  bool SeekBytes(int64_t) override { return true; }

 private:
  platform::PcmFormat format_;
};

TEST(OggStreamTest, ADecoderWithoutChannelsBitsOrRateIsRefused) {
  const platform::PcmFormat bad[] = {{0, 44100, 16}, {2, 0, 16}, {2, 44100, 0}, {-1, 44100, 16}};
  for (const auto& f : bad) {
    EXPECT_THROW(TOggStream(std::make_unique<FormatOnlyDecoder>(f)), NovuError)
        << f.channels << "/" << f.rate << "/" << f.bits;
  }
  TOggStream ok(std::make_unique<FormatOnlyDecoder>(platform::PcmFormat{2, 44100, 16}));
  EXPECT_EQ(ok.Size(), 1000);
  EXPECT_EQ(ok.SeekTo(5000), 1000) << "seeking is clamped to the decoded size";
  EXPECT_EQ(ok.SeekTo(-5), 0);
}

TEST(WaveItemTest, MillisecondsBytesAndVolumes) {
  const WaveFormat stereo16 = WaveFormat::Pcm(2, 44100, 16);
  const WaveFormat mono8 = WaveFormat::Pcm(1, 22050, 8);
  EXPECT_EQ(MsToBytes(1000, stereo16), 176400);
  EXPECT_EQ(MsToBytes(1, stereo16), 176);
  EXPECT_EQ(MsToBytes(3, mono8), 66);  // 66.15
  EXPECT_EQ(MsToBytes(-10, mono8), 0);
  EXPECT_EQ(BytesToMs(176400, stereo16), 1000);
  EXPECT_EQ(BytesToMs(11025, mono8), 500);
  const struct {
    int32_t level, volume;
  } volumes[] = {{0, 256}, {-2500, 128}, {-5000, 0}, {-10000, 0}, {300, 256}, {-2475, 129}};
  for (const auto& v : volumes) EXPECT_EQ(LevelToBufferVolume(v.level), v.volume) << v.level;
}

// A sound header asking for a gigahertz rate once made the resampler allocate two gigabytes.
TEST(MediaDecoderTest, AHeaderWithAnAbsurdRateIsRefusedBeforeAnythingIsAllocated) {
  auto apc = [](uint32_t rate) {
    BinaryWriter w;
    w.Bytes(std::string_view("CRYO_APC1.20"));
    w.U32(1000);  // samples
    w.U32(rate);
    w.U32(0);
    w.U32(0);  // the two predictors
    w.U32(1);  // stereo
    for (int i = 0; i < 256; ++i) w.U8(static_cast<uint8_t>(i * 37));
    return w.bytes();
  };
  try {
    OpenSoundDecoder(std::make_unique<testing::MemorySource>(apc(1308623342)),
                     SoundContainer::kWindowsMedia);
    FAIL() << "the damaged header was accepted";
  } catch (const NovuError& e) {
    EXPECT_NE(std::string(e.what()).find("out of range"), std::string::npos) << e.what();
  }
  EXPECT_NO_THROW(OpenSoundDecoder(std::make_unique<testing::MemorySource>(apc(22050)),
                                   SoundContainer::kWindowsMedia))
      << "the same file at a sane rate decodes";
}

}  // namespace
}  // namespace novu::media
