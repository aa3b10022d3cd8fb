#include <gtest/gtest.h>

#include <map>

#include "controls/novu_mixer.h"
#include "controls/novu_sound.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "media/media_fixtures.h"
#include "media/media_service.h"
#include "media/wave_item.h"
#include "objects/base_list.h"
#include "platform/error.h"

namespace novu {
namespace {

using media::testing::MakeWave;
using media::testing::MemorySource;

TEST(SoundVolumeTest, VolumeMapsToHundredthsOfADecibel) {
  const struct {
    int32_t volume;
    bool midi;
    int32_t level;
  } cases[] = {{1000, false, 0},   {500, false, -2500}, {0, false, -10000}, {1, false, -4995},
               {500, true, -5000}, {0, true, -10000},   {1500, false, 0},   {-20, false, -10000},
               {2000, true, 0},    {-300, true, -10000}};
  for (const auto& c : cases) {
    EXPECT_EQ(VolumeLevel(c.volume, c.midi), c.level) << c.volume << (c.midi ? " midi" : "");
  }
}

class NullManager final : public media::TMediaManager {
 protected:
  std::unique_ptr<media::TDMediaItem> MakeItem(std::string_view) override { return nullptr; }
};

class LevelItem final : public media::TDMediaItem {
 public:
  LevelItem(media::TMediaManager& m, bool midi, int32_t level)
      : TDMediaItem(m), midi_(midi), level_(level) {}
  int32_t GetVolume() override { return level_; }
  void SetVolume(int32_t level) override { level_ = level; }
  void Play() override { ++plays; }
  bool IsMidi() const override { return midi_; }
  int plays = 0;

 private:
  bool midi_;
  int32_t level_;
};

TEST(FadeTest, LevelsAlongTheFade) {
  NullManager manager;
  const struct {
    const char* what;
    bool fade_in, midi;
    int32_t from, target, duration;
    std::vector<std::pair<int32_t, int32_t>> time_level;  // after the start step at time 0
  } cases[] = {
      {"ogg fade-out", false, false, 0, 0, 1000, {{500, -2500}, {999, -4995}, {1000, -10000}}},
      {"ogg fade-in", true, false, 0, 0, 1000, {{0, -5000}, {500, -2500}, {1000, 0}}},
      {"midi fade-out", false, true, -2000, 0, 1000, {{500, -6000}, {1000, -10000}}},
      {"midi fade-in", true, true, 0, -1000, 1000, {{0, -10000}, {500, -5500}, {1000, -1000}}},
  };
  for (const auto& c : cases) {
    LevelItem item(manager, c.midi, c.from);
    std::unique_ptr<TNovuMixer> fade;
    if (c.fade_in) {
      fade = std::make_unique<TNovuMixerFadein>(&item, c.target, c.duration);
    } else {
      fade = std::make_unique<TNovuMixerFadeout>(&item, c.duration);
    }
    EXPECT_FALSE(fade->Step(0)) << c.what;
    for (const auto& [t, level] : c.time_level) EXPECT_EQ(fade->Level(t), level) << c.what << t;
    if (c.fade_in) {
      EXPECT_EQ(item.plays, 1) << c.what;
    }
  }
}

TEST(FadeTest, ZeroOrNegativeDurationCompletesAtTheFirstStepAfterTheStart) {
  NullManager manager;
  for (int32_t duration : {0, -1, -1000000}) {
    LevelItem in_item(manager, false, 0), out_item(manager, false, 0);
    TNovuMixerFadein in(&in_item, -100, duration);
    TNovuMixerFadeout out(&out_item, duration);
    EXPECT_FALSE(in.Step(5));
    EXPECT_FALSE(out.Step(5));
    EXPECT_TRUE(in.Step(5)) << duration;
    EXPECT_TRUE(out.Step(5)) << duration;
    EXPECT_EQ(in_item.GetVolume(), -100);
  }
}

// Sound files by name, in memory.
class MemoryMediaFiles final : public media::MediaFiles {
 public:
  std::map<std::string, std::vector<uint8_t>> files;
  bool Exists(std::string_view name) override { return files.contains(std::string(name)); }
  std::unique_ptr<platform::ByteSource> Open(std::string_view name) override {
    return std::make_unique<MemorySource>(files.at(std::string(name)));
  }
};

struct SoundRig {
  SoundRig() {
    auto files = std::make_unique<MemoryMediaFiles>();
    // 2 s and 3 s of mono 22050 Hz 8-bit sound.
    files->files["short.wav"] = MakeWave(1, 22050, 8, std::vector<uint8_t>(44100, 0xa0));
    files->files["long.wav"] = MakeWave(1, 22050, 8, std::vector<uint8_t>(66150, 0xa0));
    files->files["broken.wav"] = {'R', 'I', 'F', 'F', 1, 2};
    media::MediaOptions options;
    options.pump = false;
    service = std::make_unique<media::MediaService>(std::move(files), clock, std::move(options));
  }
  TNovuSound& NewSound(const std::string& source, const std::string& name = "se") {
    TNovuSound& s = list.Add<TNovuSound>(service.get());
    s.SetName(name);
    s.SetProperty(PR_SOURCE, source);
    return s;
  }
  const media::TWavBuffer& Buffer(TNovuSound& s) {
    return dynamic_cast<media::TOggWaveItem&>(*s.item()).buffer();
  }
  media::TMediaManager& Ogg() { return *service->Manager(media::SoundFamily::kOgg); }

