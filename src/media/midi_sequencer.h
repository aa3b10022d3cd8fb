#pragma once
// TMidiPlayV: the player's own MIDI sequencer. A song is parsed once (midi_song.h); a timer step
// every 10 ms moves the song time on by the clock's elapsed time (at most 1000 ms a step) and
// sends every message whose time has come to the output port. Controller values are kept per
// channel and scaled on the way out, so the volume is a scale on controller 7.
//
// The step runs on whatever drives the sequencer (the synthesizer's rendering, a timer thread, a
// test); every other operation comes from the main thread. One lock stands for holding the
// timer: no step runs while the song, the position or the port changes.
#include <array>
#include <cstdint>
#include <mutex>
#include <span>

#include "media/midi_song.h"
#include "platform/clock.h"
#include "platform/midi_port.h"

namespace novu::media {

class TMidiPlayV {
 public:
  static constexpr int kChannels = 16;
  static constexpr int kControllers = 128;
  static constexpr int32_t kTimerInterval = 10;  // ms between steps
  static constexpr uint32_t kMaxStep = 1000;     // ms a step moves the song on at most

  explicit TMidiPlayV(platform::Clock& clock);

  // Stops, parses `data` and sets the position to the start; controller 7 of every channel
  // is 127 until the song changes it.
  void LoadSong(std::span<const uint8_t> data);
  // False (and closed) for no port.
  bool OpenPort(platform::MidiPort* port);
  void ClosePort();
  bool port_open() const;

  void StartAt(int32_t ms);
  // As StartAt, but everything before the position is sent again even when the song already
  // stands there (the port was reset).
  void Restart(int32_t ms);
  void StopSong();
  bool IsRunning() const;
  bool AtEnd() const;
  void SetAutoRepeat(bool on);
  bool auto_repeat() const;

  // `percent` of the stored value of `controller` goes out on every channel from now on.
  void SetControllerScale(int controller, int32_t percent);
  void AllNotesOff();
  void SendLong(std::span<const uint8_t> bytes);

  int32_t CurrentTime() const;
  int32_t SongLength() const;
  size_t CurrentIndex() const;
  size_t EventCount() const;
  int32_t ControllerValue(int channel, int controller) const;

  // One timer step.
  void Tick();

 private:
  bool ReachedEndLocked() const;
  void StopLocked();
  void AllNotesOffLocked();
  void SendLocked(const TMidiMsgEvent& e);
  void SendControllerLocked(int channel, int controller);
  void ChaseLocked(size_t target);
  void GoOnAtLocked(int32_t ms);
  size_t StartIndexLocked(int32_t ms) const;

  platform::Clock& clock_;
  mutable std::mutex lock_;
  MidiSong song_;
  size_t current_index_ = 0;
  int32_t current_time_ = 0;
  uint32_t last_tick_time_ = 0;
  bool auto_repeat_ = false;
  bool enabled_ = false;
  platform::MidiPort* port_ = nullptr;
  std::array<std::array<int32_t, kControllers>, kChannels> values_{};
  std::array<std::array<int32_t, kControllers>, kChannels> scales_{};
};

}  // namespace novu::media
