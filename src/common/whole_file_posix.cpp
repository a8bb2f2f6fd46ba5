#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "common/whole_file.h"

namespace tlx {
namespace {

// A new file beside path that no other process has; the name starts with a dot so that it
// stays out of the way while it exists. Returns its descriptor, or -1 with errno set.
int OpenTemporaryBeside(const std::filesystem::path& path, std::filesystem::path& temporary) {
  const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
  const std::string stem = "." + path.filename().string() + ".tmp-" + std::to_string(::getpid());
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder / (stem + "-" + std::to_string(attempt));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

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

int Fill(int fd, const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
         bool replace) {
  int error = WriteAll(fd, bytes);
  if (error == 0 && replace) error = KeepPermissions(fd, path);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  return error;
}

}  // namespace

int WriteWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                   bool replace) {
  if (path.filename().empty()) return EISDIR;
  std::filesystem::path temporary;
  const int fd = OpenTemporaryBeside(path, temporary);
  if (fd < 0) return errno;
  int error = Fill(fd, path, bytes, replace);
  if (error == 0 && ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(),
                                replace ? 0 : RENAME_NOREPLACE) != 0)
    error = errno;
  if (error != 0) ::unlink(temporary.c_str());
  return error;
}

}  // namespace tlx
