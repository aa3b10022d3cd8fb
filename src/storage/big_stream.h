#pragma once
// Streams with 64-bit sizes and positions: the abstract base, a memory stream, the read-ahead
// buffer used while parsing archive directories, and the copy helper shared by stored formats.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace novu {

class TKxBigStream {
 public:
  virtual ~TKxBigStream();

  // The base class has no data: it answers 0 to everything.
  virtual int64_t GetSize() { return 0; }
  virtual int64_t GetPosition() { return 0; }
  virtual void SetPosition(int64_t /*position*/) {}
  // Both return the number of bytes moved, which is short at the end of the data or on failure.
  virtual int64_t Write(const void* /*buffer*/, int64_t /*count*/) { return 0; }
  virtual int64_t Read(void* /*buffer*/, int64_t /*count*/) { return 0; }
  // Copies up to `count` bytes from the source's current position (0 = the whole source from
  // its start); returns the number copied.
  virtual int64_t CopyFromBig(TKxBigStream& source, int64_t count);

  // Reads exactly `count` bytes or throws NovuError.
  void ReadExactly(void* buffer, int64_t count);
};

// A growable in-memory stream.
class TKxBigMemoryStream : public TKxBigStream {
 public:
  TKxBigMemoryStream() = default;
  explicit TKxBigMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  int64_t GetSize() override { return static_cast<int64_t>(bytes_.size()); }
  int64_t GetPosition() override { return position_; }
  void SetPosition(int64_t position) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Read(void* buffer, int64_t count) override;

  void Clear();
  std::vector<uint8_t>& Bytes() { return bytes_; }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::span<const uint8_t> View() const { return bytes_; }

  // Crash-safe: a temporary file in the same folder is renamed over the target.
  void SaveToFile(const std::filesystem::path& path) const;
  // Throws NovuError when the file cannot be read.
  void LoadFromFile(const std::filesystem::path& path);

 private:
  std::vector<uint8_t> bytes_;
  int64_t position_ = 0;
};

// Read-ahead over another stream (not owned), in chunks of 102400 bytes. On destruction the
// source is moved back by the bytes buffered but not consumed, so that it ends exactly after
// what was read through this buffer.
class TKxBuffBigStream : public TKxBigStream {
 public:
  static constexpr int64_t kChunkSize = 102400;

  explicit TKxBuffBigStream(TKxBigStream& source) : source_(source) {}
  ~TKxBuffBigStream() override;
  TKxBuffBigStream(const TKxBuffBigStream&) = delete;
  TKxBuffBigStream& operator=(const TKxBuffBigStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;

 private:
  TKxBigStream& source_;
  std::vector<uint8_t> buffer_;
  size_t next_ = 0;
};

// Copies `size` bytes (0 = the whole source, from its start) from `source` to `destination`
// through a buffer of at most 10 MiB; stops early when the source runs dry or the destination
// takes less than offered. Returns the number of bytes copied.
int64_t CopyStream(TKxBigStream& destination, TKxBigStream& source, int64_t size);

}  // namespace novu
