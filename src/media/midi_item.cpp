#include "media/midi_item.h"

#include <algorithm>

namespace novu::media {
namespace {

constexpr uint8_t kGmSystemOn[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
constexpr size_t kFramesPerStep =
    platform::MidiSynth::kRate * TMidiPlayV::kTimerInterval / 1000;  // 441
// After a song stops its notes still sound out while they are released.
constexpr size_t kReleaseFrames = 2 * platform::MidiSynth::kRate;

}  // namespace

TMidiItem::TMidiItem(TMidiManager& manager, std::vector<uint8_t> bytes)
    : TDMediaItem(manager), midi_(manager), bytes_(std::move(bytes)) {}

TMidiItem::~TMidiItem() {
  midi_.Release(*this);
}

bool TMidiItem::Current() const {
  return midi_.current() == this;
}

bool TMidiItem::GetAutoRepeat() {
  return Current() ? midi_.sequencer().auto_repeat() : repeat_;
}

// Kept by the item as well, so that a repeat set before the song is loaded holds once it is.
void TMidiItem::SetAutoRepeat(bool on) {
  repeat_ = on;
  if (Current()) midi_.sequencer().SetAutoRepeat(on);
}

void TMidiItem::SetVolume(int32_t level) {
  level_ = level;
  // The level spans -10000..0 hundredths of a decibel: a percentage of every channel volume.
  if (Current()) midi_.sequencer().SetControllerScale(7, level / 100 + 100);
}

int32_t TMidiItem::GetPosition() {
  return Current() ? midi_.sequencer().CurrentTime() : 0;
}

void TMidiItem::SetPosition(int32_t ms) {
  ms = std::max(ms, 0);
  if (Current() && !paused_) {
    midi_.sequencer().StartAt(ms);
    midi_.Started();
  } else {
    remembered_ = ms;
  }
}

int32_t TMidiItem::GetLength() {
  if (length_ < 0) length_ = ParseMidiSong(bytes_).length;
  return length_;
}

bool TMidiItem::IsEnd() {
  return Current() && midi_.sequencer().AtEnd();
}

bool TMidiItem::IsPlaying() {
  return Current() && midi_.sequencer().IsRunning();
}

void TMidiItem::Play() {
  if (!manager().enabled()) {
    set_suspended(true);
    return;
  }
  if (bytes_.empty()) return;  // an empty file plays nothing
  midi_.MakeCurrent(*this);
  TMidiPlayV& sequencer = midi_.sequencer();
  sequencer.SetAutoRepeat(repeat_);
  // GM System On reset the synthesizer: the song's programs and controllers are replayed up to
  // the position even when it is where the song already stood.
  sequencer.Restart(remembered_);
  paused_ = false;
  SetVolume(level_);
  midi_.Started();
}

void TMidiItem::Pause() {
  if (!Current()) return;
  remembered_ = midi_.sequencer().CurrentTime();
  midi_.sequencer().StopSong();
  paused_ = true;
}

TMidiManager::TMidiManager(MediaFiles& files, TWavOut& mixer, bool pump, SynthFactory make_synth)
    : files_(files),
      mixer_(mixer),
      pump_(pump),
      make_synth_(std::move(make_synth)),
      sequencer_(clock_) {
  mixer_.AddSource(this);
}

TMidiManager::~TMidiManager() {
  mixer_.RemoveSource(this);
  FreeItems();
}

std::unique_ptr<TDMediaItem> TMidiManager::MakeItem(std::string_view name) {
  auto file = files_.Open(name);
  std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(file->Size(), 0)));
  file->SeekTo(0);
  bytes.resize(static_cast<size_t>(
      std::max<int64_t>(file->Read(bytes.data(), static_cast<int64_t>(bytes.size())), 0)));
  return std::make_unique<TMidiItem>(*this, std::move(bytes));
}

void TMidiManager::MakeCurrent(TMidiItem& item) {
  if (current_ != &item) sequencer_.LoadSong(item.bytes());
  if (!synth_asked_) {
    synth_asked_ = true;
    if (make_synth_) synth_ = make_synth_();
    rendering_synth_ = synth_.get();
  }
  if (!sequencer_.port_open()) sequencer_.OpenPort(synth_.get());
  mixer_.Open(pump_);
  sequencer_.SendLong(kGmSystemOn);
  current_ = &item;
}

void TMidiManager::Release(TMidiItem& item) {
  if (current_ != &item) return;
  sequencer_.StopSong();
  sequencer_.ClosePort();
  current_ = nullptr;
}

void TMidiManager::Started() {
  mixer_.SourceStarted();
}

// Called by the mixer under its lock.
bool TMidiManager::Active() {
  return sequencer_.IsRunning() || tail_frames_ > 0;
}

void TMidiManager::MixInto(int16_t* mix, size_t frames) {
  platform::MidiSynth* synth = rendering_synth_.load();
  const size_t rendered = frames;
  while (frames > 0) {
    if (frames_to_step_ == 0) {
      sequencer_.Tick();
      frames_to_step_ = kFramesPerStep;
    }
    const size_t n = std::min(frames, frames_to_step_);
    if (synth != nullptr) synth->MixInto(mix, n);
    clock_.Advance(n);
    frames_to_step_ -= n;
    mix += 2 * n;
    frames -= n;
  }
  tail_frames_ =
      sequencer_.IsRunning() ? kReleaseFrames : tail_frames_ - std::min(tail_frames_, rendered);
}

}  // namespace novu::media
