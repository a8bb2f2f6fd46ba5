// How tlx-fwu ends: the three exit statuses and the one failure type that carries the
// sentence the user reads.
#pragma once

#include <stdexcept>

namespace tlx::fwu {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRefused = 1;  // info: the updater would refuse the container
inline constexpr int kExitError = 2;    // a wrong command line or a file that failed

// A wrong command line or a failed file operation. Its text is one sentence naming the file
// or the option and the cause; the tool prints it and exits with kExitError.
class ToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace tlx::fwu
