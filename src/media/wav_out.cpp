#include "media/wav_out.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace novu::media {
namespace {

// Output bytes made from one source byte for the eight formats the mixer plays; 0 for others.
int ExpansionOf(const WaveFormat& f) {
  const bool rate44 = f.samples_per_sec == 44100;
  const bool rate22 = f.samples_per_sec == 22050;
  if (f.format_tag != 1 || (!rate44 && !rate22)) return 0;
  if (f.bits_per_sample != 8 && f.bits_per_sample != 16) return 0;
  if (f.channels != 1 && f.channels != 2) return 0;
  int factor = 1;
  if (f.channels == 1) factor *= 2;
  if (rate22) factor *= 2;
  if (f.bits_per_sample == 8) factor *= 2;
  return factor;
}

inline int16_t From8(uint8_t b) {
  return static_cast<int16_t>((static_cast<int>(b) - 128) * 256);
}

// Expands `src_bytes` of source at the start of `work` in place to 16-bit stereo at 44100 Hz,
// from the last sample backwards so that nothing is overwritten before it is read.
void ExpandInPlace(int16_t* work, size_t src_bytes, const WaveFormat& f) {
  const bool mono = f.channels == 1;
  const bool half_rate = f.samples_per_sec == 22050;
  const auto* bytes = reinterpret_cast<const uint8_t*>(work);
  if (f.bits_per_sample == 16) {
    const size_t samples = src_bytes / 2;
    if (mono && half_rate) {
      for (size_t i = samples; i-- > 0;) {
        const int16_t s = work[i];
        work[4 * i] = work[4 * i + 1] = work[4 * i + 2] = work[4 * i + 3] = s;
      }
    } else if (mono) {
      for (size_t i = samples; i-- > 0;) work[2 * i] = work[2 * i + 1] = work[i];
    } else if (half_rate) {
      for (size_t i = samples / 2; i-- > 0;) {
        const int16_t l = work[2 * i], r = work[2 * i + 1];
        work[4 * i] = l;
        work[4 * i + 1] = r;
        work[4 * i + 2] = l;
        work[4 * i + 3] = r;
      }
    }
    return;
  }
  const size_t samples = src_bytes;
  if (mono && half_rate) {
    for (size_t i = samples; i-- > 0;) {
      const int16_t s = From8(bytes[i]);
      work[4 * i] = work[4 * i + 1] = work[4 * i + 2] = work[4 * i + 3] = s;
    }
  } else if (mono) {
    for (size_t i = samples; i-- > 0;) work[2 * i] = work[2 * i + 1] = From8(bytes[i]);
  } else if (half_rate) {
    for (size_t i = samples / 2; i-- > 0;) {
      const int16_t l = From8(bytes[2 * i]), r = From8(bytes[2 * i + 1]);
      work[4 * i] = l;
      work[4 * i + 1] = r;
      work[4 * i + 2] = l;
      work[4 * i + 3] = r;
    }
  } else {
    for (size_t i = samples; i-- > 0;) work[i] = From8(bytes[i]);
  }
}

void ApplyVolume(int16_t* samples, size_t count, int32_t volume) {
  if (volume >= 255) return;
  for (size_t i = 0; i < count; ++i) {
    samples[i] = static_cast<int16_t>((int32_t{samples[i]} * volume) >> 8);
  }
}

void AddSaturating(int16_t* dst, const int16_t* src, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    dst[i] = static_cast<int16_t>(std::clamp(int32_t{dst[i]} + src[i], -32768, 32767));
  }
}

int64_t RoundDiv(int64_t numerator, int64_t denominator) {
  return static_cast<int64_t>(std::llround(static_cast<double>(numerator) / denominator));
}

}  // namespace

TWavBuffer::TWavBuffer(TWavOut& mixer, const WaveFormat& format, platform::ByteSource& stream)
    : mixer_(mixer),
      format_(format),
      stream_(stream),
      expansion_(ExpansionOf(format)),
      work_(mixer.chunk_bytes() / 2 + 8) {}

void TWavBuffer::Play() {
  std::lock_guard guard(mixer_.lock_);
  started_ = true;
  paused_ = false;
  ended_ = false;
  if (std::find(mixer_.active_.begin(), mixer_.active_.end(), this) == mixer_.active_.end()) {
    mixer_.active_.push_back(this);
  }
  mixer_.Kick();
}

