#include "storage/big_file_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "platform/error.h"

namespace novu {

TKxBigFileStream::TKxBigFileStream(std::filesystem::path path, BigFileMode mode,
                                   int64_t segment_size)
    : path_(std::move(path)), mode_(mode), segment_size_(std::max<int64_t>(segment_size, 1)) {
  if (mode_ == BigFileMode::kCreate) {
    for (int i = 0;; ++i) {
      std::error_code ec;
      if (!std::filesystem::remove(SegmentPath(path_, i), ec)) break;
    }
    if (!CreateSegment(0)) {
      throw NovuError(FormatOne(Jp("%s:ファイルが作れません"), path_.string()));
    }
    return;
  }
  for (int i = 0; OpenSegment(i); ++i) {
  }
  if (segments_.empty()) {
    throw NovuError(FormatOne(Jp("%s:ファイルがありません"), path_.string()));
  }
}

TKxBigFileStream::~TKxBigFileStream() {
  if (mode_ == BigFileMode::kRead) return;
  for (auto& segment : segments_) segment->Sync();
}

std::filesystem::path TKxBigFileStream::SegmentPath(const std::filesystem::path& path, int index) {
  if (index == 0) return path;
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, ".%.3d", index);
  std::filesystem::path stem = path;
  stem.replace_extension();
  return stem.string() + suffix;
}

bool TKxBigFileStream::AddSegment(int index, platform::DiskFile::Access access) {
  auto file = platform::DiskFile::Open(SegmentPath(path_, index), access);
  if (!file) return false;
  segments_.push_back(std::move(file));
  return true;
}

bool TKxBigFileStream::OpenSegment(int index) {
  return AddSegment(index, mode_ == BigFileMode::kRead ? platform::DiskFile::Access::kRead
                                                       : platform::DiskFile::Access::kReadWrite);
}

bool TKxBigFileStream::CreateSegment(int index) {
  return AddSegment(index, platform::DiskFile::Access::kCreate);
}

int64_t TKxBigFileStream::GetSize() {
  int64_t size = 0;
  for (const auto& segment : segments_) size += segment->Size();
  return size;
}

void TKxBigFileStream::SetPosition(int64_t position) {
  position_ = std::clamp<int64_t>(position, 0, GetSize());
}

int64_t TKxBigFileStream::Read(void* buffer, int64_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const int64_t segment = position_ / segment_size_;
    if (segment >= static_cast<int64_t>(segments_.size())) break;
    const int64_t offset = position_ % segment_size_;
    const int64_t want = std::min(count - done, segment_size_ - offset);
    const int64_t got = segments_[static_cast<size_t>(segment)]->ReadAt(offset, out + done, want);
    if (got <= 0) break;  // end of the data (or a failure): the read returns short
    done += got;
    position_ += got;
    if (got < want) break;
  }
  return done;
}

int64_t TKxBigFileStream::Write(const void* buffer, int64_t count) {
  if (mode_ == BigFileMode::kRead) return 0;
  const auto* in = static_cast<const uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const int64_t segment = position_ / segment_size_;
    if (segment > static_cast<int64_t>(segments_.size())) break;
    if (segment == static_cast<int64_t>(segments_.size()) &&
        !CreateSegment(static_cast<int>(segment))) {
      break;
    }
    const int64_t offset = position_ % segment_size_;
    const int64_t want = std::min(count - done, segment_size_ - offset);
    const int64_t put = segments_[static_cast<size_t>(segment)]->WriteAt(offset, in + done, want);
    if (put <= 0) break;
    done += put;
    position_ += put;
  }
  return done;
}

}  // namespace novu
