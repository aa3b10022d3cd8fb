#include "media/wav_out.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Widens 8-bit unsigned samples to 16-bit signed ones: (b - 128) * 256.
size_t Widen8(const uint8_t* src, size_t count, int16_t* out) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i flip = _mm_set1_epi16(static_cast<int16_t>(0x8000));
  for (; i + 16 <= count; i += 16) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_xor_si128(_mm_unpacklo_epi8(zero, b), flip));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8),
                     _mm_xor_si128(_mm_unpackhi_epi8(zero, b), flip));
  }
#endif
  for (; i < count; ++i) out[i] = From8(src[i]);
  return count;
}

// Writes every 16-bit sample (mono) or every frame of two samples (stereo) `times` times over.
void Repeat(const int16_t* in, size_t samples, bool mono, int times, int16_t* out) {
  const size_t unit = mono ? 1 : 2;
  size_t i = 0;
#if defined(__SSE2__)
  for (; i + 8 <= samples; i += 8) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    __m128i lo, hi;
    if (mono) {
      lo = _mm_unpacklo_epi16(s, s);
      hi = _mm_unpackhi_epi16(s, s);
    } else {
      lo = _mm_unpacklo_epi32(s, s);
      hi = _mm_unpackhi_epi32(s, s);
    }
    int16_t* o = out + i * static_cast<size_t>(times);
    if (times == 2) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o), lo);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 8), hi);
    } else {  // four times: only mono sources at half rate
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi32(lo, lo));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 8), _mm_unpackhi_epi32(lo, lo));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 16), _mm_unpacklo_epi32(hi, hi));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 24), _mm_unpackhi_epi32(hi, hi));
    }
  }
#endif
  for (; i < samples; i += unit) {
    for (int t = 0; t < times; ++t) {
      for (size_t c = 0; c < unit; ++c) out[(i / unit * times + t) * unit + c] = in[i + c];
    }
  }
}

// Expands `src_bytes` of source into 16-bit stereo at 44100 Hz; `scratch` holds widened 8-bit
// samples on the way.
void Expand(const uint8_t* src, size_t src_bytes, const WaveFormat& f, int16_t* out,
            int16_t* scratch) {
  const bool mono = f.channels == 1;
  const bool half_rate = f.samples_per_sec == 22050;
  const int times = (mono ? 2 : 1) * (half_rate ? 2 : 1);
  const int16_t* samples;
  size_t count;
  if (f.bits_per_sample == 8) {
    count = Widen8(src, src_bytes, times == 1 ? out : scratch);
    samples = scratch;
  } else {
    count = src_bytes / 2;
    samples = reinterpret_cast<const int16_t*>(src);
    if (times == 1) std::memcpy(out, src, count * 2);
  }
  if (times == 1) return;
  if (mono) {
    Repeat(samples, count, true, times, out);
  } else {
    Repeat(samples, count, false, 2, out);
  }
}

// dst[i] += (src[i] * volume) >> 8 with the sum saturated to 16 bits; a volume of 255 or more
// adds the samples as they are. Packed 16-bit instructions where the processor has them.
void AddScaledSaturating(int16_t* dst, const int16_t* src, size_t count, int32_t volume) {
  const bool scale = volume < 255;
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i v = _mm_set1_epi16(static_cast<int16_t>(volume));
  for (; i + 8 <= count; i += 8) {
    __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    if (scale) {
      // The product's bits 8..23: the low half's top byte and the high half's bottom byte.
      const __m128i lo = _mm_mullo_epi16(s, v);
      const __m128i hi = _mm_mulhi_epi16(s, v);
      s = _mm_or_si128(_mm_srli_epi16(lo, 8), _mm_slli_epi16(hi, 8));
    }
    __m128i* d = reinterpret_cast<__m128i*>(dst + i);
    _mm_storeu_si128(d, _mm_adds_epi16(_mm_loadu_si128(d), s));
  }
#endif
  for (; i < count; ++i) {
    const int32_t sample = scale ? (int32_t{src[i]} * volume) >> 8 : src[i];
    dst[i] = static_cast<int16_t>(
        std::clamp(int32_t{dst[i]} + static_cast<int16_t>(sample), -32768, 32767));
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
      raw_(mixer.chunk_bytes() + 16),
      widened_(mixer.chunk_bytes() / 2 + 16),
      work_(mixer.chunk_bytes() / 2 + 16) {}

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
  uint8_t* dst = raw_.data();
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
  Expand(raw_.data(), src, format_, area, widened_.data());
  size_t made = src * static_cast<size_t>(expansion_) / 4;
  if (made > frames_wanted) {
    carry_[0] = area[2 * frames_wanted];
    carry_[1] = area[2 * frames_wanted + 1];
    has_carry_ = true;
    made = frames_wanted;
  }
  return (lead + made) * 4;
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
  sources_.clear();
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

void TWavOut::AddSource(TWavSource* source) {
  std::lock_guard guard(lock_);
  sources_.push_back(source);
}

void TWavOut::RemoveSource(TWavSource* source) {
  std::lock_guard guard(lock_);
  std::erase(sources_, source);
}

bool TWavOut::AnySourceActiveLocked() const {
  return std::any_of(sources_.begin(), sources_.end(), [](TWavSource* s) { return s->Active(); });
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
    AddScaledSaturating(dst, b->work_.data(), made / 2, b->volume_);
    contributed = true;
  }
  for (TWavSource* source : sources_) {
    if (!source->Active()) continue;
    source->MixInto(dst, out_bytes / 4);
    contributed = true;
  }
  return contributed;
}

void TWavOut::PumpStep() {
  std::lock_guard guard(lock_);
  if (!open_) return;
  uint32_t outstanding = (output_->QueuedBytes() + chunk_bytes_ - 1) / chunk_bytes_;
  for (int pass = 0; pass < 2; ++pass) {
    if (outstanding > 1 || (active_.empty() && !AnySourceActiveLocked())) continue;
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
