#include "windows/windows_process_services.h"

#include <windows.h>

#include <vector>

#include "windows/text.h"

namespace tlx::windows {
namespace {

std::filesystem::path ExecutablePath() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return std::filesystem::path(path.data(), path.data() + length);
    path.resize(path.size() * 2);
  }
}

}  // namespace

void PrepareProcess() {
  SetConsoleOutputCP(CP_UTF8);
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

bool OutputIsEscapeConsole() {
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(out, &mode)) return false;
  return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
         SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

WindowsProcessServices::WindowsProcessServices(std::filesystem::path lockFile,
                                               std::ostream& warnings)
    : lock_(std::move(lockFile)), warnings_(warnings), executable_(ExecutablePath()) {}

bool WindowsProcessServices::PrevInstance() {
  const bool firstTry = lock_.State() == LockState::NotTried;
  const LockState state = lock_.Acquire(ExeName());
  if (firstTry && state == LockState::Unavailable)
    warnings_ << "warning: the instance lock " << Utf8(lock_.File().wstring())
              << " cannot be created (" << lock_.Problem()
              << "); going on without it, so make sure no other updater is using the board.\n";
  return state == LockState::HeldByAnother;
}

std::string WindowsProcessServices::InstanceHolder() const {
  return lock_.Holder().empty() ? ExeName() : lock_.Holder();
}

std::string WindowsProcessServices::ExeName() const {
  return Utf8(executable_.stem().wstring());
}

int WindowsProcessServices::VersionMajor() const {
  return TLX_VERSION_MAJOR;
}

int WindowsProcessServices::VersionMinor() const {
  return TLX_VERSION_MINOR;
}

std::string WindowsProcessServices::ProgramPath() const {
  return Utf8(executable_.parent_path().wstring());
}

std::filesystem::path WindowsProcessServices::SessionLogPath() const {
  const std::filesystem::path folder = LocalDataFolder();
  return folder.empty() ? folder : folder / "updater.log";
}

}  // namespace tlx::windows
