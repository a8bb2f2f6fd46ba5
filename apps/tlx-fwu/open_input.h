// Opening an input file for reading, the one step of tlx-fwu's file input that differs between
// operating systems.
#pragma once

#include <filesystem>

namespace tlx::fwu {

// A descriptor for reading path's bytes as they are, or -1 with errno set.
int OpenInput(const std::filesystem::path& path);

}  // namespace tlx::fwu
