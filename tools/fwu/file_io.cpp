#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "messages.h"

namespace tlx::fwu {
namespace {

// The system's description of an error, starting in lower case to sit inside a sentence.
std::string Cause(int error) {
  std::string cause = std::strerror(error);
  if (!cause.empty()) {
    cause[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(cause[0])));
  }
  return cause;
}

[[noreturn]] void CannotRead(const std::filesystem::path& path, const std::string& cause) {
  throw ToolError("cannot read " + Quoted(path.string()) + ": " + cause + ".");
}

[[noreturn]] void CannotWrite(const std::filesystem::path& path, const std::string& cause) {
  throw ToolError("cannot write " + Quoted(path.string()) + ": " + cause + ".");
}

// Closes the descriptor it holds when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  int Get() const { return fd_; }
  // Closes now, so that a failing close can be reported; returns 0 or an errno value.
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// The size of the open file, which must be a regular file.
std::uintmax_t RegularFileSize(const std::filesystem::path& path, int fd) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    CannotRead(path, Cause(errno));
  }
  if (S_ISDIR(status.st_mode)) {
    CannotRead(path, "it is a folder, not a file");
  }
  if (!S_ISREG(status.st_mode)) {
    CannotRead(path, "it is not a regular file");
  }
  return static_cast<std::uintmax_t>(status.st_size);
}

void ReadAll(const std::filesystem::path& path, int fd, std::span<std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t got = ::read(fd, bytes.data(), bytes.size());
    if (got < 0 && errno != EINTR) {
      CannotRead(path, Cause(errno));
    }
    if (got == 0) {
      CannotRead(path, "the file became shorter while it was read");
    }
    bytes = bytes.subspan(static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
  }
}

// Why no file could be created beside the output, in the words of someone choosing -o.
std::string FolderCause(int error) {
  switch (error) {
    case ENOENT:
      return "its folder does not exist";
    case ENOTDIR:
      return "a part of its folder path is a file, not a folder";
    default:
      return Cause(error);
  }
}

// Opens a new file beside `output` that no other process has; the name starts with a dot so
// that it stays out of the way while it exists.
std::filesystem::path OpenTemporaryBeside(const std::filesystem::path& output, int& fd) {
  const std::filesystem::path folder = output.parent_path().empty() ? "." : output.parent_path();
  const std::string stem = std::string(".")
                               .append(output.filename().string())
                               .append(".tlx-fwu-")
                               .append(std::to_string(::getpid()));
  for (int attempt = 0;; ++attempt) {
    std::filesystem::path temporary = folder / (stem + "-" + std::to_string(attempt));
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      return temporary;
    }
    if (errno != EEXIST || attempt == 99) {
      CannotWrite(output, FolderCause(errno));
    }
  }
}

// Returns 0 or the errno value of the first failing write.
int WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno != EINTR) {
      return errno;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(std::max<ssize_t>(written, 0)));
  }
  return 0;
}

// A replaced file's permission bits pass to the file that replaces it; returns 0 or errno.
int KeepPermissions(int fd, const std::filesystem::path& output) {
  struct stat existing {};
  if (::lstat(output.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode)) {
    return 0;
  }
  return ::fchmod(fd, existing.st_mode & 0777) == 0 ? 0 : errno;
}

// Without --force the rename fails with EEXIST when the output exists by then, however late
// it appeared; a check before writing could not promise that. Returns 0 or errno.
int MoveIntoPlace(const std::filesystem::path& temporary, const Output& output) {
  const unsigned flags = output.replace ? 0 : RENAME_NOREPLACE;
  const int result = ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, output.path.c_str(), flags);
  return result == 0 ? 0 : errno;
}

// Returns 0 or the errno value of the first step that failed.
int FillAndMoveIntoPlace(Descriptor& file, const std::filesystem::path& temporary,
                         const Output& output, std::span<const std::uint8_t> bytes) {
  int error = WriteAll(file.Get(), bytes);
  if (error == 0 && output.replace) {
    error = KeepPermissions(file.Get(), output.path);
  }
  if (error == 0 && ::fsync(file.Get()) != 0) {
    error = errno;
  }
  const int closeError = file.Close();
  if (error == 0) {
    error = closeError;
  }
  return error == 0 ? MoveIntoPlace(temporary, output) : error;
}

}  // namespace

InputFile ReadInput(const std::filesystem::path& path, std::size_t limit) {
  // Opening does not wait for a FIFO's writer, and a regular file reads the same without
  // blocking, so the file can be checked before anything waits on it.
  const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.Get() < 0) {
    CannotRead(path, errno == ENOENT ? "the file does not exist" : Cause(errno));
  }
  InputFile input{{}, RegularFileSize(path, file.Get())};
  input.bytes.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(input.size, limit)));
  ReadAll(path, file.Get(), input.bytes);
  return input;
}

void WriteOutput(const Output& output, std::span<const std::uint8_t> bytes) {
  if (output.path.filename().empty()) {
    CannotWrite(output.path, "it names a folder, not a file");
  }
  int fd = -1;
  const std::filesystem::path temporary = OpenTemporaryBeside(output.path, fd);
  Descriptor file(fd);
  const int error = FillAndMoveIntoPlace(file, temporary, output, bytes);
  if (error == 0) {
    return;
  }
  ::unlink(temporary.c_str());
  if (error == EEXIST && !output.replace) {
    throw ToolError(Quoted(output.path.string()) + " already exists; add --force to replace it.");
  }
  CannotWrite(output.path, Cause(error));
}

}  // namespace tlx::fwu
