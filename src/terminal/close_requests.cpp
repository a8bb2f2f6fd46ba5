#include "terminal/close_requests.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <string>

#include "terminal/yes_answer.h"

namespace tlx::terminal {
namespace {

constexpr std::array kCloseSignals{SIGINT, SIGTERM, SIGHUP};

// A signal handler can reach nothing else. The pipe wakes a wait for input, which a flag
// alone could miss.
volatile std::sig_atomic_t requested = 0;
int wakeUp[2] = {-1, -1};

void NoteCloseRequest(int /*signal*/) {
  requested = 1;
  const char byte = 1;
  [[maybe_unused]] const ssize_t ignored = write(wakeUp[1], &byte, 1);
}

}  // namespace

CloseRequests::CloseRequests() {
  if (pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0) wakeUp[0] = wakeUp[1] = -1;
  struct sigaction action {};
  action.sa_handler = NoteCloseRequest;
  sigemptyset(&action.sa_mask);
  // Interrupted writes to the terminal resume; the wait for input is woken by the pipe.
  action.sa_flags = SA_RESTART;
  for (const int signal : kCloseSignals) sigaction(signal, &action, nullptr);
}

CloseRequests::~CloseRequests() {
  for (const int signal : kCloseSignals) std::signal(signal, SIG_DFL);
  for (const int end : wakeUp)
    if (end >= 0) close(end);
}

bool CloseRequests::Pending() {
  char drained[16];
  while (wakeUp[0] >= 0 && read(wakeUp[0], drained, sizeof drained) > 0) {
  }
  const bool pending = requested != 0;
  requested = 0;
  return pending;
}

Answer CloseRequests::Ask(std::ostream& to, const std::string& question) {
  to << question << std::flush;
  std::string line;
  for (;;) {
    std::array<pollfd, 2> waits{pollfd{STDIN_FILENO, POLLIN, 0}, pollfd{wakeUp[0], POLLIN, 0}};
    if (Pending()) {
      to << std::endl;
      return Answer::CloseRequested;
    }
    const int ready = poll(waits.data(), waits.size(), -1);
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0 || waits[0].revents == 0) continue;
    char c = 0;
    if (read(STDIN_FILENO, &c, 1) != 1) {
      // Nothing typed ended the question's line.
      to << std::endl;
      break;
    }
    if (c == '\n') break;
    line += c;
  }
  return IsYes(line) ? Answer::Yes : Answer::No;
}

}  // namespace tlx::terminal
