#pragma once
// One logical file spread over segment files of 1 GiB each: segment 0 is the path itself,
// segment i >= 1 is the path without its extension plus "." and i in three digits
// (game.dat, game.001, game.002, ...).
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/disk_file.h"
#include "storage/big_stream.h"

namespace novu {

enum class BigFileMode {
  kRead,       // open the existing segments read-only
  kReadWrite,  // open the existing segments for reading and writing
  kCreate,     // delete every existing segment; segments are created as data is written
};

class TKxBigFileStream : public TKxBigStream {
 public:
  static constexpr int64_t kSegmentSize = 0x40000000;

  // Opening for reading stops at the first missing segment; a missing segment 0 throws
  // "%s:ファイルがありません". `segment_size` other than the default is for tests.
  TKxBigFileStream(std::filesystem::path path, BigFileMode mode,
                   int64_t segment_size = kSegmentSize);
  ~TKxBigFileStream() override;
  TKxBigFileStream(const TKxBigFileStream&) = delete;
  TKxBigFileStream& operator=(const TKxBigFileStream&) = delete;

  static std::filesystem::path SegmentPath(const std::filesystem::path& path, int index);

  int64_t GetSize() override;
  int64_t GetPosition() override { return position_; }
  // Clamped to [0, size].
  void SetPosition(int64_t position) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Read(void* buffer, int64_t count) override;

  const std::filesystem::path& Path() const { return path_; }
  int SegmentCount() const { return static_cast<int>(segments_.size()); }

 private:
  bool AddSegment(int index, platform::DiskFile::Access access);
  bool OpenSegment(int index);
  bool CreateSegment(int index);

  std::filesystem::path path_;
  BigFileMode mode_;
  int64_t segment_size_;
  int64_t position_ = 0;
  std::vector<std::unique_ptr<platform::DiskFile>> segments_;
};

}  // namespace novu
