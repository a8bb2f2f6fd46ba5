// The tests run on an emulated USB bus in this process too, so it starts again under
// umockdev's preload library before anything looks for USB devices.
#include <gtest/gtest.h>

#include "emulate/emulated_bus.h"

int main(int argc, char** argv) {
  if (!tlx::emulate::ReexecPreloaded(argv)) return 1;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
