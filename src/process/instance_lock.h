// One updater per board: a lock file held with flock for the life of the process. The kernel
// drops the lock when its holder ends in any way, so a crashed updater never blocks the next
// start. The holder writes its program name into the file, so a refused start can name it.
#pragma once

#include <filesystem>
#include <string>

namespace tlx::process {

// NAME.lock in $XDG_RUNTIME_DIR; without that variable, in the temporary folder under a name
// that carries the user's id.
std::filesystem::path LockFileFor(const std::string& lockName);

enum class LockState { NotTried, Held, HeldByAnother, Unavailable };

class InstanceLock {
 public:
  explicit InstanceLock(std::filesystem::path file);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Tries once; a later call answers as the first did.
  LockState Acquire(const std::string& holderName);
  LockState State() const { return state_; }
  // HeldByAnother: the name the holder wrote, empty when it cannot be read.
  const std::string& Holder() const { return holder_; }
  // Unavailable: why the lock file could not be created or locked.
  const std::string& Problem() const { return problem_; }
  const std::filesystem::path& File() const { return file_; }

 private:
  LockState Fail(LockState state);
  void ReadHolder();
  bool WriteHolder(const std::string& holderName);

  std::filesystem::path file_;
  int descriptor_ = -1;
  LockState state_ = LockState::NotTried;
  std::string holder_;
  std::string problem_;
};

}  // namespace tlx::process
