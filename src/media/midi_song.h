#pragma once
// A standard MIDI file parsed once into one list of messages sorted by (tick, reading order),
// each with its time in milliseconds, so that playing only compares integers and sends bytes.
#include <cstdint>
#include <span>
#include <vector>

namespace novu::media {

// What a message is, from its bytes.
enum MidiClass : uint8_t {
  kMidiOther = 0,
  kMidiNoteOn = 1,
  kMidiNoteOff = 2,
  kMidiPolyPressure = 3,
  kMidiControlChange = 4,
  kMidiProgramChange = 5,
  kMidiChannelPressure = 6,
  kMidiPitchBend = 7,
  kMidiGsReset = 8,
  kMidiSetTempo = 9,
  kMidiMetaText0 = 10,  // meta 00..07 are classes 10..17
  kMidiEndOfTrack = 18,
  kMidiMeta52 = 19,
  kMidiTimeSignature = 20,
  kMidiKeySignature = 21,
};

enum class MidiKind : uint8_t { kChannel = 0, kSysEx = 1, kMeta = 2 };

struct TMidiMsgEvent {
  int32_t AbsTick = 0;
  int32_t Time = 0;  // ms from the start of the song
  int32_t Sequence = 0;
  MidiKind Kind = MidiKind::kChannel;
  uint8_t Class = kMidiOther;
  int32_t Track = 0;
  // Channel message: status and data bytes; system exclusive: F0 or F7 and its data; meta: FF,
  // the meta type and its data.
  std::vector<uint8_t> Bytes;
};

struct MidiSong {
  std::vector<TMidiMsgEvent> events;
  int32_t division = 0;  // ticks per quarter note (or per SMPTE second, see smpte)
  bool smpte = false;    // time-code division: ticks are fractions of a second, tempo ignored
  int32_t length = 0;    // ms: the time of the last event
};

MidiClass ClassifyMidiMessage(std::span<const uint8_t> bytes);

// Data that is not a standard MIDI file gives an empty song; damaged or truncated tracks keep
// the events read before the damage.
MidiSong ParseMidiSong(std::span<const uint8_t> data);

}  // namespace novu::media
