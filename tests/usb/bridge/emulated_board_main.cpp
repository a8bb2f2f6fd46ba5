// emulated-board: runs a program with a Tambrelux Pro (firmware 1.1) on an emulated USB bus,
// for the demo. The program finds the board as on a machine with it plugged in; its output
// follows when it ends.
//
//   emulated-board PROGRAM [ARGUMENT...]
#include <cstdio>

#include "emulated_bus.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("Usage: emulated-board PROGRAM [ARGUMENT...]\n", stderr);
    return 2;
  }
  // The bus's uevents are checked against the emulated /sys, so this process runs on it too.
  tlx::test::ReexecPreloaded(argv);
  tlx::test::EmulatedBus bus;
  bus.Plug();
  const tlx::test::ChildOutcome run =
      bus.Run({{argv + 1, argv + argc}, std::filesystem::current_path(), {}, false});
  std::fputs(run.out.c_str(), stdout);
  std::fputs(run.err.c_str(), stderr);
  return run.exitCode;
}
