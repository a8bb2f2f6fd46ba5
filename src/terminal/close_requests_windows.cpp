// The console's Ctrl-C, Ctrl-Break and close, taken as what closing the window is: a request
// the window logic may refuse. The console's handler runs on a thread of its own; it notes the
// request and, while the question waits for input, cancels that read.
//
// Ctrl-C and Ctrl-Break are answered as handled, so the program goes on and the session serves
// the request. Closing the console, logging off and shutting down cannot be refused: Windows
// ends the process once the handler returns, and after about 5 seconds (closing the console)
// even if it does not. So the handler waits until the program lets the requests go at its end:
// an update that ends within that time ends whole, one that does not is cut off as a pulled
// cable would cut it, and the board's bootloader takes the next update.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <string>

#include "terminal/close_requests.h"

namespace tlx::terminal {
namespace {

// The console's handler can reach nothing else.
std::atomic<bool> requested = false;
std::atomic<bool> asking = false;
HANDLE mainThread = nullptr;
HANDLE programEnded = nullptr;

BOOL WINAPI NoteCloseRequest(DWORD event) {
  requested = true;
  if (asking) CancelSynchronousIo(mainThread);
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
  WaitForSingleObject(programEnded, INFINITE);
  return TRUE;
}

bool IsYes(std::string answer) {
  std::erase_if(answer, [](unsigned char c) { return std::isspace(c); });
  std::ranges::transform(answer, answer.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return answer == "y" || answer == "yes";
}

}  // namespace

CloseRequests::CloseRequests() {
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &mainThread, 0,
                  FALSE, DUPLICATE_SAME_ACCESS);
  programEnded = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(NoteCloseRequest, TRUE);
}

CloseRequests::~CloseRequests() {
  SetEvent(programEnded);
}

bool CloseRequests::Pending() {
  return requested.exchange(false);
}

Answer CloseRequests::Ask(std::ostream& to, const std::string& question) {
  to << question << std::flush;
  std::string line;
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  asking = true;
  for (;;) {
    if (Pending()) {
      asking = false;
      to << std::endl;
      return Answer::CloseRequested;
    }
    char c = 0;
    DWORD got = 0;
    if (!ReadFile(input, &c, 1, &got, nullptr) || got == 0) {
      // Ctrl-C ends a console read with nothing read: the request is served above.
      if (requested) continue;
      to << std::endl;
      break;
    }
    if (c == '\n') break;
    if (c != '\r') line += c;
  }
  asking = false;
  return IsYes(line) ? Answer::Yes : Answer::No;
}

}  // namespace tlx::terminal
