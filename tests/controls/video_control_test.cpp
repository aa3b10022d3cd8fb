// The video control over a generated test pattern (made with the ffmpeg command-line tool):
// play modes, the frame drawn into its surface, the fade-out stop and the saved state.
#include "controls/novu_video.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/process_state.h"
#include "media/media_fixtures.h"
#include "media/media_service.h"
#include "media/video_item.h"
#include "objects/base_list.h"
#include "platform/error.h"

namespace novu {
namespace {

namespace fs = std::filesystem;

const std::vector<uint8_t>& Pattern() {
  static const std::vector<uint8_t> bytes = [] {
    const fs::path file =
        fs::temp_directory_path() / ("novu_video_control_" + std::to_string(::getpid()) + ".mpg");
    const std::string command =
        "ffmpeg -v error -y -f lavfi -i \"testsrc=size=64x48:rate=25:duration=1\" "
        "-c:v mpeg1video -q:v 2 \"" +
        file.string() + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> out{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    fs::remove(file);
    return out;
  }();
  return bytes;
}

class PatternFiles final : public media::MediaFiles {
 public:
  bool Exists(std::string_view name) override { return name == "pattern.mpg" || name == "bad.mpg"; }
  std::unique_ptr<platform::ByteSource> Open(std::string_view name) override {
    if (name == "bad.mpg")
      return std::make_unique<media::testing::MemorySource>(std::vector<uint8_t>(900, 7));
    return std::make_unique<media::testing::MemorySource>(Pattern());
  }
};

struct VideoRig {
  VideoRig() {
    media::MediaOptions options;
    options.pump = false;
    service = std::make_unique<media::MediaService>(std::make_unique<PatternFiles>(), clock,
                                                    std::move(options));
    list.SetProcessState(&state);
  }
  TNovuVideo& NewVideo(const std::string& source, const std::string& name = "mv") {
    TNovuVideo& v = list.Add<TNovuVideo>(ImageEnvironment{.media = service.get()});
    v.SetName(name);
    v.SetProperty(PR_SOURCE, source);
    return v;
  }
  platform::ManualClock clock;
  std::unique_ptr<media::MediaService> service;
  ProcessState state;
  TNovuBaseList list;
};

TEST(VideoControlTest, PlayingTakesTheVideosSizeAndItsLength) {
  VideoRig rig;
  TNovuVideo& v = rig.NewVideo("pattern.mpg");
  const int32_t length = PropAsInt(v.GetProperty(PR_COUNT));  // read without playing
  EXPECT_NEAR(length, 1000, 40) << "one 40 ms frame of slack";
  v.SetProperty(PR_ZOOMX, 512);
  v.SetPlayMode(LP_PLAY);
  ASSERT_NE(v.item(), nullptr);
  v.Update();
  EXPECT_EQ(PropAsInt(v.GetProperty(PR_WIDTH)), 128);
  EXPECT_EQ(PropAsInt(v.GetProperty(PR_HEIGHT)), 48);
  EXPECT_EQ(PropAsInt(v.GetProperty(PR_COUNT)), length);
  EXPECT_TRUE(PropAsBool(v.GetProperty(PR_PLAYING)));
  rig.clock.Advance(400);
  EXPECT_EQ(PropAsInt(v.GetProperty(PR_INDEX)), 400);
  v.SetProperty(PR_PAUSED, true);
  EXPECT_FALSE(PropAsBool(v.GetProperty(PR_PLAYING)));
  rig.clock.Advance(400);
  EXPECT_EQ(PropAsInt(v.GetProperty(PR_INDEX)), 400);
  v.SetProperty(PR_INDEX, -300);  // a negative position is the start
  EXPECT_EQ(PropAsInt(v.GetProperty(PR_INDEX)), 0);
  v.SetPlayMode(LP_STOP);
  EXPECT_EQ(v.item(), nullptr);
  EXPECT_FALSE(rig.list.IsPendingDeletion(v)) << "a stopped video only lets its item go";
}

TEST(VideoControlTest, AFadeOutStopsShowingAtOnceAndDeletesWhenDone) {
  VideoRig rig;
  TNovuVideo& v = rig.NewVideo("pattern.mpg");
  v.SetProperty(PR_REPEAT, true);
  v.SetPlayMode(LP_PLAY);
  v.SetProperty(PR_DELAY, 300);
  v.SetPlayMode(LP_STOPFADE);
  EXPECT_EQ(v.item(), nullptr);
  EXPECT_EQ(PropAsInt(v.GetProperty(PR_INDEX)), 0);
  EXPECT_EQ(v.Update(), 0);  // the fade starts
  rig.state.game_clock += 400;
  EXPECT_EQ(v.Update(), 1) << "asks to be deleted";
}

TEST(VideoControlTest, ADamagedFileRaisesAClearErrorAndPlaysNothing) {
  VideoRig rig;
  TNovuVideo& v = rig.NewVideo("bad.mpg");
  EXPECT_THROW(v.SetPlayMode(LP_PLAY), NovuError);
  EXPECT_EQ(v.item(), nullptr);
  EXPECT_EQ(PropAsInt(v.GetProperty(PR_COUNT)), 0);
  TNovuVideo& missing = rig.NewVideo("none.mpg", "b");
  missing.SetPlayMode(LP_PLAY);
  EXPECT_EQ(missing.item(), nullptr);
}

TEST(VideoControlTest, SavedStateResumesAtItsPositionUnlessRewound) {
  const struct {
    bool rewind;
    int32_t position;
  } cases[] = {{false, 500}, {true, 0}};
  for (const auto& c : cases) {
    VideoRig rig;
    TNovuVideo& v = rig.NewVideo("pattern.mpg");
    v.SetProperty(PR_OVERLAY, false);
    v.SetProperty(PR_REWINDONLOAD, c.rewind);
    v.SetPlayMode(LP_PLAY);
    rig.clock.Advance(500);
    BinaryWriter out;
    v.SaveToStream(out);
    TNovuVideo& loaded = rig.list.Add<TNovuVideo>(ImageEnvironment{.media = rig.service.get()});
    BinaryReader in(out.bytes());
    loaded.LoadFromStream(in, ObjectLoadContext{kObjectLayoutVersion});
    ASSERT_NE(loaded.item(), nullptr) << c.rewind;
    EXPECT_FALSE(PropAsBool(loaded.GetProperty(PR_OVERLAY)));
    EXPECT_EQ(PropAsInt(loaded.GetProperty(PR_INDEX)), c.position) << c.rewind;
  }
}

}  // namespace
}  // namespace novu
