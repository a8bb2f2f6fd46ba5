// One run of the native updater window over a D2XX realisation: the composition root of the
// Windows window program.
#pragma once

#include <windows.h>

#include "app/process_services.h"
#include "app/window_session_options.h"
#include "link/d2xx.h"

namespace tlx::win32 {

// Runs the window until the program ends. Returns the process's exit code.
int RunSession(HINSTANCE instance, D2xx& d2xx, ProcessServices& process,
               const WindowSessionOptions& options);

}  // namespace tlx::win32
