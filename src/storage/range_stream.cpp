#include "storage/range_stream.h"

#include <algorithm>

#include "storage/big_file_stream.h"

namespace novu {

TRangeStream::TRangeStream(std::unique_ptr<TKxBigStream> source, int64_t start, int64_t size)
    : source_(std::move(source)) {
  const int64_t total = source_->GetSize();
  start_ = std::clamp<int64_t>(start, 0, total);
  size_ = size <= 0 ? total - start_ : std::min(size, total - start_);
  source_->SetPosition(start_);
}

TRangeStream::~TRangeStream() = default;

int64_t TRangeStream::Read(void* buffer, int64_t count) {
  std::lock_guard guard(lock_);
  const int64_t left = start_ + size_ - source_->GetPosition();
  const int64_t n = std::clamp<int64_t>(count, 0, std::max<int64_t>(left, 0));
  return n > 0 ? source_->Read(buffer, n) : 0;
}

int64_t TRangeStream::Seek(int64_t offset, SeekOrigin origin) {
  std::lock_guard guard(lock_);
  int64_t target = 0;
  switch (origin) {
    case SeekOrigin::kBegin:
      target = start_ + offset;
      break;
    case SeekOrigin::kCurrent:
      target = source_->GetPosition() + offset;
      break;
    case SeekOrigin::kEnd:
      target = start_ + size_ + offset;
      break;
  }
  target = std::clamp(target, start_, start_ + size_);
  source_->SetPosition(target);
  return target - start_;
}

int64_t TRangeStream::Position() {
  std::lock_guard guard(lock_);
  return source_->GetPosition() - start_;
}

TFileRangeStream::TFileRangeStream(const std::filesystem::path& path, int64_t size, int64_t start)
    : TRangeStream(std::make_unique<TKxBigFileStream>(path, BigFileMode::kRead), start, size) {}

}  // namespace novu
