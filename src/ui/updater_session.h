// One run of the updater window over a D2XX realisation: the composition root shared by
// both programs. Needs a QApplication.
#pragma once

#include "app/process_services.h"
#include "app/window_session_options.h"
#include "link/d2xx.h"

class QApplication;

namespace tlx::ui {

using SessionOptions = WindowSessionOptions;

// Name, version and icon of the program, and no quitting behind the logic's back.
void ConfigureApplication(QApplication& app, const ProcessServices& process);

// Runs the window until the program ends. Returns the process's exit code.
int RunSession(D2xx& d2xx, ProcessServices& process, const SessionOptions& options);

}  // namespace tlx::ui
