#include "ui/updater_session.h"

#include <QApplication>
#include <iostream>
#include <memory>

#include "app/frm_start.h"
#include "ui/autopilot.h"
#include "ui/form_host.h"
#include "ui/main_window.h"
#include "ui/qt_process_services.h"
#include "ui/screenshots.h"

namespace tlx::ui {

void ConfigureApplication(QApplication& app) {
  app.setApplicationName(kApplicationTitle);
  app.setApplicationVersion(QString("%1.%2").arg(TLX_VERSION_MAJOR).arg(TLX_VERSION_MINOR));
  app.setWindowIcon(ProgramIcon());
  // The program ends when the logic unloads its window, never because a box was closed.
  app.setQuitOnLastWindowClosed(false);
}

int RunSession(D2xx& d2xx, const SessionOptions& options) {
  MainWindow window;
  QtWindowSystem windowSystem(window);
  QtProcessServices process;
  SessionLog log(DefaultSessionLogFile(), std::cerr);
  frmStart form(windowSystem, process, d2xx, log);
  FormHost host(window, windowSystem, form);
  // Screenshots first, so a message box is pictured before the autopilot dismisses it.
  std::unique_ptr<Screenshots> screenshots;
  if (!options.screenshotDirectory.isEmpty())
    screenshots = std::make_unique<Screenshots>(window, windowSystem, options.screenshotDirectory);
  std::unique_ptr<Autopilot> autopilot;
  if (options.autopilot)
    autopilot = std::make_unique<Autopilot>(window, windowSystem, options.autopilotPauseMs);

  host.Load();
  if (!host.Finished()) QApplication::exec();
  return autopilot ? autopilot->ExitCode() : 0;
}

}  // namespace tlx::ui
