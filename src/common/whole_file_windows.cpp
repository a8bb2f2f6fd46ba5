// Writing a file whole on Windows: a new file beside the target, flushed, then moved into place
// by MoveFileExW, which refuses an existing target unless asked to replace it.
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <string>

#include "common/whole_file.h"

namespace tlx {
namespace {

int OpenTemporaryBeside(const std::filesystem::path& path, std::filesystem::path& temporary) {
  const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
  const std::wstring stem =
      L"." + path.filename().wstring() + L".tmp-" + std::to_wstring(::_getpid());
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder / (stem + L"-" + std::to_wstring(attempt));
    const int fd =
        ::_wopen(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                 _S_IREAD | _S_IWRITE);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

int WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const unsigned chunk =
        bytes.size() > (1u << 30) ? 1u << 30 : static_cast<unsigned>(bytes.size());
    const int written = ::_write(fd, bytes.data(), chunk);
    if (written < 0) return errno;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return 0;
}

int Fill(int fd, std::span<const std::uint8_t> bytes) {
  int error = WriteAll(fd, bytes);
  if (error == 0 && ::_commit(fd) != 0) error = errno;
  if (::_close(fd) != 0 && error == 0) error = errno;
  return error;
}

// The errno value callers know for the move's failure.
int MoveError(DWORD error) {
  switch (error) {
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return EEXIST;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return EACCES;
    default:
      return EIO;
  }
}

}  // namespace

int WriteWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                   bool replace) {
  if (path.filename().empty()) return EISDIR;
  std::filesystem::path temporary;
  const int fd = OpenTemporaryBeside(path, temporary);
  if (fd < 0) return errno;
  int error = Fill(fd, bytes);
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  if (error == 0 && !MoveFileExW(temporary.c_str(), path.c_str(), flags))
    error = MoveError(GetLastError());
  if (error != 0) ::_wunlink(temporary.c_str());
  return error;
}

}  // namespace tlx
