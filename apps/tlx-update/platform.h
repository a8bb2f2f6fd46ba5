// What tlx-update takes from the system it runs on: the console, the process services, and the
// D2XX library for boards on USB. One file per system realises it.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/process_services.h"
#include "link/d2xx.h"

namespace tlx::update_program {

// The command line, program name first, in UTF-8 as the program's strings are.
std::vector<std::string> CommandArguments(int argc, char** argv);

// Before anything is written: output that nothing can cut off halfway through a flash.
void PrepareConsole();
bool OutputIsTerminal();

// With the lock of the simulated boards' programs or of the real boards' programs.
std::unique_ptr<ProcessServices> MakeProcessServices(bool simulated, std::ostream& warnings);

// A context of the system's D2XX library for boards on USB; each board of a run of several
// has its own.
class UsbPort {
 public:
  virtual ~UsbPort() = default;
  virtual D2xx& Port() = 0;
  // After a run: one sentence on why no board could be reached, when the system can tell;
  // otherwise empty. The window's message only says the board was not found.
  virtual std::string Advice() const = 0;
};

std::unique_ptr<UsbPort> OpenUsbPort();

// How to let this user open a board that the device list shows out of reach.
std::string NoAccessAdvice();

}  // namespace tlx::update_program
