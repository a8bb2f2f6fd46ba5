// What differs between operating systems in tlx-fwu: its command line and opening an input
// file for reading.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tlx::fwu {

// The command line, program name first, in UTF-8 as the program's strings are.
std::vector<std::string> CommandArguments(int argc, char** argv);

// A descriptor for reading path's bytes as they are, or -1 with errno set.
int OpenInput(const std::filesystem::path& path);

}  // namespace tlx::fwu
