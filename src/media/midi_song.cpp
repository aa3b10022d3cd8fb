#include "media/midi_song.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace novu::media {
namespace {

constexpr uint8_t kGsReset[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
constexpr int32_t kDefaultTempo = 500000;  // µs per quarter note
constexpr int kMaxQuantityBytes = 4;

// A big-endian cursor over the file that never reads past its end.
class SmfCursor {
 public:
  explicit SmfCursor(std::span<const uint8_t> data) : data_(data) {}

  bool Byte(uint8_t& out) {
    if (pos_ >= data_.size()) return false;
    out = data_[pos_++];
    return true;
  }
  bool U16(uint32_t& out) { return Number(2, out); }
  bool U32(uint32_t& out) { return Number(4, out); }
  // A variable-length quantity: 7 bits a byte, the high bit set on all bytes but the last.
  bool Quantity(uint32_t& out) {
    out = 0;
    for (int i = 0; i < kMaxQuantityBytes; ++i) {
      uint8_t b = 0;
      if (!Byte(b)) return false;
      out = (out << 7) | (b & 0x7F);
      if ((b & 0x80) == 0) return true;
    }
    return false;  // longer than four bytes: not a quantity of this format
  }
  bool Take(size_t count, std::span<const uint8_t>& out) {
    if (count > data_.size() - pos_) return false;
    out = data_.subspan(pos_, count);
    pos_ += count;
    return true;
  }
  bool Tag(const char (&tag)[5]) const {
    return data_.size() - pos_ >= 4 && std::memcmp(data_.data() + pos_, tag, 4) == 0;
  }
  size_t position() const { return pos_; }
  size_t size() const { return data_.size(); }
  void Seek(size_t position) { pos_ = std::min(position, data_.size()); }

 private:
  bool Number(int bytes, uint32_t& out) {
    if (data_.size() - pos_ < static_cast<size_t>(bytes)) return false;
    out = 0;
    for (int i = 0; i < bytes; ++i) out = (out << 8) | data_[pos_++];
    return true;
  }

  std::span<const uint8_t> data_;
  size_t pos_ = 0;
};

int DataBytesOf(uint8_t status) {
  const uint8_t kind = status & 0xF0;
  return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

class TrackReader {
 public:
  TrackReader(SmfCursor& in, int32_t track, int32_t& sequence, std::vector<TMidiMsgEvent>& out)
      : in_(in), track_(track), sequence_(sequence), out_(out) {}

  // Reads events until the end-of-track event, the end of the data or damage.
  void Read() {
    while (ReadEvent()) {
    }
  }

 private:
  bool ReadEvent() {
    uint32_t delta = 0;
    if (!in_.Quantity(delta)) return false;
    if (delta > static_cast<uint32_t>(std::numeric_limits<int32_t>::max() - tick_)) return false;
    tick_ += static_cast<int32_t>(delta);
    uint8_t first = 0;
    if (!in_.Byte(first)) return false;
    if (first < 0x80) return ReadChannel(running_, &first);
    if (first < 0xF0) return ReadChannel(first, nullptr);
    if (first == 0xFF) return ReadMeta();
    if (first == 0xF0 || first == 0xF7) return ReadSysEx(first);
    return false;  // a status byte that has no place in a file ends the track
  }

  // `data1` is the first data byte already read under running status.
  bool ReadChannel(uint8_t status, const uint8_t* data1) {
    if (status < 0x80) return false;  // a data byte with no channel message before it
    TMidiMsgEvent& e = Begin(MidiKind::kChannel);
    e.Bytes.push_back(status);
    int left = DataBytesOf(status);
    if (data1 != nullptr) {
      e.Bytes.push_back(*data1);
      --left;
    }
    for (; left > 0; --left) {
      uint8_t b = 0;
      if (!in_.Byte(b)) return Drop();
      e.Bytes.push_back(b);
    }
    running_ = status;
    return Finish(e);
  }

  bool ReadMeta() {
    uint8_t type = 0;
    uint32_t length = 0;
    std::span<const uint8_t> data;
    if (!in_.Byte(type) || !in_.Quantity(length) || !in_.Take(length, data)) return false;
    TMidiMsgEvent& e = Begin(MidiKind::kMeta);
    e.Bytes.reserve(2 + data.size());
    e.Bytes.push_back(0xFF);
    e.Bytes.push_back(type);
    e.Bytes.insert(e.Bytes.end(), data.begin(), data.end());
    Finish(e);
    return type != 0x2F;
  }

  bool ReadSysEx(uint8_t status) {
    uint32_t length = 0;
    std::span<const uint8_t> data;
    if (!in_.Quantity(length) || !in_.Take(length, data)) return false;
    TMidiMsgEvent& e = Begin(MidiKind::kSysEx);
    e.Bytes.reserve(1 + data.size());
    e.Bytes.push_back(status);
    e.Bytes.insert(e.Bytes.end(), data.begin(), data.end());
    return Finish(e);
  }

  TMidiMsgEvent& Begin(MidiKind kind) {
    TMidiMsgEvent& e = out_.emplace_back();
    e.AbsTick = tick_;
    e.Kind = kind;
    e.Track = track_;
    return e;
  }
  bool Finish(TMidiMsgEvent& e) {
    e.Class = ClassifyMidiMessage(e.Bytes);
    e.Sequence = sequence_++;
    return true;
  }
  // A message cut off by the end of the data is not kept.
  bool Drop() {
    out_.pop_back();
    return false;
  }

  SmfCursor& in_;
  int32_t track_;
  int32_t& sequence_;
  std::vector<TMidiMsgEvent>& out_;
  int32_t tick_ = 0;
  uint8_t running_ = 0;
};

// Milliseconds per tick, in single precision as the times have always been computed.
struct TickScale {
  int32_t division = 0;
  bool smpte = false;
  float ticks_per_second = 0;  // time-code divisions only

  float MsPerTick(int32_t tempo) const {
    if (smpte) return 1000.0f / ticks_per_second;
    return (1.0f / static_cast<float>(division)) * static_cast<float>(tempo) / 1000.0f;
  }
};

int32_t SaturatedTime(int64_t ms) {
  return static_cast<int32_t>(std::clamp<int64_t>(ms, 0, std::numeric_limits<int32_t>::max()));
}

void AssignTimes(std::vector<TMidiMsgEvent>& events, const TickScale& scale) {
  int32_t tempo = kDefaultTempo;
  int32_t previous_tick = 0;
  int64_t previous_time = 0;
  for (TMidiMsgEvent& e : events) {
    const float step = scale.MsPerTick(tempo) * static_cast<float>(e.AbsTick - previous_tick);
    // nearbyint rounds to nearest with ties to even in the default rounding mode.
    previous_time = std::min<int64_t>(previous_time + static_cast<int64_t>(std::nearbyint(step)),
                                      std::numeric_limits<int32_t>::max());
    previous_tick = e.AbsTick;
    e.Time = SaturatedTime(previous_time);
    if (e.Class == kMidiSetTempo && e.Bytes.size() == 5) {
      tempo = e.Bytes[2] << 16 | e.Bytes[3] << 8 | e.Bytes[4];
    }
  }
}

// Frames per second of a time-code division's upper byte (-24, -25, -29 for 29.97, -30).
float FramesPerSecond(uint32_t division) {
  const int frames = -static_cast<int8_t>(division >> 8);
  return frames == 29 ? 29.97f : static_cast<float>(frames);
}

}  // namespace

MidiClass ClassifyMidiMessage(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return kMidiOther;
  const uint8_t status = bytes[0];
  if (status >= 0x80 && status < 0xF0) {
    switch (status & 0xF0) {
      case 0x90:
        return bytes.size() > 2 && bytes[2] > 0 ? kMidiNoteOn : kMidiNoteOff;
      case 0x80:
        return kMidiNoteOff;
      case 0xA0:
        return kMidiPolyPressure;
      case 0xB0:
        return kMidiControlChange;
      case 0xC0:
        return kMidiProgramChange;
      case 0xD0:
        return kMidiChannelPressure;
      default:
        return kMidiPitchBend;
    }
  }
  if (status == 0xF0 || status == 0xF7) {
    return bytes.size() == sizeof(kGsReset) && std::equal(bytes.begin(), bytes.end(), kGsReset)
               ? kMidiGsReset
               : kMidiOther;
  }
  if (status != 0xFF || bytes.size() < 2) return kMidiOther;
  const uint8_t type = bytes[1];
  if (type <= 0x07) return static_cast<MidiClass>(kMidiMetaText0 + type);
  switch (type) {
    case 0x51:
      return kMidiSetTempo;
    case 0x2F:
      return kMidiEndOfTrack;
    case 0x52:
      return kMidiMeta52;
    case 0x58:
      return kMidiTimeSignature;
    case 0x59:
      return kMidiKeySignature;
    default:
      return kMidiOther;
  }
}

MidiSong ParseMidiSong(std::span<const uint8_t> data) {
  MidiSong song;
  SmfCursor in(data);
  uint32_t header_length = 0, format = 0, tracks = 0, division = 0;
  if (!in.Tag("MThd")) return song;
  in.Seek(4);
  if (!in.U32(header_length) || !in.U16(format) || !in.U16(tracks) || !in.U16(division)) {
    return song;
  }
  TickScale scale;
  if (division & 0x8000) {
    scale.smpte = true;
    scale.ticks_per_second = FramesPerSecond(division) * static_cast<float>(division & 0xFF);
    if (scale.ticks_per_second <= 0) return song;
  } else {
    if (division == 0) return song;  // no tick has a length
    scale.division = static_cast<int32_t>(division);
  }
  // A longer header than the usual six bytes is skipped when the tracks follow it.
  if (!in.Tag("MTrk") && header_length > 6 && header_length <= data.size() - 8) {
    in.Seek(8 + header_length);
  }
  int32_t sequence = 0;
  for (uint32_t track = 0; track < tracks && in.size() - in.position() >= 8;) {
    const bool is_track = in.Tag("MTrk");
    in.Seek(in.position() + 4);
    uint32_t length = 0;
    in.U32(length);
    const size_t start = in.position();
    const size_t declared_end = length <= in.size() - start ? start + length : in.size();
    if (!is_track) {  // a chunk of another kind is skipped whole and is not a track
      in.Seek(declared_end);
      continue;
    }
    if (length > 0) {
      TrackReader(in, static_cast<int32_t>(track), sequence, song.events).Read();
      // Padding after the end-of-track event: the next chunk starts where this one says it ends.
      if (!in.Tag("MTrk") && declared_end > in.position()) in.Seek(declared_end);
    }
    ++track;
  }
  std::stable_sort(
      song.events.begin(), song.events.end(), [](const TMidiMsgEvent& a, const TMidiMsgEvent& b) {
        return a.AbsTick != b.AbsTick ? a.AbsTick < b.AbsTick : a.Sequence < b.Sequence;
      });
  AssignTimes(song.events, scale);
  song.division = scale.smpte ? static_cast<int32_t>(division & 0xFF) : scale.division;
  song.smpte = scale.smpte;
  song.length = song.events.empty() ? 0 : song.events.back().Time;
  return song;
}

}  // namespace novu::media
