// tambrelux-updater: the updater window for a real board on USB.
#include <QApplication>

#include "ui/no_board_d2xx.h"
#include "ui/updater_session.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tlx::ui::ConfigureApplication(app);
  tlx::ui::NoBoardD2xx d2xx;
  return tlx::ui::RunSession(d2xx, {});
}
