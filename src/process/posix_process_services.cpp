#include "process/posix_process_services.h"

#include <cstdlib>

namespace tlx::process {

PosixProcessServices::PosixProcessServices(std::filesystem::path lockFile, std::ostream& warnings)
    : lock_(std::move(lockFile)), warnings_(warnings) {
  std::error_code error;
  executable_ = std::filesystem::read_symlink("/proc/self/exe", error);
}

bool PosixProcessServices::PrevInstance() {
  const bool firstTry = lock_.State() == LockState::NotTried;
  const LockState state = lock_.Acquire(ExeName());
  if (firstTry && state == LockState::Unavailable)
    warnings_ << "warning: the instance lock " << lock_.File().string() << " cannot be created ("
              << lock_.Problem() << "); going on without it, so make sure no other updater is "
              << "using the board.\n";
  return state == LockState::HeldByAnother;
}

// The name the holder wrote, so a terminal run refused by the window names the window.
std::string PosixProcessServices::InstanceHolder() const {
  return lock_.Holder().empty() ? ExeName() : lock_.Holder();
}

std::string PosixProcessServices::ExeName() const {
  return executable_.stem().string();
}

int PosixProcessServices::VersionMajor() const {
  return TLX_VERSION_MAJOR;
}

int PosixProcessServices::VersionMinor() const {
  return TLX_VERSION_MINOR;
}

std::string PosixProcessServices::ProgramPath() const {
  return executable_.parent_path().string();
}

std::filesystem::path PosixProcessServices::SessionLogPath() const {
  std::filesystem::path state;
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg != nullptr && xdg[0] == '/') {
    state = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    state = std::filesystem::path(home) / ".local" / "state";
  } else {
    return {};
  }
  return state / "tambrelux-updater" / "updater.log";
}

}  // namespace tlx::process
