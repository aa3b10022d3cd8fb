#include "media/midi_sequencer.h"

#include <algorithm>
#include <limits>

namespace novu::media {
namespace {

constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kAllNotesOff = 0x7B;
constexpr uint8_t kVolumeController = 7;

uint32_t Pack(uint8_t status, uint8_t data1, uint8_t data2) {
  return status | static_cast<uint32_t>(data1) << 8 | static_cast<uint32_t>(data2) << 16;
}

}  // namespace

TMidiPlayV::TMidiPlayV(platform::Clock& clock) : clock_(clock) {
  for (auto& channel : scales_) channel.fill(100);
}

void TMidiPlayV::LoadSong(std::span<const uint8_t> data) {
  std::lock_guard hold(lock_);
  StopLocked();
  song_ = ParseMidiSong(data);
  current_index_ = 0;
  current_time_ = 0;
  for (auto& channel : values_) channel[kVolumeController] = 127;
}

bool TMidiPlayV::OpenPort(platform::MidiPort* port) {
  std::lock_guard hold(lock_);
  port_ = port;
  return port_ != nullptr;
}

void TMidiPlayV::ClosePort() {
  std::lock_guard hold(lock_);
  if (port_ == nullptr) return;
  enabled_ = false;
  port_->Reset();
  port_ = nullptr;
}

bool TMidiPlayV::port_open() const {
  std::lock_guard hold(lock_);
  return port_ != nullptr;
}

size_t TMidiPlayV::StartIndexLocked(int32_t ms) const {
  const auto& events = song_.events;
  const auto first_not_before =
      std::lower_bound(events.begin(), events.end(), ms,
                       [](const TMidiMsgEvent& e, int32_t time) { return e.Time < time; });
  const auto index = static_cast<size_t>(first_not_before - events.begin());
  if (index < events.size() && events[index].Time == ms) return index;
  // The event just before the first later one; from the start when none is later.
  if (index == events.size() || index == 0) return 0;
  return index - 1;
}

void TMidiPlayV::StartAt(int32_t ms) {
  std::lock_guard hold(lock_);
  enabled_ = false;
  const size_t target = StartIndexLocked(ms);
  if (target < current_index_) {
    AllNotesOffLocked();
    current_index_ = 0;
    current_time_ = 0;
    ChaseLocked(target);
  } else if (target > current_index_) {
    AllNotesOffLocked();
    ChaseLocked(target);
  }
  GoOnAtLocked(ms);
  last_tick_time_ = clock_.NowMs();
  enabled_ = true;
}

void TMidiPlayV::Restart(int32_t ms) {
  std::lock_guard hold(lock_);
  enabled_ = false;
  AllNotesOffLocked();
  current_index_ = 0;
  current_time_ = 0;
  ChaseLocked(StartIndexLocked(ms));
  GoOnAtLocked(ms);
  last_tick_time_ = clock_.NowMs();
  enabled_ = true;
}

// The chase leaves the song time at the event before the position; the song goes on from the
// position itself, so that a resumed or sought song neither jumps back nor reports an earlier
// time (the event at the target, due by then, goes out with the next step). A position past the
// last event starts the song over.
void TMidiPlayV::GoOnAtLocked(int32_t ms) {
  const auto& events = song_.events;
  if (!events.empty() && ms > current_time_ && ms <= events.back().Time) current_time_ = ms;
}

// Everything but the notes up to `target`, so that programs, controllers and tempo-free state
// are as they would be had the song played there.
void TMidiPlayV::ChaseLocked(size_t target) {
  while (current_index_ < target) {
    const TMidiMsgEvent& e = song_.events[current_index_];
    current_time_ = e.Time;
    if (e.Class != kMidiNoteOn && e.Class != kMidiNoteOff) SendLocked(e);
    ++current_index_;
  }
}

void TMidiPlayV::StopSong() {
  std::lock_guard hold(lock_);
  StopLocked();
}

void TMidiPlayV::StopLocked() {
  if (!enabled_) return;
  enabled_ = false;
  AllNotesOffLocked();
}

bool TMidiPlayV::IsRunning() const {
  std::lock_guard hold(lock_);
  return enabled_;
}

// The last event's time has passed: the song has nothing more to send.
bool TMidiPlayV::ReachedEndLocked() const {
  const auto& events = song_.events;
  return events.empty() ||
         (current_index_ + 1 >= events.size() && current_time_ > events.back().Time);
}

bool TMidiPlayV::AtEnd() const {
  std::lock_guard hold(lock_);
  return song_.events.empty() || (!auto_repeat_ && ReachedEndLocked());
}

void TMidiPlayV::SetAutoRepeat(bool on) {
  std::lock_guard hold(lock_);
  auto_repeat_ = on;
}

bool TMidiPlayV::auto_repeat() const {
  std::lock_guard hold(lock_);
  return auto_repeat_;
}

void TMidiPlayV::SetControllerScale(int controller, int32_t percent) {
  if (controller < 0 || controller >= kControllers) return;
  std::lock_guard hold(lock_);
  for (int channel = 0; channel < kChannels; ++channel) {
    scales_[channel][controller] = percent;
    if (enabled_) SendControllerLocked(channel, controller);
  }
}

void TMidiPlayV::SendControllerLocked(int channel, int controller) {
  if (port_ == nullptr) return;
  const int64_t scaled =
      static_cast<int64_t>(values_[channel][controller]) * scales_[channel][controller] / 100;
  port_->ShortMessage(Pack(static_cast<uint8_t>(kControlChange + channel),
                           static_cast<uint8_t>(controller),
                           static_cast<uint8_t>(std::clamp<int64_t>(scaled, 0, 127))));
}

void TMidiPlayV::AllNotesOff() {
  std::lock_guard hold(lock_);
  AllNotesOffLocked();
}

void TMidiPlayV::AllNotesOffLocked() {
  if (port_ == nullptr) return;
  for (int channel = 0; channel < kChannels; ++channel) {
    port_->ShortMessage(Pack(static_cast<uint8_t>(kControlChange + channel), kAllNotesOff, 0));
  }
}

void TMidiPlayV::SendLong(std::span<const uint8_t> bytes) {
  std::lock_guard hold(lock_);
  if (port_ != nullptr) port_->LongMessage(bytes);
}

void TMidiPlayV::SendLocked(const TMidiMsgEvent& e) {
  switch (e.Kind) {
    case MidiKind::kChannel:
      if (e.Class == kMidiControlChange) {
        const int channel = e.Bytes[0] & 0x0F;
        const int controller = e.Bytes[1] & 0x7F;
        values_[channel][controller] = e.Bytes[2];
        SendControllerLocked(channel, controller);
      } else if (port_ != nullptr) {
        port_->ShortMessage(Pack(e.Bytes[0], e.Bytes[1], e.Bytes.size() > 2 ? e.Bytes[2] : 0));
      }
      break;
    case MidiKind::kSysEx:
      if (port_ != nullptr) port_->LongMessage(e.Bytes);
      break;
    case MidiKind::kMeta:
      break;
  }
}

void TMidiPlayV::Tick() {
  std::lock_guard hold(lock_);
  if (!enabled_) return;
  const uint32_t now = clock_.NowMs();
  // A song past its last event waits here; an auto-repeating one is never past it (it starts
  // again when the last event's time has come, however long the silence before it).
  if (song_.events.empty() || (ReachedEndLocked() && !auto_repeat_)) {
    last_tick_time_ = now;
    return;
  }
  const uint32_t step = std::min(kMaxStep, now - last_tick_time_);
  last_tick_time_ = now;
  current_time_ = static_cast<int32_t>(
      std::min<int64_t>(int64_t{current_time_} + step, std::numeric_limits<int32_t>::max()));
  const auto& events = song_.events;
  while (true) {
    const TMidiMsgEvent& e = events[current_index_];
    if (e.Time >= current_time_) break;
    if (current_index_ + 1 < events.size()) {
      SendLocked(e);
      ++current_index_;
      continue;
    }
    // The last event (an end of track) is not sent: the song ends or starts again here.
    if (!auto_repeat_) break;
    AllNotesOffLocked();
    current_index_ = 0;
    current_time_ = events.front().Time;
  }
}

int32_t TMidiPlayV::CurrentTime() const {
  std::lock_guard hold(lock_);
  return current_time_;
}

int32_t TMidiPlayV::SongLength() const {
  std::lock_guard hold(lock_);
  return song_.length;
}

size_t TMidiPlayV::CurrentIndex() const {
  std::lock_guard hold(lock_);
  return current_index_;
}

size_t TMidiPlayV::EventCount() const {
  std::lock_guard hold(lock_);
  return song_.events.size();
}

int32_t TMidiPlayV::ControllerValue(int channel, int controller) const {
  std::lock_guard hold(lock_);
  if (channel < 0 || channel >= kChannels || controller < 0 || controller >= kControllers) {
    return 0;
  }
  return values_[channel][controller];
}

}  // namespace novu::media
