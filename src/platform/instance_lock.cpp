#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/text_encoding.h"

namespace novu::platform {
namespace {

// Lock files live in the user's runtime folder (or the temporary folder); the key becomes the
// file name, shortened by a hash when it would be too long for one.
std::filesystem::path LockPath(std::string_view key) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::error_code ec;
  std::filesystem::path dir = runtime && *runtime ? std::filesystem::path(runtime)
                                                  : std::filesystem::temp_directory_path(ec);
  std::string name = Cp932ToUtf8(key);
  for (char& c : name) {
    if (c == '/') c = '-';
  }
  if (name.size() > 180) {
    name = name.substr(0, 120) + "~" + std::to_string(std::hash<std::string>{}(name));
  }
  return dir / ("novuplay" + name + ".lock");
}

}  // namespace

std::unique_ptr<InstanceLock> InstanceLock::TryAcquire(std::string_view key) {
  std::filesystem::path path = LockPath(key);
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    // Nowhere to put the lock: play rather than refuse.
    return std::unique_ptr<InstanceLock>(new InstanceLock(-1));
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<InstanceLock>(new InstanceLock(fd));
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace novu::platform
