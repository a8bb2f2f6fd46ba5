// Reading tlx-fwu's inputs and writing its outputs. An output is written to a temporary file
// beside it and renamed into place, so a failure never leaves a half-written file behind.
// Every failure is a ToolError whose sentence names the file and the cause.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace tlx::fwu {

struct InputFile {
  std::vector<std::uint8_t> bytes;  // the file's first bytes, up to the limit asked for
  std::uintmax_t size = 0;          // the whole file's size
};

// Reads at most `limit` bytes from the start of a regular file. Anything else (a folder, a
// FIFO, a device) is refused before it is read, so that nothing can make the tool wait.
InputFile ReadInput(const std::filesystem::path& path, std::size_t limit);

struct Output {
  std::filesystem::path path;
  bool replace = false;  // --force; the replaced file's permissions stay
};

// Writes all the bytes beside the output, flushes them to disk and moves them into place.
// Without `replace`, the move itself refuses a file that exists by then.
void WriteOutput(const Output& output, std::span<const std::uint8_t> bytes);

}  // namespace tlx::fwu
