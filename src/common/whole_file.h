// Writing a file whole or not at all: whoever reads the file later (a firmware container, a
// flash dump) finds either what it held before or all of the new bytes, never a part.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace tlx {

// Writes the bytes to a new file beside path, flushes them to disk and moves the file into
// place. Without replace, the move itself refuses a path that exists by then, however late it
// appeared. A replaced file's permission bits pass to the new one. Returns 0, or the errno
// value of the step that failed (EEXIST: path exists and replace was not asked for); nothing
// is left behind on failure.
int WriteWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                   bool replace);

}  // namespace tlx
