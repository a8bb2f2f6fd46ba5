// The window logic's open by description, pinned to the board listed at one location.
#include "link/pinned_d2xx.h"

#include <gtest/gtest.h>

#include "sim/simulated_bus.h"

namespace tlx::test {
namespace {

struct PinCase {
  const char* name;
  int position;  // where the board was listed
  const char* serial;
  const char* description;
  FT_STATUS status;
};

class PinnedD2xxTest : public ::testing::TestWithParam<PinCase> {};

// Three boards; another program holds the third. Whatever the outcome, the board at the
// location is left open only when the open succeeded.
TEST_P(PinnedD2xxTest, OpensOnlyTheBoardListedThere) {
  const PinCase& c = GetParam();
  sim::SimulatedBus bus({{}, {}, {.busy = true}}, sim::Pace::Instant);
  PinnedD2xx pinned(bus, sim::LocationAt(c.position), c.serial);
  FT_HANDLE handle = 0;
  EXPECT_EQ(pinned.FT_OpenEx(c.description, FT_OPEN_BY_DESCRIPTION, &handle), c.status);

  DWORD count = 3;
  std::vector<FT_DEVICE_LIST_INFO_NODE> nodes(count);
  bus.FT_CreateDeviceInfoList(&count);
  bus.FT_GetDeviceInfoList(nodes.data(), &count);
  EXPECT_EQ(nodes[0].Flags, 0u);
  EXPECT_EQ(nodes[1].ftHandle, c.status == FT_OK ? handle : 0);
  EXPECT_EQ(bus.Board(0).CallTrace().Entries().size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Pins, PinnedD2xxTest,
    ::testing::Values(
        PinCase{"AsListed", 2, "SIM0002", "Tambrelux Pro", FT_OK},
        PinCase{"SwappedForAnotherSerial", 2, "SIM0001", "Tambrelux Pro", FT_DEVICE_NOT_FOUND},
        PinCase{"AnotherDescription", 2, "SIM0002", "Tambrelux", FT_DEVICE_NOT_FOUND},
        PinCase{"Gone", 4, "SIM0004", "Tambrelux Pro", FT_DEVICE_NOT_FOUND},
        PinCase{"HeldElsewhere", 3, "SIM0003", "Tambrelux Pro", FT_DEVICE_NOT_OPENED}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tlx::test
