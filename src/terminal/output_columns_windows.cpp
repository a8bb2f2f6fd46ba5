// The console's window, never wider than its buffer: a row that fits it shows whole and does
// not wrap.
#include <windows.h>

#include "terminal/output_columns.h"

namespace tlx::terminal {

std::optional<std::size_t> OutputColumns() {
  CONSOLE_SCREEN_BUFFER_INFO console{};
  if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &console)) return std::nullopt;
  return static_cast<std::size_t>(console.srWindow.Right - console.srWindow.Left + 1);
}

}  // namespace tlx::terminal
