#include "storage/big_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "platform/error.h"
#include "platform/file_io.h"

namespace novu {

TKxBigStream::~TKxBigStream() = default;

int64_t TKxBigStream::CopyFromBig(TKxBigStream& source, int64_t count) {
  return CopyStream(*this, source, count);
}

void TKxBigStream::ReadExactly(void* buffer, int64_t count) {
  if (Read(buffer, count) != count) {
    throw NovuError::FromUtf8("ファイルの終わりを越えて読み込もうとしました");
  }
}

void TKxBigMemoryStream::SetPosition(int64_t position) {
  position_ = std::clamp<int64_t>(position, 0, GetSize());
}

int64_t TKxBigMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const size_t end = static_cast<size_t>(position_) + static_cast<size_t>(count);
  if (end > bytes_.size()) bytes_.resize(end);
  std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = static_cast<int64_t>(end);
  return count;
}

int64_t TKxBigMemoryStream::Read(void* buffer, int64_t count) {
  const int64_t n = std::clamp<int64_t>(count, 0, GetSize() - position_);
  if (n > 0) std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

void TKxBigMemoryStream::Clear() {
  bytes_.clear();
  position_ = 0;
}

void TKxBigMemoryStream::SaveToFile(const std::filesystem::path& path) const {
  platform::WriteFileAtomically(path, bytes_);
}

void TKxBigMemoryStream::LoadFromFile(const std::filesystem::path& path) {
  std::optional<std::vector<uint8_t>> bytes = platform::ReadWholeFile(path);
  if (!bytes) {
    throw NovuError(FormatOne(Jp("%s:ファイルがありません"), path.string()));
  }
  bytes_ = std::move(*bytes);
  position_ = 0;
}

TKxBuffBigStream::~TKxBuffBigStream() {
  const size_t unread = buffer_.size() - next_;
  if (unread > 0) source_.SetPosition(source_.GetPosition() - static_cast<int64_t>(unread));
}

int64_t TKxBuffBigStream::Read(void* buffer, int64_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    if (next_ == buffer_.size()) {
      const int64_t want = std::min(kChunkSize, source_.GetSize() - source_.GetPosition());
      if (want <= 0) break;
      buffer_.resize(static_cast<size_t>(want));
      const int64_t got = source_.Read(buffer_.data(), want);
      buffer_.resize(static_cast<size_t>(std::max<int64_t>(got, 0)));
      next_ = 0;
      if (got <= 0) break;  // a short source ends the read instead of refilling forever
    }
    const size_t n = std::min(buffer_.size() - next_, static_cast<size_t>(count - done));
    std::memcpy(out + done, buffer_.data() + next_, n);
    next_ += n;
    done += static_cast<int64_t>(n);
  }
  return done;
}

namespace {

constexpr int64_t kMaxCopyBuffer = 10 * 1024 * 1024;
constexpr int64_t kCopyBufferStep = 1024 * 1024;

std::vector<uint8_t> AllocateCopyBuffer(int64_t wanted) {
  int64_t size = std::min(wanted, kMaxCopyBuffer);
  for (;;) {
    try {
      return std::vector<uint8_t>(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
      size -= kCopyBufferStep;
      if (size <= 0) throw;
    }
  }
}

}  // namespace

int64_t CopyStream(TKxBigStream& destination, TKxBigStream& source, int64_t size) {
  if (size == 0) {
    source.SetPosition(0);
    size = source.GetSize();
  }
  if (size <= 0) return 0;
  if (auto* memory = dynamic_cast<TKxBigMemoryStream*>(&source)) {
    const int64_t position = memory->GetPosition();
    const int64_t n = std::min(size, memory->GetSize() - position);
    const int64_t written = destination.Write(memory->Bytes().data() + position, n);
    memory->SetPosition(position + written);
    return written;
  }
  std::vector<uint8_t> buffer = AllocateCopyBuffer(size);
  int64_t done = 0;
  while (done < size) {
    const int64_t want = std::min<int64_t>(size - done, static_cast<int64_t>(buffer.size()));
    const int64_t got = source.Read(buffer.data(), want);
    if (got <= 0) break;
    const int64_t written = destination.Write(buffer.data(), got);
    done += std::max<int64_t>(written, 0);
    if (written != got) break;
  }
  return done;
}

}  // namespace novu
