// Process services with fixed answers, for tests of the window logic and the loader.
#pragma once

#include <string>

#include "app/process_services.h"

namespace tlx::test {

class FakeProcess : public ProcessServices {
 public:
  bool PrevInstance() override { return prevInstance; }
  std::string InstanceHolder() const override { return exeName; }
  std::string ExeName() const override { return exeName; }
  int VersionMajor() const override { return versionMajor; }
  int VersionMinor() const override { return versionMinor; }
  std::string ProgramPath() const override { return programPath; }
  std::filesystem::path SessionLogPath() const override { return {}; }

  bool prevInstance = false;
  std::string exeName = "tambrelux-updater";
  int versionMajor = 1;
  int versionMinor = 3;
  std::string programPath = "/opt/tambrelux";
};

}  // namespace tlx::test
