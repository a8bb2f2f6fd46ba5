// One updater per board on Windows: a file under %LOCALAPPDATA%\tambrelux-updater opened for
// writing with no one else allowed to write it, for the life of the process. Windows closes the
// handle when its holder ends in any way, so a crashed updater never blocks the next start. The
// holder writes its program name into the file, and others may still read it, so a refused
// start can name it.
#pragma once

#include <filesystem>
#include <string>

namespace tlx::windows {

// %LOCALAPPDATA%\tambrelux-updater, where the lock files and the session log are kept;
// empty when the variable is unset.
std::filesystem::path LocalDataFolder();
// NAME.lock in LocalDataFolder(), or in the temporary folder without one.
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
  // Unavailable: why the lock file could not be created.
  const std::string& Problem() const { return problem_; }
  const std::filesystem::path& File() const { return file_; }

 private:
  void ReadHolder();

  std::filesystem::path file_;
  void* handle_ = nullptr;
  LockState state_ = LockState::NotTried;
  std::string holder_;
  std::string problem_;
};

}  // namespace tlx::windows
