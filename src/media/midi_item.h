#pragma once
// MIDI music: the manager owns one sequencer for the whole run and loads at most one song into
// it at a time (the current item). The sequencer's timer is the synthesizer's rendering: the
// mixer asks the manager for sound, and the manager steps the song every 10 ms of rendered
// sound before it renders those 10 ms, so notes land on the sample they belong to, in a window
// and headless alike.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "media/media_manager.h"
#include "media/media_service.h"
#include "media/midi_sequencer.h"
#include "media/wav_out.h"
#include "platform/midi_port.h"

namespace novu::media {

class TMidiManager;

class TMidiItem final : public TDMediaItem {
 public:
  TMidiItem(TMidiManager& manager, std::vector<uint8_t> bytes);
  ~TMidiItem() override;

  bool GetAutoRepeat() override;
  void SetAutoRepeat(bool on) override;
  int32_t GetVolume() override { return level_; }
  void SetVolume(int32_t level) override;
  int32_t GetPosition() override;
  void SetPosition(int32_t ms) override;
  int32_t GetLength() override;
  bool IsEnd() override;
  bool IsPlaying() override;
  bool IsPaused() override { return paused_; }
  void Play() override;
  void Pause() override;
  bool IsMidi() const override { return true; }

  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  bool Current() const;

  TMidiManager& midi_;
  std::vector<uint8_t> bytes_;
  int32_t remembered_ = 0;
  int32_t level_ = 0;
  bool repeat_ = false;
  bool paused_ = false;
  int32_t length_ = -1;  // computed once
};

// Milliseconds of sound rendered so far: the sequencer's clock.
class RenderedClock final : public platform::Clock {
 public:
  uint32_t NowMs() override {
    return static_cast<uint32_t>(frames_ * 1000 / platform::MidiSynth::kRate);
  }
  void SleepMs(uint32_t /*ms*/) override {}
  void Advance(size_t frames) { frames_ += frames; }

 private:
  std::atomic<uint64_t> frames_ = 0;  // advanced by the mixer's thread
};

class TMidiManager final : public TMediaManager, private TWavSource {
 public:
  using SynthFactory = std::function<std::unique_ptr<platform::MidiSynth>()>;
  // `make_synth` is asked once, when the first song plays; null from it: songs run silently.
  TMidiManager(MediaFiles& files, TWavOut& mixer, bool pump, SynthFactory make_synth);
  ~TMidiManager() override;

  TMidiPlayV& sequencer() { return sequencer_; }
  TMidiItem* current() const { return current_; }

  // Loads the item's song unless it is current, opens the port, sends GM System On and makes
  // the item current.
  void MakeCurrent(TMidiItem& item);
  void Release(TMidiItem& item);
  // A song started: the mixer renders it from now on.
  void Started();

 protected:
  std::unique_ptr<TDMediaItem> MakeItem(std::string_view name) override;

 private:
  bool Active() override;
  void MixInto(int16_t* mix, size_t frames) override;

  MediaFiles& files_;
  TWavOut& mixer_;
  bool pump_;
  SynthFactory make_synth_;
  bool synth_asked_ = false;
  std::unique_ptr<platform::MidiSynth> synth_;
  // What the mixer's thread renders with; set once on the main thread.
  std::atomic<platform::MidiSynth*> rendering_synth_ = nullptr;
  RenderedClock clock_;
  TMidiPlayV sequencer_;
  TMidiItem* current_ = nullptr;
  size_t frames_to_step_ = 0;  // frames left before the next sequencer step
  size_t tail_frames_ = 0;     // frames still rendered after a song stopped (releasing notes)
};

}  // namespace novu::media
