#include "cli/terminal_session.h"

#include <iostream>

#include "app/window_states.h"
#include "cli/exit_status.h"

namespace tlx::cli {
namespace {

// The kind of close request passed on; the logic treats every kind alike.
constexpr int kCloseRequest = 0;

}  // namespace

TerminalSession::TerminalSession(frmStart& form, TerminalWindow& window,
                                 process::PosixProcessServices& process, UpdateReport& report,
                                 CloseRequests& closeRequests, bool answeredYes)
    : form_(form),
      window_(window),
      process_(process),
      report_(report),
      closeRequests_(closeRequests),
      answeredYes_(answeredYes) {
  window_.onUnload = [this](bool& cancel) { form_.Form_Unload(cancel); };
  window_.onEvents = [this] { ServeCloseRequest(); };
}

SessionOutcome TerminalSession::Run() {
  form_.Form_Load();
  if (window_.Finished()) {
    const bool running = process_.Lock() == process::LockState::HeldByAnother;
    return {running ? kExitAlreadyRunning : kExitRefused, window_.LastMessage()};
  }
  if (ServeCloseRequest()) return Stopped();
  form_.Button_Click(kFindDevice);
  // A USB failure in the check has closed the window already.
  if (window_.Finished()) return {kExitRefused, window_.LastMessage()};
  if (form_.FailureFlag != 0) return Close(kExitRefused, window_.LastMessage());
  if (ServeCloseRequest()) return Stopped();

  switch (ConfirmFlash()) {
    case Answer::CloseRequested:
      CloseWindow();
      return Stopped();
    case Answer::No:
      form_.Button_Click(kAbortFlash);
      report_.Notice("Abort Flash: nothing was written.");
      return Close(kExitStopped, "Abort Flash: nothing was written");
    case Answer::Yes:
      break;
  }
  form_.Button_Click(kFlashDevice);
  if (form_.FailureFlag != 0) return Close(kExitUpdateFailed, window_.LastMessage());
  form_.Button_Click(kOk);
  return Close(kExitComplete, kFlashCompleteText);
}

Answer TerminalSession::ConfirmFlash() {
  if (answeredYes_) return Answer::Yes;
  return closeRequests_.Ask(std::cerr, "Flash Device? [y/N] ");
}

bool TerminalSession::ServeCloseRequest() {
  return closeRequests_.Pending() && CloseWindow();
}

// As the window's close button: refused while a flash runs, which the user is told once.
bool TerminalSession::CloseWindow() {
  bool cancel = false;
  form_.Form_QueryUnload(cancel, kCloseRequest);
  if (!cancel) {
    window_.Unload();
  } else if (!refusalTold_) {
    refusalTold_ = true;
    report_.Notice(
        "tlx-update: the update cannot be stopped halfway without leaving the board unusable; "
        "it goes on.");
  }
  return !cancel;
}

SessionOutcome TerminalSession::Stopped() {
  report_.Notice("tlx-update: stopped before the update began; nothing was written.");
  return {kExitStopped, "Stopped: nothing was written"};
}

SessionOutcome TerminalSession::Close(int exitStatus, std::string text) {
  CloseWindow();
  return {exitStatus, std::move(text)};
}

}  // namespace tlx::cli
