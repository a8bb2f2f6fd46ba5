// tlx-fwu as a function, so that its whole behaviour can be driven from a test.
#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace tlx::fwu {

// Runs the command line (without the program's name) and returns the exit status.
int RunTool(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err);

}  // namespace tlx::fwu
