// The program's process services as several boards' sessions see them, each from its own
// thread: one instance lock for the whole run, asked under a mutex.
#pragma once

#include <mutex>

#include "app/process_services.h"

namespace tlx::terminal {

class SharedProcessServices : public ProcessServices {
 public:
  explicit SharedProcessServices(ProcessServices& process) : process_(process) {}

  bool PrevInstance() override {
    const std::lock_guard lock(mutex_);
    return process_.PrevInstance();
  }
  std::string InstanceHolder() const override {
    const std::lock_guard lock(mutex_);
    return process_.InstanceHolder();
  }
  std::string ExeName() const override { return process_.ExeName(); }
  int VersionMajor() const override { return process_.VersionMajor(); }
  int VersionMinor() const override { return process_.VersionMinor(); }
  std::string ProgramPath() const override { return process_.ProgramPath(); }
  std::filesystem::path SessionLogPath() const override { return process_.SessionLogPath(); }

 private:
  ProcessServices& process_;
  mutable std::mutex mutex_;
};

}  // namespace tlx::terminal
