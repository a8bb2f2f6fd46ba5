// The steps of writing a file whole that each operating system takes its own way
// (whole_file_posix.cpp, whole_file_windows.cpp); whole_file.cpp puts them in order.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace tlx::whole_file {

int CurrentProcessId();

// Creates path, which must not exist yet, for writing only. Returns its descriptor, or -1 with
// errno set.
int OpenNewFile(const std::filesystem::path& path);

// Writes the bytes to fd, flushes them to disk and closes fd. With replace, path's permission
// bits, where the system has them, pass to fd's file. Returns 0 or an errno value.
int Fill(int fd, const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
         bool replace);

// Moves temporary to path; without replace, refuses a path that exists (EEXIST). Returns 0 or
// an errno value.
int MoveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& path,
                  bool replace);

}  // namespace tlx::whole_file
