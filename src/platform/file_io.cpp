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

void WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> data) {
  std::filesystem::path dir = path.parent_path().empty() ? "." : path.parent_path();
  std::string pattern = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
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
}

}  // namespace novu::platform
