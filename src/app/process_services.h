// What the program asks of its process: its identity, whether it already runs elsewhere, and
// where this system keeps the session log.
#pragma once

#include <filesystem>
#include <string>

namespace tlx {

// The window and tlx-update drive real boards under one lock; the simulator programs take
// another, so a real and a simulated session can run side by side. Every system's lock files
// carry these names.
inline constexpr char kUpdaterLockName[] = "tambrelux-updater";
inline constexpr char kSimulatorLockName[] = "tambrelux-updater-sim";

class ProcessServices {
 public:
  virtual ~ProcessServices() = default;

  virtual bool PrevInstance() = 0;
  // The program name of the instance that PrevInstance found running, as it can be learnt;
  // otherwise ExeName().
  virtual std::string InstanceHolder() const = 0;
  // The running executable's file name without its extension.
  virtual std::string ExeName() const = 0;
  virtual int VersionMajor() const = 0;
  virtual int VersionMinor() const = 0;
  // The directory that holds the executable.
  virtual std::string ProgramPath() const = 0;
  // Where the session log is kept for this user; empty when no place can be found.
  virtual std::filesystem::path SessionLogPath() const = 0;
};

}  // namespace tlx
