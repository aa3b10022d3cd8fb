#include "media/midi_song.h"

#include <gtest/gtest.h>

#include "media/midi_writer.h"

namespace novu::media {
namespace {

using Bytes = std::vector<uint8_t>;

// The (tick, time in ms) of every event of the parsed song.
std::vector<std::pair<int32_t, int32_t>> Times(const MidiSong& song) {
  std::vector<std::pair<int32_t, int32_t>> out;
  for (const auto& e : song.events) out.emplace_back(e.AbsTick, e.Time);
  return out;
}

TEST(MidiSongTest, TicksBecomeMillisecondsWithTheTempoInForce) {
  const struct {
    const char* what;
    uint16_t division;
    MidiTrack track;
    std::vector<std::pair<int32_t, int32_t>> times;
  } cases[] = {
      {"no tempo: 500000 µs a quarter",
       480,
       {NoteOn(480, 0, 60, 100), EndOfTrack(0)},
       {{480, 500}, {480, 500}}},
      {"a tempo change applies from its own tick on",
       480,
       {SetTempo(960, 250000), NoteOn(0, 0, 60, 100), NoteOff(480, 0, 60), EndOfTrack(0)},
       {{960, 1000}, {960, 1000}, {1440, 1250}, {1440, 1250}}},
      {"each step is rounded to nearest, ties to even",
       1024,  // 0.5 ms a tick at this tempo
       {SetTempo(0, 512000), NoteOn(1, 0, 60, 1), NoteOn(3, 0, 61, 1), NoteOn(1, 0, 62, 1),
        EndOfTrack(2)},
       {{0, 0}, {1, 0}, {4, 2}, {5, 2}, {7, 3}}},
  };
  for (const auto& c : cases) {
    const MidiSong song = ParseMidiSong(WriteMidiFile(c.division, {c.track}));
    EXPECT_EQ(Times(song), c.times) << c.what;
    EXPECT_EQ(song.length, c.times.back().second) << c.what;
  }
}

TEST(MidiSongTest, TimeCodeDivisionsCountFramesTimesTicksPerFrame) {
  // 25 frames a second, 40 ticks a frame: 1000 ticks a second, whatever the tempo says.
  Bytes file = WriteMidiFile(0, {{SetTempo(0, 250000), NoteOn(500, 0, 60, 100), EndOfTrack(0)}});
  file[12] = static_cast<uint8_t>(-25);
  file[13] = 40;
  const MidiSong song = ParseMidiSong(file);
  EXPECT_EQ(Times(song),
            (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {500, 500}, {500, 500}}));
}

TEST(MidiSongTest, EventsAtTheSameTickKeepTrackOrder) {
  const MidiSong song = ParseMidiSong(WriteMidiFile(
      96, {{NoteOn(10, 1, 60, 100), EndOfTrack(0)}, {NoteOn(10, 2, 62, 100), EndOfTrack(0)}}));
  ASSERT_EQ(song.events.size(), 4u);
  EXPECT_EQ(song.events[0].Track, 0);
  EXPECT_EQ(song.events[0].Bytes, (Bytes{0x91, 60, 100}));
  EXPECT_EQ(song.events[1].Track, 0);
  EXPECT_EQ(song.events[1].Class, kMidiEndOfTrack);
  EXPECT_EQ(song.events[2].Bytes, (Bytes{0x92, 62, 100}));
}

TEST(MidiSongTest, MessagesAreClassifiedByTheirBytes) {
  const struct {
    Bytes bytes;
    MidiClass expected;
  } cases[] = {
      {{0x93, 60, 1}, kMidiNoteOn},
      {{0x93, 60, 0}, kMidiNoteOff},
      {{0x83, 60, 64}, kMidiNoteOff},
      {{0xA0, 60, 64}, kMidiPolyPressure},
      {{0xB5, 7, 100}, kMidiControlChange},
      {{0xC0, 5}, kMidiProgramChange},
      {{0xDF, 5}, kMidiChannelPressure},
      {{0xE0, 0, 64}, kMidiPitchBend},
      {{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}, kMidiGsReset},
      {{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, kMidiOther},
      {{0xFF, 0x51, 7, 0xA1, 0x20}, kMidiSetTempo},
      {{0xFF, 0x00, 0, 1}, kMidiMetaText0},
      {{0xFF, 0x07, 'x'}, static_cast<MidiClass>(17)},
      {{0xFF, 0x2F}, kMidiEndOfTrack},
      {{0xFF, 0x52}, kMidiMeta52},
      {{0xFF, 0x58, 4, 2, 24, 8}, kMidiTimeSignature},
      {{0xFF, 0x59, 0, 0}, kMidiKeySignature},
      {{0xFF, 0x7F, 1}, kMidiOther},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClassifyMidiMessage(c.bytes), c.expected) << static_cast<int>(c.bytes[1]);
  }
}

// A one-track file whose track body is `body` as it stands (lengths checked by the parser).
Bytes FileWithBody(const Bytes& body, uint16_t division = 96) {
  Bytes file = {'M',
                'T',
                'h',
                'd',
                0,
                0,
                0,
                6,
                0,
                0,
                0,
                1,
                static_cast<uint8_t>(division >> 8),
                static_cast<uint8_t>(division)};
  file.insert(file.end(), {'M', 'T', 'r', 'k', 0, 0, 0, static_cast<uint8_t>(body.size())});
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

std::vector<Bytes> Messages(const MidiSong& song) {
  std::vector<Bytes> out;
  for (const auto& e : song.events) out.push_back(e.Bytes);
  return out;
}

TEST(MidiSongTest, DamagedTracksKeepWhatWasReadBeforeTheDamage) {
  const Bytes note = {0x90, 60, 100};
  const struct {
    const char* what;
    Bytes body;
    std::vector<Bytes> messages;
  } cases[] = {
      {"running status repeats a note-on",
       {0, 0x90, 60, 100, 10, 62, 90, 0, 0xFF, 0x2F, 0},
       {note, {0x90, 62, 90}, {0xFF, 0x2F}}},
      {"running status goes on after a meta event",
       {0, 0x90, 60, 100, 0, 0xFF, 0x01, 1, 'a', 0, 62, 90},
       {note, {0xFF, 0x01, 'a'}, {0x90, 62, 90}}},
      {"a data byte before any channel message ends the track",
       {0, 0xFF, 0x01, 1, 'a', 0, 62, 90, 0, 0xFF, 0x2F, 0},
       {{0xFF, 0x01, 'a'}}},
      {"an undefined status byte ends the track",
       {0, 0x90, 60, 100, 0, 0xF4, 0, 0x90, 1, 1},
       {note}},
      {"a delta time of five bytes ends the track",
       {0, 0x90, 60, 100, 0x81, 0x81, 0x81, 0x81, 0x01, 0x80, 60, 0},
       {note}},
      {"a meta length past the end of the data ends the track",
       {0, 0x90, 60, 100, 0, 0xFF, 0x01, 0x7F, 'a'},
       {note}},
      {"a system-exclusive length past the end ends the track",
       {0, 0x90, 60, 100, 0, 0xF0, 0x81, 0x00, 1, 2},
       {note}},
      {"a message cut off by the end of the file is dropped",
       {0, 0x90, 60, 100, 0, 0x80, 60},
       {note}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Messages(ParseMidiSong(FileWithBody(c.body))), c.messages) << c.what;
  }
}

TEST(MidiSongTest, ATrackAfterADamagedOneIsStillRead) {
  Bytes file = WriteMidiFile(
      96, {{NoteOn(0, 0, 60, 100), EndOfTrack(0)}, {NoteOn(5, 1, 64, 100), EndOfTrack(0)}});
  // Damage the first track's end-of-track meta (FF 2F 00 becomes F4 2F 00).
  const size_t first_end = 14 + 8 + 5;
  ASSERT_EQ(file[first_end], 0xFF);
  file[first_end] = 0xF4;
  const MidiSong song = ParseMidiSong(file);
  EXPECT_EQ(Messages(song), (std::vector<Bytes>{{0x90, 60, 100}, {0x91, 64, 100}, {0xFF, 0x2F}}));
}

TEST(MidiSongTest, DataThatIsNoSongGivesAnEmptySong) {
  const Bytes good = WriteMidiFile(96, {{NoteOn(0, 0, 60, 100), EndOfTrack(96)}});
  Bytes division_zero = good;
  division_zero[12] = division_zero[13] = 0;
  const struct {
    const char* what;
    Bytes data;
  } cases[] = {
      {"empty", {}},
      {"no header tag", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}},
      {"a header cut short", Bytes(good.begin(), good.begin() + 12)},
      {"division 0", division_zero},
  };
  for (const auto& c : cases) {
    const MidiSong song = ParseMidiSong(c.data);
    EXPECT_TRUE(song.events.empty()) << c.what;
    EXPECT_EQ(song.length, 0) << c.what;
  }
  EXPECT_EQ(ParseMidiSong(good).length, 500);
}

TEST(MidiSongTest, ChunksOfOtherKindsAreSkippedAndAreNoTracks) {
  const Bytes song = WriteMidiFile(96, {{NoteOn(0, 0, 60, 100), EndOfTrack(0)}});
  Bytes file(song.begin(), song.begin() + 14);
  file.insert(file.end(), {'X', 'F', 'I', 'H', 0, 0, 0, 3, 1, 2, 3});
  file.insert(file.end(), song.begin() + 14, song.end());
  EXPECT_EQ(Messages(ParseMidiSong(file)), (std::vector<Bytes>{{0x90, 60, 100}, {0xFF, 0x2F}}));
}

TEST(MidiSongTest, HugeDeltaTimesDoNotOverflow) {
  MidiTrack track;
  for (int i = 0; i < 12; ++i) track.push_back(NoteOn(0x0FFFFFFF, 0, 60, 1));
  track.push_back(EndOfTrack(0));
  const MidiSong song = ParseMidiSong(WriteMidiFile(1, {track}));
  ASSERT_FALSE(song.events.empty());
  for (size_t i = 1; i < song.events.size(); ++i) {
    EXPECT_GE(song.events[i].AbsTick, song.events[i - 1].AbsTick);
    EXPECT_GE(song.events[i].Time, song.events[i - 1].Time);
  }
}

}  // namespace
}  // namespace novu::media
