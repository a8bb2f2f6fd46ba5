#include "terminal/output_columns.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace tlx::terminal {

std::optional<std::size_t> OutputColumns() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return std::nullopt;
  return size.ws_col;
}

}  // namespace tlx::terminal
