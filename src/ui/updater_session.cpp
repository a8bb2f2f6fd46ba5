#include "ui/updater_session.h"

#include <QApplication>
#include <QFile>
#include <iostream>
#include <memory>

#include "app/frm_start.h"
#include "app/window_texts.h"
#include "ui/autopilot.h"
#include "ui/form_host.h"
#include "ui/main_window.h"
#include "ui/screenshots.h"

namespace tlx::ui {

void ConfigureApplication(QApplication& app, const ProcessServices& process) {
  app.setApplicationName(kApplicationTitle);
  app.setApplicationVersion(
      QString("%1.%2").arg(process.VersionMajor()).arg(process.VersionMinor()));
  app.setWindowIcon(ProgramIcon());
  // The program ends when the logic unloads its window, never because a box was closed.
  app.setQuitOnLastWindowClosed(false);
}

int RunSession(D2xx& d2xx, ProcessServices& process, const SessionOptions& options) {
  MainWindow window;
  QtWindowSystem windowSystem(window);
  SessionLog log(process.SessionLogPath(), std::cerr);
  frmStart form(windowSystem, process, d2xx, log);
  form.Loader.GivenFile = options.givenFile;
  FormHost host(window, windowSystem, form);
  // Screenshots first, so a message box is pictured before the autopilot dismisses it.
  std::unique_ptr<Screenshots> screenshots;
  if (!options.screenshotDirectory.empty())
    screenshots = std::make_unique<Screenshots>(
        window, windowSystem, QFile::decodeName(options.screenshotDirectory.c_str()));
  std::unique_ptr<Autopilot> autopilot;
  if (options.autopilot)
    autopilot = std::make_unique<Autopilot>(window, windowSystem, options.autopilotPauseMs);

  host.Load();
  if (!host.Finished()) QApplication::exec();
  return autopilot ? autopilot->ExitCode() : 0;
}

}  // namespace tlx::ui
