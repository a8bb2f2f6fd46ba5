#include "win32/updater_session.h"

#include <iostream>
#include <memory>

#include "app/frm_start.h"
#include "common/utf8_path.h"
#include "win32/autopilot.h"
#include "win32/form_host.h"
#include "win32/main_window.h"
#include "win32/screenshots.h"
#include "win32/win32_window_system.h"

namespace tlx::win32 {

int RunSession(HINSTANCE instance, D2xx& d2xx, ProcessServices& process,
               const WindowSessionOptions& options) {
  MainWindow window(instance);
  Win32WindowSystem windowSystem(window);
  SessionLog log(process.SessionLogPath(), std::cerr);
  frmStart form(windowSystem, process, d2xx, log);
  form.Loader.GivenFile = options.givenFile;
  FormHost host(window, windowSystem, form);
  // Screenshots first, so a message box is pictured before the autopilot dismisses it.
  std::unique_ptr<Screenshots> screenshots;
  if (!options.screenshotDirectory.empty()) {
    screenshots = std::make_unique<Screenshots>(window, Utf8Path(options.screenshotDirectory));
    windowSystem.AddWatcher(*screenshots);
  }
  std::unique_ptr<Autopilot> autopilot;
  if (options.autopilot) {
    autopilot = std::make_unique<Autopilot>(window, windowSystem, host, options.autopilotPauseMs);
    windowSystem.AddWatcher(*autopilot);
  }

  host.Load();
  MSG message;
  while (!host.Finished() && GetMessageW(&message, nullptr, 0, 0) > 0)
    Deliver(window.Handle(), message);
  return autopilot ? autopilot->ExitCode() : 0;
}

}  // namespace tlx::win32
