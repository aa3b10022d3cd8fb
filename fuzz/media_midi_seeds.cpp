// Writes the seed corpus of the MIDI fuzz target into the folder given as the last argument:
// small songs with tempo changes, running status, system-exclusive messages and damage, each
// behind the byte that picks repeat and start position.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "media/midi_writer.h"

namespace {

using namespace novu::media;

void Write(const std::filesystem::path& file, uint8_t selector, const std::vector<uint8_t>& song) {
  std::ofstream out(file, std::ios::binary);
  out.put(static_cast<char>(selector));
  out.write(reinterpret_cast<const char*>(song.data()), static_cast<std::streamsize>(song.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::filesystem::path folder = argv[argc - 1];
  std::filesystem::create_directories(folder);
  const MidiTrackEvent gs_reset = {
      0, {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}};
  const std::vector<uint8_t> song = WriteMidiFile(
      480, {{SetTempo(0, 400000), gs_reset, ProgramChange(0, 0, 19), ControlChange(0, 0, 7, 90),
             NoteOn(0, 0, 60, 100), NoteOff(480, 0, 60), SetTempo(0, 250000), EndOfTrack(960)},
            {NoteOn(240, 9, 36, 120), {0, {38, 100}}, NoteOff(240, 9, 36), EndOfTrack(0)}});
  Write(folder / "two-tracks", 0, song);
  Write(folder / "two-tracks-repeat", 3, song);
  Write(folder / "two-tracks-cut", 1, std::vector<uint8_t>(song.begin(), song.end() - 9));
  std::vector<uint8_t> smpte = song;
  smpte[12] = static_cast<uint8_t>(-30);
  smpte[13] = 4;
  Write(folder / "time-code", 1, smpte);
  return 0;
}
