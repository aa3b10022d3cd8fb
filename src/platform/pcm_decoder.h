#pragma once
// Compressed-audio decoders: Ogg Vorbis through libvorbisfile and Windows Media / ASF (or any
// container FFmpeg knows) through libavformat. Both read their input from a ByteSource the caller
// supplies and hand out interleaved little-endian signed PCM.
#include <cstdint>
#include <memory>
#include <string>

namespace novu::platform {

// Random-access bytes the decoders read from (the media layer adapts its range streams).
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Bytes actually read (0 at the end).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Moves to `position` clamped to [0, Size()]; returns the new position.
  virtual int64_t SeekTo(int64_t position) = 0;
  virtual int64_t Position() = 0;
  virtual int64_t Size() = 0;
};

struct PcmFormat {
  int channels = 0;
  int rate = 0;  // samples per second
  int bits = 0;  // per sample
  int BytesPerFrame() const { return channels * bits / 8; }
};

class PcmDecoder {
 public:
  virtual ~PcmDecoder() = default;
  virtual PcmFormat Format() const = 0;
  // The decoded size in bytes.
  virtual int64_t TotalBytes() const = 0;
  // Decodes up to `count` bytes at the current position; 0 at the end or on damaged data.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Moves to byte `position` of the decoded data (a whole frame); false when it cannot.
  virtual bool SeekBytes(int64_t position) = 0;
};

// Null and an error text when the data cannot be decoded.
std::unique_ptr<PcmDecoder> OpenVorbisDecoder(std::unique_ptr<ByteSource> source,
                                              std::string& error);
// Decodes the whole stream at once into 16-bit PCM; rates other than 44100 and 22050 Hz and
// more than two channels are converted to 44100 Hz stereo.
std::unique_ptr<PcmDecoder> OpenMediaDecoder(std::unique_ptr<ByteSource> source,
                                             std::string& error);

}  // namespace novu::platform
