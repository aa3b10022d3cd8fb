#pragma once
// A read-only window [start, start + size) onto a large stream, positions relative to the
// window. Media decoders read archive entries through it from their own threads, so every
// operation holds the stream's own lock.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>

#include "storage/big_stream.h"

namespace novu {

enum class SeekOrigin { kBegin, kCurrent, kEnd };

class TRangeStream {
 public:
  // `size` 0 means up to the end of the source. The window is clamped to the source.
  TRangeStream(std::unique_ptr<TKxBigStream> source, int64_t start, int64_t size);
  virtual ~TRangeStream();
  TRangeStream(const TRangeStream&) = delete;
  TRangeStream& operator=(const TRangeStream&) = delete;

  int64_t Read(void* buffer, int64_t count);
  // Returns the new position, clamped to [0, Size()].
  int64_t Seek(int64_t offset, SeekOrigin origin);
  // Range streams are read-only.
  int64_t Write(const void* /*buffer*/, int64_t /*count*/) { return 0; }

  int64_t Size() const { return size_; }
  int64_t Position();

 private:
  std::mutex lock_;
  std::unique_ptr<TKxBigStream> source_;
  int64_t start_;
  int64_t size_;
};

// A window onto a (possibly segmented) file opened read-only.
class TFileRangeStream : public TRangeStream {
 public:
  TFileRangeStream(const std::filesystem::path& path, int64_t size, int64_t start);
};

}  // namespace novu
