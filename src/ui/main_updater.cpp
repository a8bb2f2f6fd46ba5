// tambrelux-updater: the updater window for a real board on USB.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "ui/updater_session.h"
#include "usb/ftdi_d2xx.h"

namespace {

constexpr int kExitBadOptions = 2;

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tlx::ui::ConfigureApplication(app);
  const QCommandLineOption autopilot(
      "autopilot", "Act as the user: find, flash, confirm, close. Exit 0 on \"Flash Complete!\".");
  const QCommandLineOption screenshots(
      "screenshots", "Save a PNG of every window state and message box in DIR.", "DIR");
  QCommandLineParser parser;
  parser.addHelpOption();
  parser.addOptions({autopilot, screenshots});
  if (!parser.parse(QApplication::arguments())) {
    std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
    return kExitBadOptions;
  }
  if (parser.isSet("help")) parser.showHelp();

  tlx::usb::FtdiD2xx d2xx;
  const int exitCode = tlx::ui::RunSession(
      d2xx,
      {.autopilot = parser.isSet(autopilot), .screenshotDirectory = parser.value(screenshots)});
  // The window only says the board was not found; this says why, for whoever started it.
  if (d2xx.PermissionDenied()) std::fprintf(stderr, "%s\n", tlx::usb::kUdevRuleAdvice);
  return exitCode;
}
