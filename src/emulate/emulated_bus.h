// A USB bus emulated with umockdev: a private /sys and /dev on which FT232R bridges, each with
// the simulated bootloader behind it, are plugged in and pulled out, and on which programs
// run under umockdev's preload library.
#pragma once

#include <chrono>
#include <filesystem>
#include <list>
#include <string>
#include <utility>
#include <vector>

#include "emulate/emulated_bridge.h"

namespace tlx::emulate {

using TimedUnplug = std::pair<std::chrono::milliseconds, EmulatedBridge*>;

struct ChildRun {
  std::vector<std::string> command{};  // the program (found on PATH), then its arguments
  std::filesystem::path workDir{};
  std::vector<std::string> environment{};  // NAME=VALUE, over this process's own
  // As another user, with its own XDG_RUNTIME_DIR and HOME in workDir: "nobody" when this
  // process runs as root.
  bool unprivileged = false;
  // The program reads this process's stdin and writes to its stdout and stderr as it goes;
  // otherwise its output is gathered into the outcome and its stdin is empty.
  bool attached = false;
  // Killed with SIGALRM after this long; 0 for no limit.
  unsigned timeLimitSeconds = 120;
};

struct ChildOutcome {
  std::string notStarted{};  // why the program could not be started, else empty
  int exitCode = -1;         // -1: ended by a signal
  int signal = 0;            // the signal that ended it
  bool hung = false;         // killed at its time limit
  std::string out{};
  std::string err{};
};

// Create it before anything asks whether it runs on an emulated bus: umockdev answers that
// once per process.
class EmulatedBus {
 public:
  EmulatedBus();
  ~EmulatedBus();
  // On the next port of bus 1, from port 1 on.
  EmulatedBridge& Plug(BridgeSpec spec = {});
  // The bridge is pulled out this long after each Run starts, unless the run ends first.
  void UnplugDuringRun(EmulatedBridge& bridge, std::chrono::milliseconds afterStart);
  ChildOutcome Run(const ChildRun& run);

 private:
  std::list<EmulatedBridge> bridges_;
  std::vector<TimedUnplug> timedUnplugs_;
  _UMockdevTestbed* testbed_;
};

// Starts this program again under the preload library, unless it runs under it already.
// Returns false when it does and the library is not loaded: umockdev is not installed.
bool ReexecPreloaded(char** argv);

}  // namespace tlx::emulate
