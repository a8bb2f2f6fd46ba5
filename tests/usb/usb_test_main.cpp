// The tests run on an emulated USB bus in this process too, so it starts again under
// umockdev's preload library before anything looks for USB devices.
#include <gtest/gtest.h>

#include "emulated_bus.h"

int main(int argc, char** argv) {
  tlx::test::ReexecPreloaded(argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
