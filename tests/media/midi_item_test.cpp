#include "media/midi_item.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "media/media_fixtures.h"
#include "media/midi_writer.h"

namespace novu::media {
namespace {

using Bytes = std::vector<uint8_t>;

class SongFiles final : public MediaFiles {
 public:
  std::map<std::string, Bytes> files;
  bool Exists(std::string_view name) override { return files.contains(std::string(name)); }
  std::unique_ptr<platform::ByteSource> Open(std::string_view name) override {
    return std::make_unique<testing::MemorySource>(files.at(std::string(name)));
  }
};

// A synthesizer that keeps what it was sent and sounds a constant while a note is held.
class RecordingSynth final : public platform::MidiSynth {
 public:
  explicit RecordingSynth(std::vector<Bytes>& sent) : sent_(sent) {}
  void ShortMessage(uint32_t packed) override {
    const uint8_t status = packed & 0xFF, key = (packed >> 8) & 0xFF, velocity = packed >> 16;
    sent_.push_back({status, key, velocity});
    if ((status & 0xF0) == 0x90 && velocity > 0) held_.insert(key);
    if ((status & 0xF0) == 0x80 || ((status & 0xF0) == 0x90 && velocity == 0)) held_.erase(key);
    if ((status & 0xF0) == 0xB0 && key == 0x7B) held_.clear();
  }
  void LongMessage(std::span<const uint8_t> bytes) override {
    sent_.emplace_back(bytes.begin(), bytes.end());
  }
  void MixInto(int16_t* mix, size_t frames) override {
    if (held_.empty()) return;
    for (size_t i = 0; i < 2 * frames; ++i) mix[i] = static_cast<int16_t>(mix[i] + 1000);
  }

 private:
  std::vector<Bytes>& sent_;
  std::set<uint8_t> held_;
};

struct MidiRig {
  MidiRig() : mixer(500, clock, nullptr) {
    files.files["tune.mid"] = WriteMidiFile(480, {{ProgramChange(0, 0, 40), NoteOn(0, 0, 60, 100),
                                                   NoteOff(480, 0, 60), EndOfTrack(480)}});
    files.files["empty.mid"] = {};
    manager = std::make_unique<TMidiManager>(
        files, mixer, false, [this] { return std::make_unique<RecordingSynth>(sent); });
  }
  // Renders `ms` milliseconds of sound; the samples of the left channel.
  std::vector<int16_t> Render(int ms) {
    std::vector<int16_t> out(static_cast<size_t>(ms) * 441 / 10 * 2);
    mixer.Render(out);
    std::vector<int16_t> left;
    for (size_t i = 0; i < out.size(); i += 2) left.push_back(out[i]);
    return left;
  }
  std::vector<Bytes> Sent(uint8_t status) const {
    std::vector<Bytes> out;
    for (const auto& m : sent) {
      if (m[0] == status) out.push_back(m);
    }
    return out;
  }

