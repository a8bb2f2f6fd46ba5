// tambrelux-updater-sim: the updater window with a simulated board attached, for the demo,
// for end-to-end tests and for trying faults that no real board shows on demand.
#include <QApplication>
#include <QSaveFile>
#include <cstdio>
#include <variant>

#include "ui/sim_options.h"
#include "ui/updater_session.h"

namespace {

constexpr int kExitBadOptions = 2;
constexpr int kExitOutputFailed = 3;

QStringList Arguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

// All or nothing: a half-written dump or trace could be mistaken for the board's state.
bool WriteWhole(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
    return true;
  std::fprintf(stderr, "Could not write %s: %s.\n", qPrintable(path),
               qPrintable(file.errorString()));
  return false;
}

bool WriteOutputs(const tlx::ui::SimOptions& options, const tlx::sim::SimulatedBoard& board) {
  bool written = true;
  if (!options.dumpFlash.isEmpty()) {
    const auto flash = board.Flash();
    written &= WriteWhole(options.dumpFlash, QByteArray(reinterpret_cast<const char*>(flash.data()),
                                                        static_cast<qsizetype>(flash.size())));
  }
  if (!options.trace.isEmpty())
    written &= WriteWhole(options.trace, QByteArray::fromStdString(board.CallTrace().JsonLines()));
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  const auto parsed = tlx::ui::ParseSimOptions(Arguments(argc, argv));
  if (const auto* error = std::get_if<tlx::ui::OptionsError>(&parsed)) {
    std::fprintf(stderr, "%s\nSee tambrelux-updater-sim --help.\n", qPrintable(error->message));
    return kExitBadOptions;
  }
  const auto& options = std::get<tlx::ui::SimOptions>(parsed);
  if (options.help) {
    std::fputs(qPrintable(tlx::ui::SimHelpText()), stdout);
    return 0;
  }

  QApplication app(argc, argv);
  tlx::ui::ConfigureApplication(app);
  tlx::sim::SimulatedBoard board(options.board, options.pace);
  tlx::ui::ApplyFaults(options, board);
  tlx::ui::SessionOptions session;
  session.autopilot = options.autopilot;
  session.autopilotPauseMs = options.pace == tlx::sim::Pace::Instant ? 20 : 700;
  session.screenshotDirectory = options.screenshots;
  const int exitCode = tlx::ui::RunSession(board.Port(), session);
  return WriteOutputs(options, board) ? exitCode : kExitOutputFailed;
}
