#include "common/whole_file.h"

#include <cerrno>
#include <string>
#include <system_error>

#include "common/whole_file_steps.h"

namespace tlx {
namespace {

// A new file beside path that no other process has; the name starts with a dot so that it
// stays out of the way while it exists. Returns its descriptor, or -1 with errno set.
int OpenTemporaryBeside(const std::filesystem::path& path, std::filesystem::path& temporary) {
  const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
  std::filesystem::path stem = ".";
  stem += path.filename();
  stem += ".tmp-" + std::to_string(whole_file::CurrentProcessId()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder / stem;
    temporary += std::to_string(attempt);
    const int fd = whole_file::OpenNewFile(temporary);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

int WriteWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                   bool replace) {
  if (path.filename().empty()) return EISDIR;
  std::filesystem::path temporary;
  const int fd = OpenTemporaryBeside(path, temporary);
  if (fd < 0) return errno;
  int error = whole_file::Fill(fd, path, bytes, replace);
  if (error == 0) error = whole_file::MoveIntoPlace(temporary, path, replace);
  if (error != 0) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
  }
  return error;
}

}  // namespace tlx
