#include "terminal/terminal_session.h"

#include <iostream>

#include "app/window_texts.h"
#include "terminal/exit_status.h"

namespace tlx::terminal {
TerminalSession::TerminalSession(frmStart& form, TerminalWindow& window, ProcessServices& process,
                                 UpdateReport& report, CloseRequests* closeRequests,
                                 bool answeredYes)
    : form_(form),
      window_(window),
      process_(process),
      report_(report),
      closeRequests_(closeRequests),
      answeredYes_(answeredYes) {
  window_.onEvents = [this] { ServeCloseRequest(); };
}

SessionOutcome TerminalSession::Run() {
  if (auto ended = Check()) return *ended;
  switch (ConfirmFlash()) {
    case Answer::CloseRequested:
      return Stop();
    case Answer::No:
      return Decline();
    case Answer::Yes:
      break;
  }
  return Flash();
}

std::optional<SessionOutcome> TerminalSession::Check() {
  form_.Form_Load();
  if (window_.Finished()) {
    // Asked again, the lock answers as it did at start-up.
    const bool running = process_.PrevInstance();
    return SessionOutcome{running ? kExitAlreadyRunning : kExitRefused, window_.LastMessage()};
  }
  if (ServeCloseRequest()) return Stopped();
  form_.Button_Click(kFindDevice);
  // A USB failure in the check has closed the window already.
  if (window_.Finished()) return SessionOutcome{kExitRefused, window_.LastMessage()};
  if (form_.FailureFlag == kDeviceCheckRefused) return Close(kExitRefused, window_.LastMessage());
  if (ServeCloseRequest()) return Stopped();
  return std::nullopt;
}

SessionOutcome TerminalSession::Flash() {
  form_.Button_Click(kFlashDevice);
  if (form_.FailureFlag != 0) return Close(kExitUpdateFailed, window_.LastMessage());
  form_.Button_Click(kOk);
  return Close(kExitComplete, kFlashCompleteText);
}

SessionOutcome TerminalSession::Decline() {
  form_.Button_Click(kAbortFlash);
  report_.Notice("Abort Flash: nothing was written.");
  return Close(kExitStopped, "Abort Flash: nothing was written");
}

SessionOutcome TerminalSession::Stop() {
  CloseWindow();
  return Stopped();
}

Answer TerminalSession::ConfirmFlash() {
  if (answeredYes_) return Answer::Yes;
  return closeRequests_->Ask(std::cerr, "Flash Device? [y/N] ");
}

bool TerminalSession::ServeCloseRequest() {
  return closeRequests_ != nullptr && closeRequests_->Pending() && CloseWindow();
}

// As the window's close button: refused while a flash runs, which the user is told once.
bool TerminalSession::CloseWindow() {
  const bool closed = form_.RequestClose();
  if (!closed && !refusalTold_) {
    refusalTold_ = true;
    report_.Notice(
        "tlx-update: the update cannot be stopped halfway without leaving the board unusable; "
        "it goes on.");
  }
  return closed;
}

SessionOutcome TerminalSession::Stopped() {
  report_.Notice("tlx-update: stopped before the update began; nothing was written.");
  return {kExitStopped, "Stopped: nothing was written"};
}

SessionOutcome TerminalSession::Close(int exitStatus, std::string text) {
  CloseWindow();
  return {exitStatus, std::move(text)};
}

}  // namespace tlx::terminal