void TWavBuffer::Pause() {
  std::lock_guard guard(mixer_.lock_);
  paused_ = true;
  mixer_.RemoveFromActive(this);
}

void TWavBuffer::SetPosition(int64_t bytes) {
  std::lock_guard guard(mixer_.lock_);
  const int64_t frame = format_.FrameBytes();
  position_ = std::max<int64_t>(bytes, 0) / frame * frame;
  has_carry_ = false;
}

void TWavBuffer::SetVolume(int32_t volume) {
  std::lock_guard guard(mixer_.lock_);
  volume_ = std::clamp(volume, 0, 256);
}

bool TWavBuffer::started() const {
  std::lock_guard guard(mixer_.lock_);
  return started_;
}
bool TWavBuffer::paused() const {
  std::lock_guard guard(mixer_.lock_);
  return paused_;
}
bool TWavBuffer::ended() const {
  std::lock_guard guard(mixer_.lock_);
  return ended_;
}
int64_t TWavBuffer::position() const {
  std::lock_guard guard(mixer_.lock_);
  return position_;
}

int64_t TWavBuffer::EstimatedPosition() const {
  std::lock_guard guard(mixer_.lock_);
  const int64_t elapsed =
      std::max<int64_t>(static_cast<int32_t>(mixer_.NowMs() - last_mix_time_.load()), 0);
  const int64_t delay = mixer_.delay_time();
  if (elapsed > 2 * delay) return position_;
  const int64_t rate = format_.BytesPerSecond();
  const int64_t estimate =
      position_ - RoundDiv(delay * rate, 1000) + RoundDiv(elapsed * rate, 1000);
  return std::clamp<int64_t>(estimate, 0, std::max<int64_t>(stream_.Size(), 0));
}

bool TWavBuffer::IsEndedAndSilent() const {
  bool ended;
  {
    std::lock_guard guard(mixer_.lock_);
    ended = ended_;
  }
  const uint32_t since = mixer_.NowMs() - last_mix_time_.load();
  return ended && since > static_cast<uint32_t>(2 * mixer_.delay_time() + 10);
}

int64_t TWavBuffer::AlignedEnd() const {
  const int64_t size = std::max<int64_t>(stream_.Size(), 0);
  return size - size % format_.FrameBytes();
}

size_t TWavBuffer::Fill(size_t out_bytes) {
  // Half-rate sources make two output frames of each source frame. When an odd number of output
  // frames is asked for, the second copy of the last one waits for the next fill.
  const size_t out_frames = out_bytes / 4;
  size_t lead = 0;
  if (has_carry_ && out_frames > 0) {
    work_[0] = carry_[0];
    work_[1] = carry_[1];
    lead = 1;
    has_carry_ = false;
  }
  const size_t frames_wanted = out_frames - lead;
  const size_t per_source = format_.samples_per_sec == 22050 ? 2 : 1;
  const int64_t frame = format_.FrameBytes();
  const int64_t want = static_cast<int64_t>((frames_wanted + per_source - 1) / per_source) * frame;
  const int64_t end = AlignedEnd();
  int16_t* area = work_.data() + 2 * lead;
  auto* dst = reinterpret_cast<uint8_t*>(area);
  int64_t got = 0;
  bool dried_up = false;
  int64_t pos = stream_.SeekTo(position_);
  while (got < want) {
    if (pos >= end) {
      if (!loop_) break;
      const int64_t start = std::max<int64_t>(loop_start_.load(), 0) / frame * frame;
      if (start >= end) break;  // a loop start past the end has nothing to repeat
      pos = stream_.SeekTo(start);
      if (pos != start) break;
    }
    const int64_t n = stream_.Read(dst + got, std::min(want - got, end - pos));
    if (n <= 0) {  // the source stopped yielding data: its end is here
      dried_up = true;
      break;
    }
    got += n;
    pos += n;
  }
  position_ = pos;
  // A looping source that stopped exactly at its end goes on from its loop start next time.
  const bool can_loop = loop_ && std::max<int64_t>(loop_start_.load(), 0) / frame * frame < end;
  ended_ = dried_up || (position_ >= end && !can_loop);
  last_mix_time_ = mixer_.NowMs();
  const size_t src = static_cast<size_t>(got / frame * frame);
  ExpandInPlace(area, src, format_);
  size_t made = src * static_cast<size_t>(expansion_) / 4;
  if (made > frames_wanted) {
    carry_[0] = area[2 * frames_wanted];
    carry_[1] = area[2 * frames_wanted + 1];
    has_carry_ = true;
    made = frames_wanted;
  }
  const size_t total = lead + made;
  ApplyVolume(work_.data(), total * 2, volume_);
  return total * 4;
}

