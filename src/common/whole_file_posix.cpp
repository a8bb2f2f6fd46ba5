#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "common/whole_file_steps.h"

namespace tlx::whole_file {
namespace {

int WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno != EINTR) return errno;
    bytes = bytes.subspan(static_cast<std::size_t>(std::max<ssize_t>(written, 0)));
  }
  return 0;
}

int KeepPermissions(int fd, const std::filesystem::path& path) {
  struct stat existing {};
  if (::lstat(path.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode)) return 0;
  return ::fchmod(fd, existing.st_mode & 0777) == 0 ? 0 : errno;
}

}  // namespace

int CurrentProcessId() {
  return ::getpid();
}

int OpenNewFile(const std::filesystem::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

int Fill(int fd, const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
         bool replace) {
  int error = WriteAll(fd, bytes);
  if (error == 0 && replace) error = KeepPermissions(fd, path);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  return error;
}

int MoveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& path,
                  bool replace) {
  return ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(),
                     replace ? 0 : RENAME_NOREPLACE) == 0
             ? 0
             : errno;
}

}  // namespace tlx::whole_file
