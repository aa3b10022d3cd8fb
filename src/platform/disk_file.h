#pragma once
// Plain files on disk, read and written at explicit offsets, and the few other file-system
// services the storage code needs beyond the standard library.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

namespace novu::platform {

class DiskFile {
 public:
  enum class Access { kRead, kReadWrite, kCreate };  // kCreate truncates or makes the file

  // The open file, or nullptr when it cannot be opened or is not a regular file.
  static std::unique_ptr<DiskFile> Open(const std::filesystem::path& path, Access access);
  ~DiskFile();
  DiskFile(const DiskFile&) = delete;
  DiskFile& operator=(const DiskFile&) = delete;

  int64_t Size() const;
  // One read or write at `offset` (retried when interrupted): the bytes moved, 0 at the end of
  // the file, -1 on failure.
  int64_t ReadAt(int64_t offset, void* buffer, int64_t count) const;
  int64_t WriteAt(int64_t offset, const void* buffer, int64_t count);
  void Sync();

 private:
  explicit DiskFile(int fd) : fd_(fd) {}
  int fd_;
};

// A new folder only this user can use, under the system's temporary folder; nothing on failure.
std::optional<std::filesystem::path> MakePrivateTempFolder(std::string_view prefix);

// The file's last modification time, or nothing when it cannot be read.
std::optional<std::time_t> FileModificationTime(const std::filesystem::path& path);

}  // namespace novu::platform
