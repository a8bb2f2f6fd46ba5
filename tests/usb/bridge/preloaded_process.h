// Programs on the emulated bus: umockdev's preload library redirects /sys and /dev of the
// process to the testbed named by UMOCKDEV_DIR. Under AddressSanitizer its runtime has to
// come first in LD_PRELOAD; this process's own runtime is the one its programs were built with.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tlx::test {

struct ChildRun {
  std::vector<std::string> command;  // the program, then its arguments
  std::filesystem::path workDir;
  std::vector<std::string> environment;  // NAME=VALUE, over this process's own
  bool unprivileged = false;             // as "nobody" when this process runs as root
};

struct ChildOutcome {
  int exitCode = -1;  // -1: ended by a signal, or killed after the time limit
  bool hung = false;
  std::string out;
  std::string err;
};

// Waits two minutes at most. The child gets its own XDG_RUNTIME_DIR and HOME in workDir.
ChildOutcome RunPreloaded(const ChildRun& run);

// Starts this program again under the preload library, unless it already runs under it.
void ReexecPreloaded(char** argv);

}  // namespace tlx::test
