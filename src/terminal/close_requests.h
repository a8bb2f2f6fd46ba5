// Ctrl-C, SIGTERM and SIGHUP, taken as what closing the window is: a request the window logic
// may refuse. The signal only notes the request; the session serves it when the logic can
// take it, between steps and at each pass of the event loop while flashing.
#pragma once

#include <ostream>
#include <string>

namespace tlx::terminal {

enum class Answer { Yes, No, CloseRequested };

class CloseRequests {
 public:
  // Installs the handlers; one object per process.
  CloseRequests();
  ~CloseRequests();
  CloseRequests(const CloseRequests&) = delete;
  CloseRequests& operator=(const CloseRequests&) = delete;

  // True once for any number of signals since the last call.
  bool Pending();

  // Asks on to and reads one line from standard input: "y" or "yes" in any case is Yes,
  // anything else (end of input included) No. A close request while it waits ends the wait.
  Answer Ask(std::ostream& to, const std::string& question);
};

}  // namespace tlx::terminal
