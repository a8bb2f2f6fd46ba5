// The process services of both update programs, over POSIX: the instance lock, the
// executable's name and folder from /proc/self/exe, the version the build gave them, and the
// session log under $XDG_STATE_HOME.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "app/process_services.h"
#include "process/instance_lock.h"

namespace tlx::process {

class PosixProcessServices : public ProcessServices {
 public:
  // A lock that cannot be created is reported once on warnings, and the program goes on.
  PosixProcessServices(std::filesystem::path lockFile, std::ostream& warnings);

  bool PrevInstance() override;
  std::string InstanceHolder() const override;
  std::string ExeName() const override;
  int VersionMajor() const override;
  int VersionMinor() const override;
  std::string ProgramPath() const override;
  // $XDG_STATE_HOME/tambrelux-updater/updater.log, with ~/.local/state when that is unset.
  std::filesystem::path SessionLogPath() const override;

 private:
  InstanceLock lock_;
  std::ostream& warnings_;
  std::filesystem::path executable_;
};

}  // namespace tlx::process
