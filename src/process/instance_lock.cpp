#include "process/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tlx::process {

std::filesystem::path LockFileFor(const std::string& lockName) {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && runtime[0] == '/')
    return std::filesystem::path(runtime) / (lockName + ".lock");
  std::error_code error;
  std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  if (error) temporary = "/tmp";
  return temporary / (lockName + "-" + std::to_string(getuid()) + ".lock");
}

InstanceLock::InstanceLock(std::filesystem::path file) : file_(std::move(file)) {}

InstanceLock::~InstanceLock() {
  if (descriptor_ >= 0) close(descriptor_);
}

LockState InstanceLock::Acquire(const std::string& holderName) {
  if (state_ != LockState::NotTried) return state_;
  // No symbolic links: the fallback folder is shared with other users.
  descriptor_ = open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (descriptor_ < 0) return Fail(LockState::Unavailable);
  if (flock(descriptor_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK) return Fail(LockState::Unavailable);
    ReadHolder();
    return Fail(LockState::HeldByAnother);
  }
  WriteHolder(holderName);
  return state_ = LockState::Held;
}

LockState InstanceLock::Fail(LockState state) {
  if (state == LockState::Unavailable) problem_ = std::strerror(errno);
  if (descriptor_ >= 0) close(descriptor_);
  descriptor_ = -1;
  return state_ = state;
}

// The file may hold anything another process of this user wrote: only the first line's
// printable characters are taken, as they go into a message.
void InstanceLock::ReadHolder() {
  char text[128];
  const ssize_t length = pread(descriptor_, text, sizeof text, 0);
  if (length <= 0) return;
  const char* end = std::find(text, text + length, '\n');
  holder_.assign(static_cast<const char*>(text), end);
  std::erase_if(holder_, [](char c) { return c < 0x20 || c > 0x7E; });
}

// The name is a courtesy for a refused start; the lock holds without it.
bool InstanceLock::WriteHolder(const std::string& holderName) {
  const std::string line = holderName + "\n";
  return ftruncate(descriptor_, 0) == 0 &&
         pwrite(descriptor_, line.data(), line.size(), 0) == static_cast<ssize_t>(line.size());
}

}  // namespace tlx::process
