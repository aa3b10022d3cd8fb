#include "media/midi_sequencer.h"

#include <gtest/gtest.h>

#include "media/midi_fixtures.h"
#include "media/midi_writer.h"

namespace novu::media {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::RecordingMidiPort;

struct SequencerRig {
  explicit SequencerRig(const std::vector<MidiTrack>& tracks, uint16_t division = 480)
      : sequencer(clock) {
    sequencer.LoadSong(WriteMidiFile(division, tracks));
    EXPECT_TRUE(sequencer.OpenPort(&port));
  }
  // Runs the timer for `ms` milliseconds in steps of its interval.
  void Run(int ms) {
    for (int t = 0; t < ms; t += TMidiPlayV::kTimerInterval) {
      clock.Advance(TMidiPlayV::kTimerInterval);
      sequencer.Tick();
    }
  }
  platform::ManualClock clock;
  RecordingMidiPort port;
  TMidiPlayV sequencer;
};

std::vector<Bytes> AllNotesOffOnEveryChannel() {
  std::vector<Bytes> out;
  for (uint8_t ch = 0; ch < 16; ++ch) out.push_back({static_cast<uint8_t>(0xB0 + ch), 0x7B, 0});
  return out;
}

TEST(MidiSequencerTest, AnEventIsSentOnceTheSongTimeHasPassedIt) {
  SequencerRig rig({{NoteOn(480, 0, 60, 100), NoteOff(480, 0, 60), EndOfTrack(0)}});
  rig.sequencer.StartAt(0);
  rig.Run(500);
  EXPECT_TRUE(rig.port.sent.empty());
  EXPECT_EQ(rig.sequencer.CurrentTime(), 500);
  rig.Run(10);
  EXPECT_EQ(rig.port.sent, (std::vector<Bytes>{{0x90, 60, 100}}));
  rig.Run(500);
  EXPECT_EQ(rig.port.sent.back(), (Bytes{0x80, 60, 0}));
}

TEST(MidiSequencerTest, TempoChangesMoveLaterEvents) {
  SequencerRig rig(
      {{SetTempo(960, 250000), NoteOn(0, 0, 60, 100), NoteOn(480, 0, 62, 100), EndOfTrack(480)}});
  rig.sequencer.StartAt(0);
  rig.Run(1010);
  EXPECT_EQ(rig.port.sent, (std::vector<Bytes>{{0x90, 60, 100}}));
  rig.Run(240);
  EXPECT_EQ(rig.port.sent.size(), 1u);  // tick 1440 is at 1250 ms
  rig.Run(10);
  EXPECT_EQ(rig.port.sent.back(), (Bytes{0x90, 62, 100}));
}

TEST(MidiSequencerTest, EventsOfOneTickAreSentInTrackOrder) {
  SequencerRig rig({{NoteOn(96, 3, 60, 100), EndOfTrack(0)},
                    {NoteOn(96, 1, 64, 100), EndOfTrack(0)},
                    {NoteOn(96, 2, 67, 100), EndOfTrack(0)}});
  rig.sequencer.StartAt(0);
  rig.Run(200);
  EXPECT_EQ(rig.port.WithStatus(0x93).size(), 1u);
  ASSERT_EQ(rig.port.sent.size(), 3u);
  EXPECT_EQ(rig.port.sent[0][0], 0x93);
  EXPECT_EQ(rig.port.sent[1][0], 0x91);
  EXPECT_EQ(rig.port.sent[2][0], 0x92);
}

TEST(MidiSequencerTest, AStallMovesTheSongOnByOneSecondAtMost) {
  SequencerRig rig({{NoteOn(4800, 0, 60, 100), EndOfTrack(0)}});
  rig.sequencer.StartAt(0);
  rig.clock.Advance(7000);
  rig.sequencer.Tick();
  EXPECT_EQ(rig.sequencer.CurrentTime(), 1000);
}

TEST(MidiSequencerTest, WithoutRepeatTheSongEndsAfterItsLastEventsTime) {
  // A note, then a silent bar before the end of the track (4 quarters at 120: 2000 ms).
  SequencerRig rig({{NoteOn(0, 0, 60, 100), NoteOff(240, 0, 60), EndOfTrack(1680)}});
  rig.sequencer.StartAt(0);
  rig.Run(1000);
  EXPECT_FALSE(rig.sequencer.AtEnd());  // the last bar is still playing
  rig.Run(1000);
  EXPECT_FALSE(rig.sequencer.AtEnd());
  rig.Run(10);
  EXPECT_TRUE(rig.sequencer.AtEnd());
  EXPECT_TRUE(rig.sequencer.IsRunning());
  const size_t sent = rig.port.sent.size();
  rig.Run(3000);
  EXPECT_EQ(rig.port.sent.size(), sent);
  EXPECT_EQ(rig.sequencer.CurrentTime(), 2010);
}

TEST(MidiSequencerTest, AutoRepeatSilencesAllChannelsAndStartsAgainAfterTheSilentBar) {
  SequencerRig rig(
      {{ProgramChange(0, 0, 5), NoteOn(0, 0, 60, 100), NoteOff(240, 0, 60), EndOfTrack(1680)}});
  rig.sequencer.SetAutoRepeat(true);
  rig.sequencer.StartAt(0);
  rig.Run(2000);
  EXPECT_EQ(rig.port.sent, (std::vector<Bytes>{{0xC0, 5}, {0x90, 60, 100}, {0x80, 60, 0}}));
  rig.port.sent.clear();
  rig.Run(10);
  std::vector<Bytes> expected = AllNotesOffOnEveryChannel();
  EXPECT_EQ(rig.port.sent, expected);
  EXPECT_EQ(rig.sequencer.CurrentIndex(), 0u);
  EXPECT_FALSE(rig.sequencer.AtEnd());
  rig.Run(10);
  expected.push_back({0xC0, 5});
  expected.push_back({0x90, 60, 100});
  EXPECT_EQ(rig.port.sent, expected);
}

TEST(MidiSequencerTest, TurningRepeatOnAfterTheEndStartsAgain) {
  SequencerRig rig({{NoteOn(0, 0, 60, 100), EndOfTrack(480)}});
  rig.sequencer.StartAt(0);
  rig.Run(600);
  ASSERT_TRUE(rig.sequencer.AtEnd());
  rig.sequencer.SetAutoRepeat(true);
  rig.port.sent.clear();
  rig.Run(20);
  EXPECT_EQ(rig.port.WithStatus(0x90).size(), 1u);
}

TEST(MidiSequencerTest, ControllerScaleAppliesToTheStoredValueOnEveryChannel) {
  SequencerRig rig({{ControlChange(0, 2, 7, 100), ControlChange(0, 2, 10, 40), EndOfTrack(4800)}});
  rig.sequencer.StartAt(0);
  rig.Run(20);
  rig.port.sent.clear();
  rig.sequencer.SetControllerScale(7, 50);  // the volume of a MIDI item at -5000
  ASSERT_EQ(rig.port.sent.size(), 16u);
  for (uint8_t ch = 0; ch < 16; ++ch) {
    // A new song holds 127 on controller 7 until it sets its own.
    const uint8_t value = ch == 2 ? 50 : 63;
    EXPECT_EQ(rig.port.sent[ch], (Bytes{static_cast<uint8_t>(0xB0 + ch), 7, value})) << int{ch};
  }
  rig.sequencer.StopSong();
  rig.port.sent.clear();
  rig.sequencer.SetControllerScale(10, 50);  // stored, sent from the next controller change on
  EXPECT_TRUE(rig.port.sent.empty());
}

TEST(MidiSequencerTest, StartingEarlierReplaysEverythingButNotesFromTheStart) {
  SequencerRig rig({{ProgramChange(0, 0, 9), ControlChange(96, 0, 7, 90), NoteOn(96, 0, 60, 100),
                     NoteOff(96, 0, 60), ControlChange(96, 0, 10, 30), NoteOn(96, 0, 62, 100),
                     EndOfTrack(960)}});
  rig.sequencer.StartAt(0);
  rig.Run(450);  // all but the last note sent
  ASSERT_EQ(rig.port.sent.size(), 5u);
  rig.port.sent.clear();
  rig.sequencer.StartAt(400);  // back to the controller at 400 ms
  std::vector<Bytes> expected = AllNotesOffOnEveryChannel();
  expected.push_back({0xC0, 9});
  expected.push_back({0xB0, 7, 90});
  EXPECT_EQ(rig.port.sent, expected);
  EXPECT_EQ(rig.sequencer.CurrentIndex(), 4u);
  EXPECT_TRUE(rig.sequencer.IsRunning());
}

TEST(MidiSequencerTest, StartAtPicksTheEventToGoOnFrom) {
  // Events at 0, 100, 200 and 300 ms (division 500: 1 ms a tick).
  const MidiTrack track = {ProgramChange(0, 0, 1), ProgramChange(100, 0, 2),
                           ProgramChange(100, 0, 3), EndOfTrack(100)};
  // The song goes on from the position itself; past the last event it starts over.
  const struct {
    int32_t ms;
    size_t index;
    int32_t time;
  } cases[] = {{0, 0, 0}, {100, 1, 100}, {150, 1, 150}, {250, 2, 250}, {300, 3, 300}, {301, 0, 0}};
  for (const auto& c : cases) {
    SequencerRig rig({track}, 500);
    rig.sequencer.StartAt(c.ms);
    EXPECT_EQ(rig.sequencer.CurrentIndex(), c.index) << c.ms;
    EXPECT_EQ(rig.sequencer.CurrentTime(), c.time) << c.ms;
  }
}

TEST(MidiSequencerTest, StoppingSilencesTheChannelsAndHoldsThePosition) {
  SequencerRig rig({{NoteOn(0, 0, 60, 100), EndOfTrack(4800)}});
  rig.sequencer.StartAt(0);
  rig.Run(300);
  rig.port.sent.clear();
  rig.sequencer.StopSong();
  EXPECT_EQ(rig.port.sent, AllNotesOffOnEveryChannel());
  EXPECT_FALSE(rig.sequencer.IsRunning());
  rig.Run(300);
  EXPECT_EQ(rig.sequencer.CurrentTime(), 300);
}

TEST(MidiSequencerTest, WithoutAPortTheSongStillAdvances) {
  platform::ManualClock clock;
  TMidiPlayV sequencer(clock);
  sequencer.LoadSong(WriteMidiFile(480, {{NoteOn(0, 0, 60, 100), EndOfTrack(480)}}));
  EXPECT_FALSE(sequencer.OpenPort(nullptr));
  sequencer.StartAt(0);
  for (int i = 0; i < 60; ++i) {
    clock.Advance(10);
    sequencer.Tick();
  }
  EXPECT_TRUE(sequencer.AtEnd());
}

TEST(MidiSequencerTest, AnEmptySongIsAtItsEnd) {
  platform::ManualClock clock;
  TMidiPlayV sequencer(clock);
  EXPECT_TRUE(sequencer.AtEnd());
  sequencer.LoadSong(Bytes{'n', 'o', 'p', 'e'});
  sequencer.SetAutoRepeat(true);
  sequencer.StartAt(0);
  clock.Advance(10);
  sequencer.Tick();
  EXPECT_TRUE(sequencer.AtEnd());
  EXPECT_EQ(sequencer.CurrentTime(), 0);
}

}  // namespace
}  // namespace novu::media
