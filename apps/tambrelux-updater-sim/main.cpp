// tambrelux-updater-sim: the updater window with a simulated board attached, for the demo,
// for end-to-end tests and for trying faults that no real board shows on demand.
#include <QApplication>
#include <iostream>

#include "options/board_options.h"
#include "options/command_line.h"
#include "options/window_options.h"
#include "process/posix_process_services.h"
#include "ui/updater_session.h"

int main(int argc, char** argv) {
  // Read before any window exists, so --help and --version need no display.
  CLI::App commandLine("The Tambrelux Pro Updater window with a simulated board attached.",
                       "tambrelux-updater-sim");
  tlx::ui::SessionOptions options;
  tlx::sim::BoardSettings board;
  tlx::options::AddWindowOptions(commandLine, options);
  tlx::options::AddBoardOptions(commandLine, board);
  if (const auto exitStatus = tlx::options::ParseCommandLine(commandLine, argc, argv))
    return *exitStatus;

  QApplication app(argc, argv);
  tlx::process::PosixProcessServices process(tlx::process::LockFileFor(tlx::kSimulatorLockName),
                                             std::cerr);
  tlx::ui::ConfigureApplication(app, process);
  const auto simulated = tlx::sim::BuildBoards(board);
  options.autopilotPauseMs = board.pace == tlx::sim::Pace::Instant ? 20 : 700;
  const int exitCode = tlx::ui::RunSession(*simulated, process, options);
  return tlx::options::WriteBoardOutputs(board, *simulated, std::cerr)
             ? exitCode
             : tlx::options::kExitBadCommandLine;
}
