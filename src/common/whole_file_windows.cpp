// Writing a file whole on Windows: a new file beside the target, flushed, then moved into place
// by MoveFileExW, which refuses an existing target unless asked to replace it.
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>

#include "common/whole_file_steps.h"

namespace tlx::whole_file {
namespace {

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

int CurrentProcessId() {
  return ::_getpid();
}

int OpenNewFile(const std::filesystem::path& path) {
  return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                  _S_IREAD | _S_IWRITE);
}

// Windows keeps no permission bits worth passing on, so path and replace play no part.
int Fill(int fd, const std::filesystem::path& /*path*/, std::span<const std::uint8_t> bytes,
         bool /*replace*/) {
  int error = WriteAll(fd, bytes);
  if (error == 0 && ::_commit(fd) != 0) error = errno;
  if (::_close(fd) != 0 && error == 0) error = errno;
  return error;
}

int MoveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& path,
                  bool replace) {
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  return MoveFileExW(temporary.c_str(), path.c_str(), flags) ? 0 : MoveError(GetLastError());
}

}  // namespace tlx::whole_file