  platform::ManualClock clock;
  std::unique_ptr<media::MediaService> service;
  TNovuBaseList list;
};

TEST(SoundControlTest, PlayModesCreateStartAndStop) {
  SoundRig rig;
  TNovuSound& quiet = rig.NewSound("short.wav", "quiet");
  quiet.SetPlayMode(LP_STOP);
  EXPECT_FALSE(rig.list.IsPendingDeletion(quiet)) << "stopping a sound that never played";

  TNovuSound& s = rig.NewSound("short.wav");
  s.SetProperty(PR_VOLUME, 500);
  s.SetPlayMode(LP_PLAYFADE);  // fade time 0: plays at once
  ASSERT_NE(s.item(), nullptr);
  EXPECT_EQ(s.play_mode(), LP_PLAY);
  EXPECT_TRUE(rig.Buffer(s).started());
  EXPECT_EQ(s.item()->GetVolume(), -2500);
  EXPECT_EQ(PropAsInt(s.GetProperty(PR_COUNT)), 2000);
  EXPECT_EQ(rig.Ogg().item_count(), 1u);

  s.SetPlayMode(LP_STOP);
  EXPECT_EQ(s.item(), nullptr);
  EXPECT_EQ(rig.Ogg().item_count(), 0u);
  EXPECT_TRUE(rig.list.IsPendingDeletion(s));
}

TEST(SoundControlTest, MissingOrBrokenSourcesPlayNothing) {
  SoundRig rig;
  TNovuSound& missing = rig.NewSound("none.wav", "a");
  missing.SetPlayMode(LP_PLAY);
  EXPECT_EQ(missing.item(), nullptr);
  EXPECT_FALSE(rig.list.IsPendingDeletion(missing));

  TNovuSound& scrap = rig.NewSound("none.wav", "b");
  scrap.SetProperty(PR_AUTOSCRAP, true);
  scrap.SetPlayMode(LP_PLAY);
  EXPECT_TRUE(rig.list.IsPendingDeletion(scrap));

  TNovuSound& broken = rig.NewSound("broken.wav", "c");
  EXPECT_THROW(broken.SetPlayMode(LP_PLAY), NovuError);
  EXPECT_EQ(broken.item(), nullptr);
  EXPECT_EQ(PropAsInt(broken.GetProperty(PR_COUNT)), 0);

  TNovuSound& midi = rig.NewSound("tune.mid", "d");
  midi.SetPlayMode(LP_PLAY);
  EXPECT_EQ(midi.item(), nullptr) << "no MIDI manager";
}

TEST(SoundControlTest, SoundOffPausesAndOnResumes) {
  SoundRig rig;
  TNovuSound& s = rig.NewSound("long.wav");
  s.SetPlayMode(LP_PLAY);
  ASSERT_NE(s.item(), nullptr);
  rig.service->SetSoundEnabled(false);
  EXPECT_TRUE(rig.Buffer(s).paused());
  TNovuSound& later = rig.NewSound("short.wav", "later");
  later.SetPlayMode(LP_PLAY);
  EXPECT_FALSE(rig.Buffer(later).started()) << "started while sound is off";
  rig.service->SetSoundEnabled(true);
  EXPECT_FALSE(rig.Buffer(s).paused());
  EXPECT_TRUE(rig.Buffer(later).started());
}

TEST(SoundControlTest, FocusLossLeavesPausedSoundsPaused) {
  SoundRig rig;
  TNovuSound& playing = rig.NewSound("long.wav", "a");
  TNovuSound& paused = rig.NewSound("long.wav", "b");
  playing.SetPlayMode(LP_PLAY);
  paused.SetPlayMode(LP_PLAY);
  paused.SetProperty(PR_PAUSED, true);
  rig.service->SuspendAll();
  EXPECT_TRUE(rig.Buffer(playing).paused());
  rig.service->ResumeAll();
  EXPECT_FALSE(rig.Buffer(playing).paused());
  EXPECT_TRUE(rig.Buffer(paused).paused());
}

TEST(SoundControlTest, SavedOneShotsResumeOnlyWhenLongEnough) {
  const struct {
    const char* source;
    bool rewind;
    bool resumes;
    int32_t position;
  } cases[] = {
      {"short.wav", false, false, 0}, {"long.wav", false, true, 1500}, {"long.wav", true, true, 0}};
  for (const auto& c : cases) {
    SoundRig rig;
    TNovuSound& s = rig.NewSound(c.source);
    s.SetProperty(PR_REWINDONLOAD, c.rewind);
    s.SetPlayMode(LP_PLAY);
    s.SetProperty(PR_INDEX, 1500);
    rig.clock.Advance(5000);  // long after the last fill: the position is exact
    BinaryWriter out;
    s.SaveToStream(out);
    TNovuSound& loaded = rig.list.Add<TNovuSound>(rig.service.get());
    BinaryReader in(out.bytes());
    loaded.LoadFromStream(in, ObjectLoadContext{kObjectLayoutVersion + 10});
    EXPECT_TRUE(in.AtEnd()) << c.source;
    EXPECT_EQ(loaded.source(), c.source);
    EXPECT_EQ(loaded.item() != nullptr, c.resumes) << c.source;
    if (c.resumes) {
      EXPECT_EQ(rig.Buffer(loaded).position(),
                media::MsToBytes(c.position, media::WaveFormat::Pcm(1, 22050, 8)))
          << c.source << c.rewind;
    }
  }
}

}  // namespace
}  // namespace novu
