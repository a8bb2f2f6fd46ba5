// tlx-emulate: runs a program on an emulated USB bus with Tambrelux Pro boards plugged in,
// each behind an emulated FTDI bridge, so that scripts for a production line can be tried
// without hardware. This file reads the command line, plugs the boards in and runs the
// program.
#include <csignal>
#include <filesystem>
#include <iostream>

#include "bus_options.h"
#include "emulate/emulated_bus.h"
#include "options/command_line.h"

namespace tlx::emulate_program {
namespace {

constexpr int kExitNotStarted = 127;
constexpr int kExitNoUmockdev = 1;
constexpr int kExitBySignal = 128;  // plus the signal, as shells report it

constexpr char kDescription[] =
    "Runs PROGRAM on an emulated USB bus with Tambrelux Pro boards plugged in, each behind an\n"
    "FTDI bridge with the simulated bootloader behind it. PROGRAM and the programs it starts\n"
    "find the boards through libusb and libftdi1 as on a machine with them plugged in; a\n"
    "board's flash lasts as long as tlx-emulate runs. PROGRAM's output passes through as it\n"
    "comes, and tlx-emulate ends with its exit status. Boards 1 to 15 are on ports 1 to 15\n"
    "of bus 1 (1-1 to 1-15), 16 to 30 on bus 2, 31 and 32 on bus 3.";

constexpr char kExample[] =
    "Example: three boards, the second on firmware 1.2 and without a serial number, the\n"
    "third pulled out two seconds after the script starts:\n"
    "  tlx-emulate --boards 3 --board 2:firmware=1.2 --board 2:serial= --unplug 3:after=2 \\\n"
    "    -- ./line.sh\n"
    "Needs umockdev's preload library (Debian package umockdev; the package tambrelux-emulate\n"
    "depends on it).";

void PlugIn(emulate::EmulatedBus& bus, const BusPlan& plan) {
  for (const BoardPlan& board : plan.boards) {
    emulate::EmulatedBridge& bridge = bus.Plug(board.spec);
    if (board.unplugAfter) bus.UnplugDuringRun(bridge, *board.unplugAfter);
    if (board.unplugAtWrite)
      bridge.UnplugOnWrite([left = *board.unplugAtWrite](std::span<const std::uint8_t>) mutable {
        return --left == 0;
      });
  }
}

// Ctrl-C reaches PROGRAM too, as the terminal signals its whole process group; the bus stays
// until PROGRAM has ended, rather than vanishing under it.
void KeepBusOnInterrupt(int) {}

int Run(const BusPlan& plan) {
  emulate::EmulatedBus bus;
  PlugIn(bus, plan);
  std::signal(SIGINT, &KeepBusOnInterrupt);
  const emulate::ChildOutcome run = bus.Run({.command = plan.command,
                                             .workDir = std::filesystem::current_path(),
                                             .attached = true,
                                             .timeLimitSeconds = 0});
  if (!run.notStarted.empty()) {
    std::cerr << "tlx-emulate: " << run.notStarted << ".\n";
    return kExitNotStarted;
  }
  return run.signal != 0 ? kExitBySignal + run.signal : run.exitCode;
}

}  // namespace
}  // namespace tlx::emulate_program

int main(int argc, char** argv) {
  using namespace tlx::emulate_program;
  CLI::App app(kDescription, "tlx-emulate");
  app.footer(kExample);
  BusPlan plan;
  AddBusOptions(app, plan);
  if (const auto status = tlx::options::ParseCommandLine(app, argc, argv)) return *status;
  // The bus's uevents are checked against the emulated /sys, so this process runs on it too.
  if (!tlx::emulate::ReexecPreloaded(argv)) {
    std::cerr << "tlx-emulate: umockdev's preload library (libumockdev-preload.so.0) could not "
                 "be loaded; tlx-emulate runs only where umockdev is installed.\n";
    return kExitNoUmockdev;
  }
  return Run(plan);
}
