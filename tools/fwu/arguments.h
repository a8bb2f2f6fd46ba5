// Reads tlx-fwu's command line into a request; throws ToolError on anything it cannot use.
#pragma once

#include <span>
#include <string_view>

#include "requests.h"

namespace tlx::fwu {

// The arguments after the program's name.
Request ParseArguments(std::span<const std::string_view> arguments);

}  // namespace tlx::fwu
