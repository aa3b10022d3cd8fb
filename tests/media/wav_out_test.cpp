#include "media/wav_out.h"

#include <gtest/gtest.h>

#include <random>

#include "media/media_fixtures.h"

namespace novu::media {
namespace {

using testing::MemorySource;
using testing::RecordingOutput;
using testing::Samples16;

struct MixerRig {
  explicit MixerRig(int delay_time = 500)
      : mixer(delay_time, clock, std::make_unique<RecordingOutput>(blocks, queued)) {
    EXPECT_TRUE(mixer.Open(false));
  }
  // Runs one pump step after the device has played everything queued.
  void Step() {
    queued = 0;
    mixer.PumpStep();
  }
  platform::ManualClock clock;
  std::vector<std::vector<int16_t>> blocks;
  uint32_t queued = 0;
  TWavOut mixer;
};

TEST(WavOutTest, ChunkSizeFollowsTheDelayTime) {
  const struct {
    int delay;
    uint32_t bytes;
  } cases[] = {{500, 88200}, {100, 17640}, {300, 52920}};
  for (const auto& c : cases) {
    platform::ManualClock clock;
    TWavOut mixer(c.delay, clock, nullptr);
    EXPECT_EQ(mixer.chunk_bytes(), c.bytes) << c.delay;
  }
}

TEST(WavOutTest, EachOfTheEightFormatsExpandsToStereo44100) {
  // Two source frames of each format; the output starts with what they expand to.
  const struct {
    int channels, rate, bits;
    std::vector<uint8_t> source;
    std::vector<int16_t> expected;
  } cases[] = {
      {2, 44100, 16, Samples16({100, -100, 200, -200}), {100, -100, 200, -200}},
      {1, 44100, 16, Samples16({100, 200}), {100, 100, 200, 200}},
      {2,
       22050,
       16,
       Samples16({100, -100, 200, -200}),
       {100, -100, 100, -100, 200, -200, 200, -200}},
      {2, 44100, 8, {0x80, 0x81, 0x00, 0xff}, {0, 256, -32768, 32512}},
      {1, 44100, 8, {0x81, 0x7f}, {256, 256, -256, -256}},
      {2, 22050, 8, {0x81, 0x7f, 0x82, 0x7e}, {256, -256, 256, -256, 512, -512, 512, -512}},
      {1, 22050, 16, Samples16({300, -300}), {300, 300, 300, 300, -300, -300, -300, -300}},
      {1, 22050, 8, {0x81, 0x7f}, {256, 256, 256, 256, -256, -256, -256, -256}},
  };
  for (const auto& c : cases) {
    MixerRig rig;
    MemorySource source(c.source);
    TWavBuffer* b = rig.mixer.AddBuffer(WaveFormat::Pcm(c.channels, c.rate, c.bits), source);
    b->Play();
    rig.Step();
    ASSERT_EQ(rig.blocks.size(), 1u) << c.channels << "/" << c.rate << "/" << c.bits;
    const std::vector<int16_t>& out = rig.blocks[0];
    ASSERT_EQ(out.size(), 88200u / 2);
    for (size_t i = 0; i < c.expected.size(); ++i) EXPECT_EQ(out[i], c.expected[i]) << i;
    EXPECT_EQ(out[c.expected.size()], 0) << "the rest of the chunk stays silent";
    EXPECT_TRUE(b->ended());
  }
}

// The plain rule for one source: each sample widened to 16 bits, each frame repeated to 44.1 kHz
// stereo.
std::vector<int16_t> ReferenceExpansion(const std::vector<uint8_t>& src, int channels, int rate,
                                        int bits) {
  std::vector<int16_t> samples;
  for (size_t i = 0; i < src.size(); i += static_cast<size_t>(bits / 8)) {
    samples.push_back(bits == 8 ? static_cast<int16_t>((src[i] - 128) * 256)
                                : static_cast<int16_t>(src[i] | src[i + 1] << 8));
  }
  std::vector<int16_t> out;
  for (size_t f = 0; f + static_cast<size_t>(channels) <= samples.size(); f += channels) {
    const int16_t l = samples[f], r = samples[f + static_cast<size_t>(channels) - 1];
    for (int t = 0; t < (rate == 22050 ? 2 : 1); ++t) {
      out.push_back(l);
      out.push_back(r);
    }
  }
  return out;
}

TEST(WavOutTest, LongSourcesOfEveryFormatMatchThePlainRule) {
  std::mt19937 rng(11);
  std::vector<uint8_t> src(4 * 301);
  for (auto& b : src) b = static_cast<uint8_t>(rng());
  for (int channels : {1, 2}) {
    for (int rate : {22050, 44100}) {
      for (int bits : {8, 16}) {
        MixerRig rig;
        MemorySource source(src);
        rig.mixer.AddBuffer(WaveFormat::Pcm(channels, rate, bits), source)->Play();
        const std::vector<int16_t> expected = ReferenceExpansion(src, channels, rate, bits);
        std::vector<int16_t> out(expected.size());
        rig.mixer.Render(out);
        EXPECT_EQ(out, expected) << channels << "/" << rate << "/" << bits;
      }
    }
  }
}

TEST(WavOutTest, HalfSecondMono22050EightBitFillsOneChunkThenEnds) {
  MixerRig rig;
  MemorySource source(std::vector<uint8_t>(11025, 0x90));
  TWavBuffer* b = rig.mixer.AddBuffer(WaveFormat::Pcm(1, 22050, 8), source);
  b->Play();
  rig.Step();
  ASSERT_EQ(rig.blocks.size(), 1u) << "the second pass finds the source ended";
  for (int16_t s : rig.blocks[0]) ASSERT_EQ(s, (0x90 - 128) * 256);
  EXPECT_TRUE(b->ended());
  rig.clock.Advance(1010);
  EXPECT_FALSE(b->IsEndedAndSilent());
  rig.clock.Advance(1);
  EXPECT_TRUE(b->IsEndedAndSilent());
}

TEST(WavOutTest, FullScaleSourcesSaturateInsteadOfWrapping) {
  MixerRig rig;
  MemorySource a(Samples16({32767, -32768}, 8)), b(Samples16({32767, -32768}, 8));
  rig.mixer.AddBuffer(WaveFormat::Pcm(2, 44100, 16), a)->Play();
  rig.mixer.AddBuffer(WaveFormat::Pcm(2, 44100, 16), b)->Play();
  rig.Step();
  ASSERT_FALSE(rig.blocks.empty());
  EXPECT_EQ(rig.blocks[0][0], 32767);
  EXPECT_EQ(rig.blocks[0][1], -32768);
}

TEST(WavOutTest, VolumeScalesEverySample) {
  const struct {
    int32_t volume;
    int16_t in, out;
  } cases[] = {
      {128, 1000, 500}, {128, -1001, -501}, {255, 1000, 1000}, {256, -1000, -1000}, {0, 1000, 0}};
  for (const auto& c : cases) {
    MixerRig rig;
    MemorySource source(Samples16({c.in, c.in}, 4));
    TWavBuffer* b = rig.mixer.AddBuffer(WaveFormat::Pcm(2, 44100, 16), source);
    b->SetVolume(c.volume);
    b->Play();
    rig.Step();
    ASSERT_FALSE(rig.blocks.empty());
    EXPECT_EQ(rig.blocks[0][0], c.out) << c.volume;
    EXPECT_EQ(rig.blocks[0][7], c.out) << c.volume;
  }
}

TEST(WavOutTest, LoopContinuesFromItsStartWithinTheSameChunk) {
  MixerRig rig(100);
  // Three stereo frames; the loop starts at frame 1 (a start inside a frame is cut to it).
  MemorySource source(Samples16({1, -1, 2, -2, 3, -3}));
  TWavBuffer* b = rig.mixer.AddBuffer(WaveFormat::Pcm(2, 44100, 16), source);
  b->SetLoop(true);
  b->SetLoopStart(6);
  b->Play();
  rig.Step();
  ASSERT_FALSE(rig.blocks.empty());
  const std::vector<int16_t>& out = rig.blocks[0];
  const std::vector<int16_t> expected{1, -1, 2, -2, 3, -3, 2, -2, 3, -3, 2, -2};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(out[i], expected[i]) << i;
  // 4410 frames: the last, at an odd index, is frame 1 again.
  EXPECT_EQ(out.back(), -2);
  EXPECT_FALSE(b->ended());
}

TEST(WavOutTest, FillsThatCannotGoOnStopInsteadOfSpinning) {
  const struct {
    const char* what;
    int64_t claimed_size;  // -1: the real size
    int64_t loop_start;
    bool loop;
  } cases[] = {
      {"loop start past the end", -1, 1 << 20, true},
      {"loop start at the end", -1, 16, true},
      {"a stream that stops yielding before its size", 4096, 0, false},
      {"the same while looping", 4096, 0, true},
  };
  for (const auto& c : cases) {
    MixerRig rig;
    MemorySource source(Samples16({5, 6}, 4), c.claimed_size);
    TWavBuffer* b = rig.mixer.AddBuffer(WaveFormat::Pcm(2, 44100, 16), source);
    b->SetLoop(c.loop);
    b->SetLoopStart(c.loop_start);
    b->Play();
    rig.Step();
    ASSERT_FALSE(rig.blocks.empty()) << c.what;
    EXPECT_EQ(rig.blocks[0][6], 5) << c.what;
    EXPECT_EQ(rig.blocks[0][8], 0) << c.what;
    EXPECT_LT(source.reads, 10) << c.what;
    EXPECT_TRUE(b->ended()) << c.what;
  }
}

TEST(WavOutTest, OnlyStartedUnpausedSupportedBuffersAreHeard) {
  MixerRig rig;
  MemorySource heard(Samples16({10, 10}, 4)), waiting(Samples16({1000, 1000}, 4)),
      paused(Samples16({2000, 2000}, 4)), odd_rate(Samples16({3000, 3000}, 4));
  rig.mixer.AddBuffer(WaveFormat::Pcm(2, 44100, 16), heard)->Play();
  rig.mixer.AddBuffer(WaveFormat::Pcm(2, 44100, 16), waiting);
  TWavBuffer* p = rig.mixer.AddBuffer(WaveFormat::Pcm(2, 44100, 16), paused);
  p->Play();
  p->Pause();
  TWavBuffer* odd = rig.mixer.AddBuffer(WaveFormat::Pcm(2, 48000, 16), odd_rate);
  odd->Play();
  rig.Step();
  ASSERT_FALSE(rig.blocks.empty());
  EXPECT_EQ(rig.blocks[0][0], 10);
  EXPECT_FALSE(odd->ended()) << "a format the mixer cannot play never ends";
  EXPECT_EQ(odd->position(), 0);
}

TEST(WavOutTest, PumpKeepsAtMostTwoChunksQueued) {
  MixerRig rig(100);
  MemorySource source(std::vector<uint8_t>(17640 * 10, 0));
  rig.mixer.AddBuffer(WaveFormat::Pcm(2, 44100, 16), source)->Play();
  rig.mixer.PumpStep();
  EXPECT_EQ(rig.blocks.size(), 2u);
  rig.mixer.PumpStep();
  EXPECT_EQ(rig.blocks.size(), 2u) << "two chunks are still outstanding";
  rig.queued = 17640;
  rig.mixer.PumpStep();
  EXPECT_EQ(rig.blocks.size(), 3u);
}

TEST(WavOutTest, EstimatedPositionLagsOneDelayBehindTheFill) {
  MixerRig rig;
  MemorySource source(std::vector<uint8_t>(176400 * 4, 0));
  TWavBuffer* b = rig.mixer.AddBuffer(WaveFormat::Pcm(2, 44100, 16), source);
  b->Play();
  rig.mixer.PumpStep();  // two chunks: position one second in
  ASSERT_EQ(b->position(), 176400);
  EXPECT_EQ(b->EstimatedPosition(), 176400 - 88200);
  rig.clock.Advance(100);
  EXPECT_EQ(b->EstimatedPosition(), 176400 - 88200 + 17640);
  rig.clock.Advance(901);
  EXPECT_EQ(b->EstimatedPosition(), 176400);
}

TEST(WavOutTest, RenderMixesExactlyTheSamplesAskedFor) {
  MixerRig rig;
  MemorySource source(Samples16({7, -7}, 1000));
  TWavBuffer* b = rig.mixer.AddBuffer(WaveFormat::Pcm(2, 44100, 16), source);
  b->Play();
  std::vector<int16_t> out(662 * 2, 1);
  rig.mixer.Render(out);
  EXPECT_EQ(out.front(), 7);
  EXPECT_EQ(out.back(), -7);
  EXPECT_EQ(b->position(), 662 * 4);
  EXPECT_TRUE(rig.blocks.empty()) << "rendering does not feed the output";
}

TEST(WavOutTest, RenderingInOddPiecesGivesTheSameSamplesAsAtOnce) {
  const std::vector<uint8_t> source = Samples16({1, 2, 3, 4, 5, 6, 7, 8, 9});
  const struct { int channels, rate; } formats[] = {{1, 22050}, {2, 22050}, {1, 44100}};
  for (const auto& f : formats) {
    std::vector<int16_t> whole(16 * 2), pieces;
    {
      MixerRig rig;
      MemorySource s(source);
      rig.mixer.AddBuffer(WaveFormat::Pcm(f.channels, f.rate, 16), s)->Play();
      rig.mixer.Render(whole);
    }
    MixerRig rig;
    MemorySource s(source);
    rig.mixer.AddBuffer(WaveFormat::Pcm(f.channels, f.rate, 16), s)->Play();
    for (size_t frames : {3u, 1u, 5u, 7u}) {
      std::vector<int16_t> part(frames * 2);
      rig.mixer.Render(part);
      pieces.insert(pieces.end(), part.begin(), part.end());
    }
    EXPECT_EQ(pieces, whole) << f.channels << "/" << f.rate;
  }
}

}  // namespace
}  // namespace novu::media
