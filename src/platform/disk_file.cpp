#include "platform/disk_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace novu::platform {

std::unique_ptr<DiskFile> DiskFile::Open(const std::filesystem::path& path, Access access) {
  const int flags = access == Access::kRead        ? O_RDONLY
                    : access == Access::kReadWrite ? O_RDWR
                                                   : O_RDWR | O_CREAT | O_TRUNC;
  const int fd = open(path.c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<DiskFile>(new DiskFile(fd));
}

DiskFile::~DiskFile() {
  close(fd_);
}

int64_t DiskFile::Size() const {
  struct stat info {};
  return fstat(fd_, &info) == 0 ? static_cast<int64_t>(info.st_size) : 0;
}

int64_t DiskFile::ReadAt(int64_t offset, void* buffer, int64_t count) const {
  while (true) {
    const ssize_t got = pread(fd_, buffer, static_cast<size_t>(count), offset);
    if (got < 0 && errno == EINTR) continue;
    return got;
  }
}

int64_t DiskFile::WriteAt(int64_t offset, const void* buffer, int64_t count) {
  while (true) {
    const ssize_t put = pwrite(fd_, buffer, static_cast<size_t>(count), offset);
    if (put < 0 && errno == EINTR) continue;
    return put;
  }
}

void DiskFile::Sync() {
  fsync(fd_);
}

std::optional<std::filesystem::path> MakePrivateTempFolder(std::string_view prefix) {
  std::error_code ec;
  std::string pattern =
      (std::filesystem::temp_directory_path(ec) / (std::string(prefix) + "XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) return std::nullopt;
  return std::filesystem::path(pattern);
}

std::optional<std::time_t> FileModificationTime(const std::filesystem::path& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return std::nullopt;
  return info.st_mtime;
}

}  // namespace novu::platform
