// tambrelux-updater: the updater window for a real board on USB.
#include <QApplication>
#include <cstdio>

#include "ui/updater_session.h"
#include "usb/ftdi_d2xx.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tlx::ui::ConfigureApplication(app);
  tlx::usb::FtdiD2xx d2xx;
  const int exitCode = tlx::ui::RunSession(d2xx, {});
  // The window only says the board was not found; this says why, for whoever started it.
  if (d2xx.PermissionDenied()) std::fprintf(stderr, "%s\n", tlx::usb::kUdevRuleAdvice);
  return exitCode;
}
