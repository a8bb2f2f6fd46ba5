// How every update program reads its command line: --help and --version answer on stdout,
// a mistake is one sentence on stderr.
#pragma once

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <vector>

namespace tlx::options {

inline constexpr int kExitBadCommandLine = 2;

// Adds --version and parses. Nothing when the program should go on; otherwise the exit status
// it should end with, having said what there was to say.
std::optional<int> ParseCommandLine(CLI::App& app, int argc, char** argv);
// The same for a command line already read, program name first.
std::optional<int> ParseCommandLine(CLI::App& app, std::vector<std::string> arguments);

}  // namespace tlx::options
