// One run of the updater window over a D2XX realisation: the composition root shared by
// both programs. Needs a QApplication.
#pragma once

#include <string>

#include "app/process_services.h"
#include "link/d2xx.h"

class QApplication;

namespace tlx::ui {

struct SessionOptions {
  std::string givenFile;  // empty: the source the Firmware Version menu chooses
  bool autopilot = false;
  int autopilotPauseMs = 600;
  std::string screenshotDirectory;  // empty: no screenshots
};

// Name, version and icon of the program, and no quitting behind the logic's back.
void ConfigureApplication(QApplication& app, const ProcessServices& process);

// Runs the window until the program ends. Returns the process's exit code.
int RunSession(D2xx& d2xx, ProcessServices& process, const SessionOptions& options);

}  // namespace tlx::ui
