// tambrelux-updater.exe: the updater window for a real board on USB, as a native Windows
// program over the vendor's ftd2xx.dll.
#include <windows.h>

#include <cstdio>
#include <exception>
#include <iostream>

#include "options/command_line.h"
#include "options/window_options.h"
#include "win32/updater_session.h"
#include "windows/dll_d2xx.h"
#include "windows/text.h"
#include "windows/windows_process_services.h"

namespace {

// The window system refused the window: nothing was shown and the board was not touched.
constexpr int kExitNoWindow = 1;

// A window program has no console of its own; --help, --version, a mistake on the command
// line and the autopilot's lines go to the one it was started from, if any, unless its output
// was redirected.
void UseParentConsole() {
  if (GetStdHandle(STD_OUTPUT_HANDLE) != nullptr || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
  std::freopen("CONOUT$", "w", stdout);
  std::freopen("CONOUT$", "w", stderr);
}

}  // namespace

int main() {
  UseParentConsole();
  tlx::windows::PrepareProcess();
  CLI::App commandLine("The Tambrelux Pro Updater window, for a board on USB.",
                       "tambrelux-updater");
  tlx::WindowSessionOptions options;
  tlx::options::AddWindowOptions(commandLine, options);
  if (const auto exitStatus =
          tlx::options::ParseCommandLine(commandLine, tlx::windows::Utf8Arguments()))
    return *exitStatus;

  tlx::windows::WindowsProcessServices process(tlx::windows::LockFileFor(tlx::kUpdaterLockName),
                                               std::cerr);
  tlx::windows::DllD2xx d2xx;
  int exitCode = kExitNoWindow;
  try {
    exitCode = tlx::win32::RunSession(GetModuleHandleW(nullptr), d2xx, process, options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
  }
  // The window only says the board was not found; this says why, for whoever started it.
  if (!d2xx.Loaded()) std::fprintf(stderr, "%s\n", tlx::windows::kDriverMissing);
  return exitCode;
}
