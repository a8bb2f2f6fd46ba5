#include "ui/updater_session.h"

#include <QApplication>
#include <QFile>
#include <iostream>
#include <memory>

#include "app/frm_start.h"
#include "process/posix_process_services.h"
#include "ui/autopilot.h"
#include "ui/form_host.h"
#include "ui/main_window.h"
#include "ui/screenshots.h"

namespace tlx::ui {

void AddWindowOptions(CLI::App& app, SessionOptions& options) {
  app.add_option("FILE", options.givenFile,
                 "The firmware file, read at every \"Find Device\"; its name must end in fwu\n"
                 "(default: as the Firmware Version menu chooses).")
      ->type_name("");
  app.add_flag("--autopilot", options.autopilot,
               "Act as the user: find, flash, confirm, close. Exit 0 on \"Flash Complete!\".");
  app.add_option("--screenshots", options.screenshotDirectory,
                 "Save a PNG of every window state and message box in DIR.")
      ->option_text("DIR");
}

void ConfigureApplication(QApplication& app) {
  app.setApplicationName(kApplicationTitle);
  app.setApplicationVersion(QString::fromStdString(process::ProgramVersion()));
  app.setWindowIcon(ProgramIcon());
  // The program ends when the logic unloads its window, never because a box was closed.
  app.setQuitOnLastWindowClosed(false);
}

int RunSession(D2xx& d2xx, ProcessServices& process, const SessionOptions& options) {
  MainWindow window;
  QtWindowSystem windowSystem(window);
  SessionLog log(DefaultSessionLogFile(), std::cerr);
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
