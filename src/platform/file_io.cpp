#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/error.h"
#include "platform/text_encoding.h"

namespace novu::platform {

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  std::streamoff size = in.tellg();
  if (size < 0) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  in.seekg(0);
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) return std::nullopt;
  return bytes;
}

namespace {

constexpr std::string_view kTemporaryLetters = "XXXXXX";  // mkstemp fills in six letters

std::filesystem::path FolderOf(const std::filesystem::path& path) {
  return path.parent_path().empty() ? "." : path.parent_path();
}

// A temporary file is ".NAME." and six letters: hidden, beside its target, never taken for a
// game file.
std::string TemporaryPrefix(const std::filesystem::path& path) {
  return "." + path.filename().string() + ".";
}

// The rename itself lives in the folder: until the folder is on disk, a power cut can bring back
// the old file (or, for a new one, no file). The data is already safe, so a folder that cannot be
// synced (some file systems refuse it) is not an error.
void SyncFolder(const std::filesystem::path& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

int RemoveLeftoverTemporaries(const std::filesystem::path& path) {
  const std::string prefix = TemporaryPrefix(path);
  const size_t length = prefix.size() + kTemporaryLetters.size();
  std::error_code ec;
  int removed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(FolderOf(path), ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() != length || !name.starts_with(prefix)) continue;
    if (!entry.is_regular_file(ec)) continue;
    if (std::filesystem::remove(entry.path(), ec)) ++removed;
  }
  return removed;
}

void WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> data) {
  std::string pattern =
      (FolderOf(path) / (TemporaryPrefix(path) + std::string(kTemporaryLetters))).string();
  int fd = mkstemp(pattern.data());
  auto fail = [&](const char* what) {
    std::string reason = std::strerror(errno);
    if (fd >= 0) close(fd);
    unlink(pattern.c_str());
    throw NovuError(Utf8ToCp932("ファイルに書き込めません") + " (" + path.string() + ": " + what +
                    ": " + reason + ")");
  };
  if (fd < 0) fail("create");
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("write");
    }
    done += static_cast<size_t>(n);
  }
  fchmod(fd, 0644);
  if (fsync(fd) != 0) fail("sync");
  if (close(fd) != 0) {
    fd = -1;
    fail("close");
  }
  fd = -1;
  if (rename(pattern.c_str(), path.c_str()) != 0) fail("rename");
  SyncFolder(FolderOf(path));
}

}  // namespace novu::platform
