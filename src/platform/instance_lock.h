#pragma once
// One player per game folder: an exclusive lock on a file named after the instance key.
#include <memory>
#include <string_view>

namespace novu::platform {

class InstanceLock {
 public:
  // The lock for `key`, or nullptr when another process holds it. The lock is released when the
  // object is destroyed or the process ends.
  static std::unique_ptr<InstanceLock> TryAcquire(std::string_view key);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

 private:
  explicit InstanceLock(int fd) : fd_(fd) {}
  int fd_;
};

}  // namespace novu::platform
