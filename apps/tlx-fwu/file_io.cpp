#include "file_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>

#include "common/whole_file.h"
#include "messages.h"
#include "platform.h"

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

// Why the output could not be written, in the words of someone choosing -o.
std::string WriteCause(int error) {
  switch (error) {
    case ENOENT:
      return "its folder does not exist";
    case ENOTDIR:
      return "a part of its folder path is a file, not a folder";
    case EISDIR:
      return "it names a folder, not a file";
    default:
      return Cause(error);
  }
}

}  // namespace

InputFile ReadInput(const std::filesystem::path& path, std::size_t limit) {
  const Descriptor file(OpenInput(path));
  if (file.Get() < 0) {
    CannotRead(path, errno == ENOENT ? "the file does not exist" : Cause(errno));
  }
  InputFile input{{}, RegularFileSize(path, file.Get())};
  input.bytes.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(input.size, limit)));
  ReadAll(path, file.Get(), input.bytes);
  return input;
}

void WriteOutput(const Output& output, std::span<const std::uint8_t> bytes) {
  const int error = WriteWholeFile(output.path, bytes, output.replace);
  if (error == EEXIST && !output.replace) {
    throw ToolError(Quoted(output.path.string()) + " already exists; add --force to replace it.");
  }
  if (error != 0) CannotWrite(output.path, WriteCause(error));
}

}  // namespace tlx::fwu
