#pragma once
// Video files (MPEG, AVI, WMV/ASF, whatever FFmpeg knows) decoded frame by frame into 32-bit
// pixels (blue, green, red, unused: the byte order of the 32-bit surfaces). Sound of a video is
// decoded apart, by the PCM decoder over the same bytes.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/pcm_decoder.h"

namespace novu::platform {

class VideoDecoder {
 public:
  // Frames larger than this along either side are refused as damaged.
  static constexpr int kMaxSide = 8192;

  virtual ~VideoDecoder() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual int32_t LengthMs() const = 0;
  // Makes the frame shown at `ms` (from the start) the current one; true when it changed.
  // Past the last frame the last one stays.
  virtual bool ShowFrameAt(int32_t ms) = 0;
  // The current frame: Height() rows of Width() pixels, 4 bytes each, rows `Pitch()` apart;
  // black before the first frame.
  virtual const uint8_t* Pixels() const = 0;
  virtual int Pitch() const = 0;
};

// Null with `error` set when the data holds no decodable video.
std::unique_ptr<VideoDecoder> OpenVideoDecoder(std::unique_ptr<ByteSource> source,
                                               std::string& error);

}  // namespace novu::platform
