// tambrelux-updater-sim: the updater window with a simulated board attached, for the demo,
// for end-to-end tests and for trying faults that no real board shows on demand.
#include <QApplication>
#include <iostream>

#include "cli/board_options.h"
#include "cli/command_line.h"
#include "process/posix_process_services.h"
#include "ui/updater_session.h"

int main(int argc, char** argv) {
  // Read before any window exists, so --help and --version need no display.
  CLI::App commandLine("The Tambrelux Pro Updater window with a simulated board attached.",
                       "tambrelux-updater-sim");
  tlx::ui::SessionOptions options;
  tlx::cli::BoardSettings board;
  tlx::ui::AddWindowOptions(commandLine, options);
  tlx::cli::AddBoardOptions(commandLine, board);
  if (const auto exitStatus = tlx::cli::ParseCommandLine(commandLine, argc, argv))
    return *exitStatus;

  QApplication app(argc, argv);
  tlx::ui::ConfigureApplication(app);
  tlx::process::PosixProcessServices process(
      tlx::process::LockFileFor(tlx::process::kSimulatorLockName), std::cerr);
  tlx::sim::SimulatedBoard simulated(board.board, board.pace);
  tlx::cli::ApplyBoardSettings(board, simulated);
  options.autopilotPauseMs = board.pace == tlx::sim::Pace::Instant ? 20 : 700;
  const int exitCode = tlx::ui::RunSession(simulated.Port(), process, options);
  return tlx::cli::WriteBoardOutputs(board, simulated, std::cerr) ? exitCode
                                                                  : tlx::cli::kExitBadCommandLine;
}
