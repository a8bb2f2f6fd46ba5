#include <unistd.h>

#include <csignal>

#include "platform.h"
#include "process/posix_process_services.h"
#include "usb/ftdi_d2xx.h"

namespace tlx::update_program {
namespace {

class LibftdiPort final : public UsbPort {
 public:
  D2xx& Port() override { return d2xx_; }
  std::string Advice() const override {
    return d2xx_.PermissionDenied() ? usb::kUdevRuleAdvice : "";
  }

 private:
  usb::FtdiD2xx d2xx_;
};

}  // namespace

std::vector<std::string> CommandArguments(int argc, char** argv) {
  return {argv, argv + argc};
}

// A reader that went away must not end the program halfway through a flash.
void PrepareConsole() {
  std::signal(SIGPIPE, SIG_IGN);
}

bool OutputIsTerminal() {
  return isatty(STDOUT_FILENO) == 1;
}

std::unique_ptr<ProcessServices> MakeProcessServices(bool simulated, std::ostream& warnings) {
  return std::make_unique<process::PosixProcessServices>(
      process::LockFileFor(simulated ? kSimulatorLockName : kUpdaterLockName), warnings);
}

std::unique_ptr<UsbPort> OpenUsbPort() {
  return std::make_unique<LibftdiPort>();
}

std::string NoAccessAdvice() {
  return usb::kUdevRuleAdvice;
}

}  // namespace tlx::update_program
