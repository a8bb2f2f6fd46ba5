#include <io.h>

#include <cstdio>

#include "platform.h"
#include "windows/dll_d2xx.h"
#include "windows/windows_process_services.h"

namespace tlx::update_program {
namespace {

class DllBoards final : public UsbBoards {
 public:
  D2xx& Port() override { return d2xx_; }
  std::string Advice() const override { return d2xx_.Loaded() ? "" : windows::kDriverMissing; }

 private:
  windows::DllD2xx d2xx_;
};

}  // namespace

void PrepareConsole() {
  windows::PrepareProcess();
}

bool OutputIsTerminal() {
  return _isatty(_fileno(stdout)) != 0;
}

std::unique_ptr<ProcessServices> MakeProcessServices(bool simulated, std::ostream& warnings) {
  return std::make_unique<windows::WindowsProcessServices>(
      windows::LockFileFor(simulated ? windows::kSimulatorLockName : windows::kUpdaterLockName),
      warnings);
}

std::unique_ptr<UsbBoards> OpenUsbBoards() {
  return std::make_unique<DllBoards>();
}

}  // namespace tlx::update_program
