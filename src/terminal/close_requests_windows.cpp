// The console's Ctrl-C, Ctrl-Break and close, taken as what closing the window is: a request
// the window logic may refuse. The console's handler runs on a thread of its own and only
// notes the request and wakes a question that waits for its answer.
//
// Ctrl-C and Ctrl-Break are answered as handled, so the program goes on and the session serves
// the request. Closing the console, logging off and shutting down cannot be refused: Windows
// ends the process once the handler returns, and about 5 seconds after a console's close even
// if it does not. So the handler holds on until the program lets the requests go at its end:
// an update that ends within that time ends whole; one that does not is cut off as a pulled
// cable would cut it, and the board, still in its bootloader, takes the update again.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "terminal/close_requests.h"
#include "terminal/yes_answer.h"

namespace tlx::terminal {
namespace {

// The console's handler can reach nothing else.
std::atomic<bool> requested = false;
HANDLE wakeUp = nullptr;
HANDLE programEnded = nullptr;

BOOL WINAPI NoteCloseRequest(DWORD event) {
  requested = true;
  SetEvent(wakeUp);
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
    WaitForSingleObject(programEnded, INFINITE);
  return TRUE;
}

// A line read from standard input on a thread of its own, as no read of a pipe or a console
// can be relied on to end for a close request. A reader left waiting when the question ends
// otherwise holds its own reference and ends with the process.
struct LineReader {
  LineReader() : done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~LineReader() { CloseHandle(done); }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  HANDLE done;
  std::string line;
  bool ended = false;  // the input ended before a newline
};

void ReadLine(const std::shared_ptr<LineReader>& reader) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  for (;;) {
    char c = 0;
    DWORD got = 0;
    if (!ReadFile(input, &c, 1, &got, nullptr) || got == 0) {
      reader->ended = true;
      break;
    }
    if (c == '\n') break;
    if (c != '\r') reader->line += c;
  }
  SetEvent(reader->done);
}

}  // namespace

CloseRequests::CloseRequests() {
  wakeUp = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  programEnded = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(NoteCloseRequest, TRUE);
}

// A close that came while the program ran may now end it.
CloseRequests::~CloseRequests() {
  SetEvent(programEnded);
  SetConsoleCtrlHandler(NoteCloseRequest, FALSE);
}

bool CloseRequests::Pending() {
  return requested.exchange(false);
}

Answer CloseRequests::Ask(std::ostream& to, const std::string& question) {
  to << question << std::flush;
  const auto reader = std::make_shared<LineReader>();
  std::thread(ReadLine, reader).detach();
  const HANDLE waits[] = {reader->done, wakeUp};
  for (;;) {
    if (Pending()) {
      to << std::endl;
      return Answer::CloseRequested;
    }
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) break;
  }
  // Nothing typed ended the question's line.
  if (reader->ended) to << std::endl;
  return IsYes(reader->line) ? Answer::Yes : Answer::No;
}

}  // namespace tlx::terminal
