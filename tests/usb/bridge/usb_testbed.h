// A private /sys and /dev (umockdev) on which FTDI bridges are plugged in and pulled out, and
// on which programs run as a user starts them. Create it before anything asks whether it
// runs on an emulated bus: umockdev answers that question once per process.
#pragma once

#include <list>
#include <memory>

#include "emulated_bridge.h"
#include "preloaded_process.h"

namespace tlx::test {

class UsbTestbed {
 public:
  UsbTestbed();
  EmulatedBridge& Plug(BridgeSpec spec = {});
  // Unprivileged children need the testbed's files; locked device nodes stay locked.
  ChildOutcome Run(const ChildRun& run);

 private:
  struct Unref {
    void operator()(void* object) const;
  };
  // Declared first so it goes last: the testbed's worker stops before the bridges go.
  std::list<EmulatedBridge> bridges_;
  std::unique_ptr<_UMockdevTestbed, Unref> testbed_;
};

}  // namespace tlx::test
