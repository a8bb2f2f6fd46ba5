// tambrelux-updater: the updater window for a real board on USB.
#include <QApplication>
#include <cstdio>
#include <iostream>

#include "options/command_line.h"
#include "options/window_options.h"
#include "process/posix_process_services.h"
#include "ui/updater_session.h"
#include "usb/ftdi_d2xx.h"

int main(int argc, char** argv) {
  // Read before any window exists, so --help and --version need no display.
  CLI::App commandLine("The Tambrelux Pro Updater window, for a board on USB.",
                       "tambrelux-updater");
  tlx::ui::SessionOptions options;
  tlx::options::AddWindowOptions(commandLine, options);
  if (const auto exitStatus = tlx::options::ParseCommandLine(commandLine, argc, argv))
    return *exitStatus;

  QApplication app(argc, argv);
  tlx::process::PosixProcessServices process(tlx::process::LockFileFor(tlx::kUpdaterLockName),
                                             std::cerr);
  tlx::ui::ConfigureApplication(app, process);
  tlx::usb::FtdiD2xx d2xx;
  const int exitCode = tlx::ui::RunSession(d2xx, process, options);
  // The window only says the board was not found; this says why, for whoever started it.
  if (d2xx.PermissionDenied()) std::fprintf(stderr, "%s\n", tlx::usb::kUdevRuleAdvice);
  return exitCode;
}
