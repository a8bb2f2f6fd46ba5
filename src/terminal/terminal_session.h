// Drives the window logic from a terminal as a user would drive the window: start, "Find
// Device", then "Flash Device" or "Abort Flash" as the answer says, and close. Close requests
// (Ctrl-C) are put to the logic as closing the window is, so a running flash refuses them.
#pragma once

#include <optional>
#include <string>

#include "app/frm_start.h"
#include "terminal/close_requests.h"
#include "terminal/terminal_window.h"

namespace tlx::terminal {

struct SessionOutcome {
  int exitStatus = 0;
  std::string text;  // what the exit status stands for, as the user was told
};

class TerminalSession {
 public:
  // answeredYes: flash without asking. Without closeRequests, the session serves none: the
  // program that runs several sessions serves them (and Run cannot be used).
  TerminalSession(frmStart& form, TerminalWindow& window, ProcessServices& process,
                  UpdateReport& report, CloseRequests* closeRequests, bool answeredYes);

  SessionOutcome Run();

  // The steps of Run, for a program that asks one question for several boards.
  // Start-up and "Find Device": the outcome when the session ends there, nothing when the
  // board is ready to flash.
  std::optional<SessionOutcome> Check();
  SessionOutcome Flash();
  SessionOutcome Decline();
  // Closes the window before the flash.
  SessionOutcome Stop();
  // The user's close at the end of a run, which also closes the connection.
  SessionOutcome Close(int exitStatus, std::string text);

 private:
  Answer ConfirmFlash();
  // Serves a pending close request; true when the window was closed.
  bool ServeCloseRequest();
  bool CloseWindow();
  SessionOutcome Stopped();

  frmStart& form_;
  TerminalWindow& window_;
  ProcessServices& process_;
  UpdateReport& report_;
  CloseRequests* closeRequests_;
  bool answeredYes_;
  bool refusalTold_ = false;
};

}  // namespace tlx::terminal
