// The process services for a Qt program: the instance lock, the executable's name and
// directory, and the version the build gave the program.
#pragma once

#include "app/process_services.h"
#include "ui/instance_lock.h"

namespace tlx::ui {

class QtProcessServices : public ProcessServices {
 public:
  // Locks under the executable's name in lockDirectory.
  explicit QtProcessServices(const QString& lockDirectory = InstanceLock::RuntimeDirectory());

  bool PrevInstance() override;
  std::string ExeName() const override;
  int VersionMajor() const override;
  int VersionMinor() const override;
  std::string ProgramPath() const override;

 private:
  InstanceLock lock_;
};

}  // namespace tlx::ui
