#pragma once
// Writes standard MIDI files (format 1): the demo's music, test songs and benchmark songs.
#include <cstdint>
#include <vector>

namespace novu::media {

// One event of a track as written: the delta time in ticks and the message. A channel message
// is its status and data bytes; a meta event is FF, its type and its data; a system-exclusive
// message is F0 (or F7) and its data. The writer adds the lengths of meta and system-exclusive
// events itself.
struct MidiTrackEvent {
  uint32_t delta = 0;
  std::vector<uint8_t> bytes;
};

using MidiTrack = std::vector<MidiTrackEvent>;

// The tracks are written as they are: a track should end with EndOfTrack.
std::vector<uint8_t> WriteMidiFile(uint16_t division, const std::vector<MidiTrack>& tracks);

MidiTrackEvent NoteOn(uint32_t delta, int channel, int key, int velocity);
MidiTrackEvent NoteOff(uint32_t delta, int channel, int key);
MidiTrackEvent ControlChange(uint32_t delta, int channel, int controller, int value);
MidiTrackEvent ProgramChange(uint32_t delta, int channel, int program);
MidiTrackEvent SetTempo(uint32_t delta, uint32_t us_per_quarter);
MidiTrackEvent EndOfTrack(uint32_t delta);

// A variable-length quantity as written in the file.
void AppendQuantity(std::vector<uint8_t>& out, uint32_t value);

}  // namespace novu::media
