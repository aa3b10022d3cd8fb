#include "media/midi_writer.h"

namespace novu::media {
namespace {

void AppendBig(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint8_t Status(uint8_t kind, int channel) {
  return static_cast<uint8_t>(kind | (channel & 0x0F));
}

uint8_t Data(int value) {
  return static_cast<uint8_t>(value & 0x7F);
}

}  // namespace

void AppendQuantity(std::vector<uint8_t>& out, uint32_t value) {
  uint8_t groups[5];
  int count = 0;
  do {
    groups[count++] = static_cast<uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0 && count < 5);
  while (count > 1) out.push_back(static_cast<uint8_t>(groups[--count] | 0x80));
  out.push_back(groups[0]);
}

std::vector<uint8_t> WriteMidiFile(uint16_t division, const std::vector<MidiTrack>& tracks) {
  std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
  AppendBig(out, 6, 4);
  AppendBig(out, 1, 2);
  AppendBig(out, static_cast<uint32_t>(tracks.size()), 2);
  AppendBig(out, division, 2);
  for (const MidiTrack& track : tracks) {
    std::vector<uint8_t> body;
    for (const MidiTrackEvent& e : track) {
      AppendQuantity(body, e.delta);
      if (e.bytes.empty()) continue;
      const uint8_t status = e.bytes[0];
      if (status == 0xFF && e.bytes.size() >= 2) {
        body.insert(body.end(), e.bytes.begin(), e.bytes.begin() + 2);
        AppendQuantity(body, static_cast<uint32_t>(e.bytes.size() - 2));
        body.insert(body.end(), e.bytes.begin() + 2, e.bytes.end());
      } else if (status == 0xF0 || status == 0xF7) {
        body.push_back(status);
        AppendQuantity(body, static_cast<uint32_t>(e.bytes.size() - 1));
        body.insert(body.end(), e.bytes.begin() + 1, e.bytes.end());
      } else {
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
      }
    }
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    AppendBig(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
  }
  return out;
}

MidiTrackEvent NoteOn(uint32_t delta, int channel, int key, int velocity) {
  return {delta, {Status(0x90, channel), Data(key), Data(velocity)}};
}

MidiTrackEvent NoteOff(uint32_t delta, int channel, int key) {
  return {delta, {Status(0x80, channel), Data(key), 0}};
}

MidiTrackEvent ControlChange(uint32_t delta, int channel, int controller, int value) {
  return {delta, {Status(0xB0, channel), Data(controller), Data(value)}};
}

MidiTrackEvent ProgramChange(uint32_t delta, int channel, int program) {
  return {delta, {Status(0xC0, channel), Data(program)}};
}

MidiTrackEvent SetTempo(uint32_t delta, uint32_t us_per_quarter) {
  return {delta,
          {0xFF, 0x51, static_cast<uint8_t>(us_per_quarter >> 16),
           static_cast<uint8_t>(us_per_quarter >> 8), static_cast<uint8_t>(us_per_quarter)}};
}

MidiTrackEvent EndOfTrack(uint32_t delta) {
  return {delta, {0xFF, 0x2F}};
}

}  // namespace novu::media
