// Time from process start to the updater window first painted, on the offscreen platform,
// and the peak resident memory of a process that got that far. The program starts itself
// again as a child, once per run; the child runs the simulator program's own session (the
// same calls as tambrelux-updater-sim, with an instant board), prints the moment its window
// first paints and quits. The clock starts in the parent before the child is started, so
// loading the program and its libraries counts.
//
//   window_startup [--runs N]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string_view>
#include <vector>

#include "process/posix_process_services.h"
#include "sim/simulated_board.h"
#include "ui/updater_session.h"

namespace {

constexpr char kChildFlag[] = "--child";

long long MonotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

// Prints the time of the first paint of a top-level window, then ends the event loop.
class FirstPaint : public QObject {
 public:
  bool eventFilter(QObject* target, QEvent* event) override {
    const bool window = target->isWidgetType() && static_cast<QWidget*>(target)->isWindow();
    if (!reported_ && window && event->type() == QEvent::Paint) {
      reported_ = true;
      std::printf("%lld\n", MonotonicNanoseconds());
      std::fflush(stdout);
      QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    }
    return false;
  }

 private:
  bool reported_ = false;
};

int RunChild(int argc, char** argv) {
  QApplication app(argc, argv);
  tlx::process::PosixProcessServices process(tlx::process::LockFileFor(tlx::kSimulatorLockName),
                                             std::cerr);
  tlx::ui::ConfigureApplication(app, process);
  tlx::sim::SimulatedBoard board({}, tlx::sim::Pace::Instant);
  FirstPaint firstPaint;
  app.installEventFilter(&firstPaint);
  tlx::ui::RunSession(board.Port(), process, {});
  return 0;
}

struct ChildRun {
  double startToPaintMs = 0;
  long peakResidentKb = 0;
};

// Starts the child with its output on a pipe; false when it did not report a paint.
bool MeasureOnce(const char* self, ChildRun& run) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return false;
  const long long started = MonotonicNanoseconds();
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    execl("/proc/self/exe", self, kChildFlag, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[1]);
  FILE* output = fdopen(pipeEnds[0], "r");
  long long painted = 0;
  const bool reported = output != nullptr && std::fscanf(output, "%lld", &painted) == 1;
  if (output != nullptr) std::fclose(output);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  run = {static_cast<double>(painted - started) / 1e6, usage.ru_maxrss};
  return reported && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Median(std::vector<double> values) {
  std::ranges::sort(values);
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]) == kChildFlag) return RunChild(argc, argv);
  const int runs = argc == 3 && std::string_view(argv[1]) == "--runs" ? std::atoi(argv[2]) : 10;
  if (runs < 1) {
    std::fprintf(stderr, "usage: window_startup [--runs N]\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::vector<double> milliseconds;
  std::vector<double> residentMb;
  for (int i = 0; i < runs; ++i) {
    ChildRun run;
    if (!MeasureOnce(argv[0], run)) {
      std::fprintf(stderr, "the window program did not report its first paint\n");
      return 1;
    }
    milliseconds.push_back(run.startToPaintMs);
    residentMb.push_back(static_cast<double>(run.peakResidentKb) / 1024);
  }
  std::printf(
      "start to window painted: median %.1f ms, fastest %.1f ms, slowest %.1f ms (%d runs)\n",
      Median(milliseconds), *std::ranges::min_element(milliseconds),
      *std::ranges::max_element(milliseconds), runs);
  std::printf("peak resident memory at that point: median %.1f MB\n", Median(residentMb));
  return 0;
}
