// The video decoder and the video item on test patterns made here with the ffmpeg command-line
// tool, in the containers games carry, and on damaged copies of them.
#include "platform/video_decoder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "media/media_fixtures.h"
#include "media/video_item.h"
#include "platform/error.h"

namespace novu::media {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> MakePattern(const std::string& name, const std::string& options) {
  const fs::path file =
      fs::temp_directory_path() / ("novu_video_" + std::to_string(::getpid()) + "_" + name);
  const std::string command =
      "ffmpeg -v error -y -f lavfi -i \"testsrc=size=96x64:rate=25:duration=1\" " + options +
      " \"" + file.string() + "\"";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream in(file, std::ios::binary);
  std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  fs::remove(file);
  return bytes;
}

std::unique_ptr<platform::VideoDecoder> Open(const std::vector<uint8_t>& bytes,
                                             std::string& error) {
  return platform::OpenVideoDecoder(
      std::make_unique<platform::MemoryByteSource>(std::span<const uint8_t>(bytes)), error);
}

std::vector<uint8_t> Frame(const platform::VideoDecoder& d) {
  return {d.Pixels(), d.Pixels() + static_cast<size_t>(d.Pitch()) * d.Height()};
}

TEST(VideoDecoderTest, FramesFollowTheTimeInEveryContainer) {
  const struct {
    const char* name;
    const char* options;
  } cases[] = {
      {"pattern.mpg", "-c:v mpeg1video -q:v 2"},
      {"pattern.avi", "-c:v mpeg4 -q:v 2"},
      {"pattern.wmv", "-c:v wmv2 -q:v 2"},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> bytes = MakePattern(c.name, c.options);
    std::string error;
    auto decoder = Open(bytes, error);
    ASSERT_NE(decoder, nullptr) << c.name << ": " << error;
    EXPECT_EQ(decoder->Width(), 96) << c.name;
    EXPECT_EQ(decoder->Height(), 64) << c.name;
    EXPECT_NEAR(decoder->LengthMs(), 1000, 50) << c.name;
    EXPECT_TRUE(decoder->ShowFrameAt(-40)) << c.name << ": a negative time is the start";
    const std::vector<uint8_t> first = Frame(*decoder);
    EXPECT_FALSE(decoder->ShowFrameAt(10)) << c.name << ": the same frame";
    EXPECT_TRUE(decoder->ShowFrameAt(520)) << c.name;
    const std::vector<uint8_t> later = Frame(*decoder);
    EXPECT_NE(first, later) << c.name;
    EXPECT_TRUE(decoder->ShowFrameAt(0)) << c.name << ": back to the start";
    EXPECT_EQ(Frame(*decoder), first) << c.name;
    decoder->ShowFrameAt(100000);  // past the end the last frame stays
    EXPECT_FALSE(decoder->ShowFrameAt(200000)) << c.name;
  }
}

TEST(VideoDecoderTest, DamagedDataPlaysNothingOrWhatItHolds) {
  const std::vector<uint8_t> good = MakePattern("damaged.mpg", "-c:v mpeg1video -q:v 2");
  std::vector<uint8_t> scrambled = good;
  for (size_t i = 64; i < scrambled.size(); i += 7) scrambled[i] ^= 0x5A;
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    bool refused;  // else it may open and play what it holds
  } cases[] = {
      {"empty", {}, true},
      {"not a video", std::vector<uint8_t>(4096, 'x'), true},
      {"the first half", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2), false},
      {"scrambled", scrambled, false},
  };
  for (const auto& c : cases) {
    std::string error;
    auto decoder = Open(c.bytes, error);
    if (decoder == nullptr) {
      EXPECT_FALSE(error.empty()) << c.what;
      continue;
    }
    EXPECT_FALSE(c.refused) << c.what;
    for (int32_t ms = 0; ms <= 1200; ms += 200) decoder->ShowFrameAt(ms);
    EXPECT_EQ(Frame(*decoder).size(), size_t{96 * 64 * 4}) << c.what;
  }
}

// Video files by name for the manager.
class OneFile final : public MediaFiles {
 public:
  explicit OneFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  bool Exists(std::string_view name) override { return name == "v.mpg"; }
  std::unique_ptr<platform::ByteSource> Open(std::string_view) override {
    return std::make_unique<testing::MemorySource>(bytes_);
  }

 private:
  std::vector<uint8_t> bytes_;
};

TEST(VideoItemTest, PlaysOnTheMediaClockAndEndsAtItsLength) {
  platform::ManualClock clock;
  TWavOut mixer(500, clock, nullptr);
  OneFile files(MakePattern("item.mpg", "-c:v mpeg1video -q:v 2"));
  TVideoManager manager(files, mixer, false);
  auto* item = dynamic_cast<TDsVideoItem*>(manager.CreateItem("v.mpg"));
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->NeedPaint()) << "the first frame";
  item->Play();
  clock.Advance(300);
  EXPECT_EQ(item->GetPosition(), 300);
  EXPECT_TRUE(item->NeedPaint());
  item->Pause();
  clock.Advance(300);
  EXPECT_EQ(item->GetPosition(), 300);
  EXPECT_FALSE(item->NeedPaint());
  item->Play();
  clock.Advance(800);
  EXPECT_TRUE(item->IsEnd());
  item->SetAutoRepeat(true);
  EXPECT_FALSE(item->IsEnd());
  EXPECT_LT(item->GetPosition(), 1000);
}

TEST(VideoItemTest, AFileWithoutVideoIsRefusedWithItsName) {
  platform::ManualClock clock;
  TWavOut mixer(500, clock, nullptr);
  OneFile files(std::vector<uint8_t>(2048, 0));
  TVideoManager manager(files, mixer, false);
  try {
    manager.CreateItem("v.mpg");
    FAIL() << "no error";
  } catch (const NovuError& e) {
    EXPECT_NE(e.Utf8Message().find("v.mpg"), std::string::npos) << e.Utf8Message();
  }
  EXPECT_EQ(manager.item_count(), 0u);
}

}  // namespace
}  // namespace novu::media
