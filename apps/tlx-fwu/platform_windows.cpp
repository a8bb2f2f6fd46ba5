#include <fcntl.h>
#include <io.h>

#include "platform.h"
#include "windows/text.h"

namespace tlx::fwu {

std::vector<std::string> CommandArguments(int, char**) {
  return windows::Utf8Arguments();
}

// Binary, or the C runtime would turn "\r\n" into "\n" and stop at a 0x1A byte; the path in
// UTF-16, so every name Windows allows opens.
int OpenInput(const std::filesystem::path& path) {
  return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

}  // namespace tlx::fwu
