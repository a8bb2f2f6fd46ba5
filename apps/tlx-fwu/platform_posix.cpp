#include <fcntl.h>

#include "platform.h"

namespace tlx::fwu {

std::vector<std::string> CommandArguments(int argc, char** argv) {
  return {argv, argv + argc};
}

// Opening does not wait for a FIFO's writer, and a regular file reads the same without
// blocking, so the file can be checked before anything waits on it.
int OpenInput(const std::filesystem::path& path) {
  return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

}  // namespace tlx::fwu