  platform::ManualClock clock;
  TWavOut mixer;
  SongFiles files;
  std::vector<Bytes> sent;
  std::unique_ptr<TMidiManager> manager;
};

TEST(MidiItemTest, TheSongSoundsWhereItsNoteIsAndEndsAtItsLength) {
  MidiRig rig;
  TDMediaItem* item = rig.manager->CreateItem("tune.mid");
  EXPECT_EQ(item->GetLength(), 1000);
  item->Play();
  ASSERT_FALSE(rig.sent.empty());
  EXPECT_EQ(rig.sent.front(), (Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));  // GM System On
  const std::vector<int16_t> sound = rig.Render(1200);
  // The note sounds from the first step after its time (10 ms) until its note-off at 500 ms.
  EXPECT_EQ(sound[0], 0);
  EXPECT_EQ(sound[441 + 10], 1000);
  EXPECT_EQ(sound[441 * 50], 1000);
  EXPECT_EQ(sound[441 * 51 + 10], 0);
  EXPECT_TRUE(item->IsEnd());
  EXPECT_EQ(rig.Sent(0xC0), (std::vector<Bytes>{{0xC0, 40, 0}}));
}

TEST(MidiItemTest, VolumeScalesControllerSevenOnEveryChannelWhilePlaying) {
  MidiRig rig;
  TDMediaItem* item = rig.manager->CreateItem("tune.mid");
  item->SetVolume(-5000);  // not current yet: only stored
  item->Play();
  rig.Render(100);
  const auto on_play = rig.Sent(0xB0 + 3);
  ASSERT_FALSE(on_play.empty());
  EXPECT_EQ(on_play.back(), (Bytes{0xB3, 7, 63}));  // 127 × 50 / 100
  rig.sent.clear();
  item->SetVolume(-10000);
  for (uint8_t ch = 0; ch < 16; ++ch) {
    EXPECT_EQ(rig.Sent(0xB0 + ch), (std::vector<Bytes>{{static_cast<uint8_t>(0xB0 + ch), 7, 0}}));
  }
  EXPECT_EQ(item->GetVolume(), -10000);
}

TEST(MidiItemTest, PauseKeepsThePositionAndPlayGoesOnFromIt) {
  MidiRig rig;
  TDMediaItem* item = rig.manager->CreateItem("tune.mid");
  item->Play();
  rig.Render(300);  // a step comes before each 10 ms it renders: the song stands at 290 ms
  item->Pause();
  EXPECT_TRUE(item->IsPaused());
  EXPECT_FALSE(item->IsPlaying());
  EXPECT_EQ(item->GetPosition(), 290);
  rig.Render(300);
  EXPECT_EQ(item->GetPosition(), 290);
  rig.sent.clear();
  item->Play();
  // GM System On reset the synthesizer: the program comes again, then the note held at 290 ms.
  EXPECT_EQ(rig.Sent(0xC0), (std::vector<Bytes>{{0xC0, 40, 0}}));
  EXPECT_EQ(item->GetPosition(), 290);
  EXPECT_TRUE(item->IsPlaying());
  rig.Render(200);
  EXPECT_EQ(rig.Sent(0x90).size(), 1u);
  EXPECT_TRUE(rig.Sent(0x80).empty());
  rig.Render(30);
  EXPECT_EQ(rig.Sent(0x80).size(), 1u);  // the note-off at 500 ms
}

TEST(MidiItemTest, RepeatSetBeforeTheSongIsLoadedHolds) {
  MidiRig rig;
  TDMediaItem* item = rig.manager->CreateItem("tune.mid");
  item->SetAutoRepeat(true);
  item->Play();
  EXPECT_TRUE(item->GetAutoRepeat());
  rig.Render(2200);
  EXPECT_FALSE(item->IsEnd());
  EXPECT_EQ(rig.Sent(0x90).size(), 3u);  // at 0, 1000 and 2000 ms
}

TEST(MidiItemTest, OnlyTheCurrentSongAnswersAndReleasingItStops) {
  MidiRig rig;
  TDMediaItem* first = rig.manager->CreateItem("tune.mid");
  TDMediaItem* second = rig.manager->CreateItem("tune.mid");
  first->Play();
  second->SetPosition(250);  // remembered: it is not current
  EXPECT_EQ(second->GetPosition(), 0);
  second->Play();
  EXPECT_FALSE(first->IsPlaying());
  EXPECT_EQ(second->GetPosition(), 250);
  rig.Render(100);
  rig.manager->RemoveItem(second);
  EXPECT_FALSE(rig.manager->sequencer().IsRunning());
  EXPECT_FALSE(rig.manager->sequencer().port_open());
}

TEST(MidiItemTest, AnEmptyFilePlaysNothing) {
  MidiRig rig;
  TDMediaItem* item = rig.manager->CreateItem("empty.mid");
  item->Play();
  EXPECT_FALSE(item->IsPlaying());
  EXPECT_TRUE(rig.sent.empty());
  EXPECT_EQ(item->GetLength(), 0);
}

}  // namespace
}  // namespace novu::media
