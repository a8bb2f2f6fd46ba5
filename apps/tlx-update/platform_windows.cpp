#include "platform.h"
#include "windows/dll_d2xx.h"
#include "windows/text.h"
#include "windows/windows_process_services.h"

namespace tlx::update_program {
namespace {

class DllPort final : public UsbPort {
 public:
  D2xx& Port() override { return d2xx_; }
  std::string Advice() const override { return d2xx_.Loaded() ? "" : windows::kDriverMissing; }

 private:
  windows::DllD2xx d2xx_;
};

}  // namespace

std::vector<std::string> CommandArguments(int, char**) {
  return windows::Utf8Arguments();
}

void PrepareConsole() {
  windows::PrepareProcess();
}

bool OutputIsTerminal() {
  return windows::OutputIsEscapeConsole();
}

std::unique_ptr<ProcessServices> MakeProcessServices(bool simulated, std::ostream& warnings) {
  return std::make_unique<windows::WindowsProcessServices>(
      windows::LockFileFor(simulated ? kSimulatorLockName : kUpdaterLockName), warnings);
}

std::unique_ptr<UsbPort> OpenUsbPort() {
  return std::make_unique<DllPort>();
}

// Windows lets every user open a board; one out of reach is held by another program.
std::string NoAccessAdvice() {
  return "Another program has the Tambrelux Pro open: close it, then try again.";
}

}  // namespace tlx::update_program
