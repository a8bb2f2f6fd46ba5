// The process services of the update programs on Windows: the instance lock, the executable's
// name and folder from the loader, the version the build gave them, and the session log under
// %LOCALAPPDATA%; and the console set up as the programs need it.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "app/process_services.h"
#include "windows/instance_lock.h"

namespace tlx::windows {

// Text written to the console is UTF-8, as the program's strings are, and a failing DLL never
// brings up the system's error box: the program says what went wrong itself.
void PrepareProcess();

// Whether standard output is a console that draws the escape sequences live rows move with,
// turning them on where the console has them off. A pipe, a file or NUL (which _isatty takes
// for a terminal), or a console too old for them, is not.
bool OutputIsEscapeConsole();

class WindowsProcessServices : public ProcessServices {
 public:
  // A lock that cannot be created is reported once on warnings, and the program goes on.
  WindowsProcessServices(std::filesystem::path lockFile, std::ostream& warnings);

  bool PrevInstance() override;
  std::string InstanceHolder() const override;
  std::string ExeName() const override;
  int VersionMajor() const override;
  int VersionMinor() const override;
  std::string ProgramPath() const override;
  // %LOCALAPPDATA%\tambrelux-updater\updater.log.
  std::filesystem::path SessionLogPath() const override;

 private:
  InstanceLock lock_;
  std::ostream& warnings_;
  std::filesystem::path executable_;
};

}  // namespace tlx::windows