TWavOut::TWavOut(int delay_time_ms, platform::Clock& clock,
                 std::unique_ptr<platform::AudioOutput> output)
    : delay_time_(delay_time_ms),
      chunk_bytes_(static_cast<uint32_t>(delay_time_ms * kBytesPerSecond / 1000) / 8 * 8),
      clock_(clock),
      output_(std::move(output)),
      block_(chunk_bytes_ / 2) {}

TWavOut::~TWavOut() {
  Close();
}

uint32_t TWavOut::NowMs() const {
  return clock_.NowMs();
}

bool TWavOut::Open(bool pump) {
  std::lock_guard guard(lock_);
  if (open_ || !output_ || !output_->Open()) return false;
  open_ = true;
  if (pump) {
    stop_pump_ = false;
    pump_ = std::thread([this] { PumpLoop(); });
  }
  return true;
}

void TWavOut::Close() {
  {
    std::lock_guard guard(wake_lock_);
    stop_pump_ = true;
  }
  wake_.notify_all();
  if (pump_.joinable()) pump_.join();
  std::lock_guard guard(lock_);
  active_.clear();
  buffers_.clear();
  if (open_) output_->Close();
  open_ = false;
}

TWavBuffer* TWavOut::AddBuffer(const WaveFormat& format, platform::ByteSource& stream) {
  std::lock_guard guard(lock_);
  buffers_.push_back(std::make_unique<TWavBuffer>(*this, format, stream));
  return buffers_.back().get();
}

void TWavOut::RemoveBuffer(TWavBuffer* buffer) {
  std::lock_guard guard(lock_);
  RemoveFromActive(buffer);
  std::erase_if(buffers_, [buffer](const auto& b) { return b.get() == buffer; });
}

void TWavOut::Kick() {
  {
    std::lock_guard guard(wake_lock_);
    kicked_ = true;
  }
  wake_.notify_all();
}

void TWavOut::RemoveFromActive(TWavBuffer* buffer) {
  std::erase(active_, buffer);
}

bool TWavOut::MixLocked(int16_t* dst, size_t out_bytes) {
  std::memset(dst, 0, out_bytes);
  bool contributed = false;
  for (const auto& b : buffers_) {
    if (!b->started_ || b->paused_ || b->ended_ || b->expansion_ == 0) continue;
    const size_t made = b->Fill(out_bytes);
    if (made == 0) continue;
    AddSaturating(dst, b->work_.data(), made / 2);
    contributed = true;
  }
  return contributed;
}

void TWavOut::PumpStep() {
  std::lock_guard guard(lock_);
  if (!open_) return;
  uint32_t outstanding = (output_->QueuedBytes() + chunk_bytes_ - 1) / chunk_bytes_;
  for (int pass = 0; pass < 2; ++pass) {
    if (outstanding > 1 || active_.empty()) continue;
    if (!MixLocked(block_.data(), chunk_bytes_)) continue;
    output_->Queue({reinterpret_cast<const uint8_t*>(block_.data()), chunk_bytes_});
    ++outstanding;
  }
}

void TWavOut::Render(std::span<int16_t> out) {
  std::lock_guard guard(lock_);
  size_t done = 0;
  while (done < out.size()) {
    const size_t samples = std::min<size_t>(out.size() - done, chunk_bytes_ / 2) / 2 * 2;
    if (samples == 0) {
      std::fill(out.begin() + static_cast<ptrdiff_t>(done), out.end(), int16_t{0});
      break;
    }
    MixLocked(out.data() + done, samples * 2);
    done += samples;
  }
}

void TWavOut::PumpLoop() {
  const auto period = std::chrono::milliseconds(std::max(delay_time_ / 4, 1));
  std::unique_lock wait_guard(wake_lock_);
  while (!stop_pump_) {
    wake_.wait_for(wait_guard, period, [this] { return stop_pump_ || kicked_; });
    if (stop_pump_) break;
    kicked_ = false;
    wait_guard.unlock();
    PumpStep();
    wait_guard.lock();
  }
}

}  // namespace novu::media
