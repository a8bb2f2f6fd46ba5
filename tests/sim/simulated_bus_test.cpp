// Several boards behind one D2XX: the device list, and each open and call reaching its own
// board and no other.
#include "sim/simulated_bus.h"

#include <gtest/gtest.h>

#include "link/device_location.h"

namespace tlx::test {
namespace {

using sim::BoardConfig;

// Two boards share a serial, the third has none, another program holds the fourth.
std::vector<BoardConfig> Rack() {
  return {{.serial = "TWIN"}, {.serial = "TWIN"}, {.serial = ""}, {.busy = true}, {}};
}

DWORD Port(std::uint8_t port) {
  return *LocationOf(1, {port});
}

std::vector<FT_DEVICE_LIST_INFO_NODE> List(D2xx& d2xx) {
  DWORD count = 0;
  EXPECT_EQ(d2xx.FT_CreateDeviceInfoList(&count), FT_OK);
  std::vector<FT_DEVICE_LIST_INFO_NODE> nodes(count);
  EXPECT_EQ(d2xx.FT_GetDeviceInfoList(nodes.data(), &count), FT_OK);
  nodes.resize(count);
  return nodes;
}

TEST(SimulatedBusTest, ListsEveryBoardWithItsSerialLocationAndWhoHoldsIt) {
  sim::SimulatedBus bus(Rack(), sim::Pace::Instant);
  FT_HANDLE handle = 0;
  ASSERT_EQ(bus.FT_OpenEx(LocationArgument(Port(2)), FT_OPEN_BY_LOCATION, &handle), FT_OK);
  struct Row {
    std::string serial;
    DWORD locId, flags;
    FT_HANDLE handle;
  };
  const std::vector<Row> expected{{"TWIN", Port(1), 0, 0},
                                  {"TWIN", Port(2), FT_FLAGS_OPENED, handle},
                                  {"", Port(3), 0, 0},
                                  {"SIM0004", Port(4), FT_FLAGS_OPENED, 0},
                                  {"SIM0005", Port(5), 0, 0}};
  const auto nodes = List(bus);
  ASSERT_EQ(nodes.size(), expected.size());
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(nodes[i].SerialNumber, expected[i].serial);
    EXPECT_EQ(nodes[i].LocId, expected[i].locId);
    EXPECT_EQ(nodes[i].Flags, expected[i].flags);
    EXPECT_EQ(nodes[i].ftHandle, expected[i].handle);
    EXPECT_EQ(nodes[i].ID, 0x04036001u);
    EXPECT_STREQ(nodes[i].Description, "Tambrelux Pro");
  }
  EXPECT_EQ(bus.FT_Close(handle), FT_OK);
  EXPECT_EQ(List(bus)[1].Flags, 0u);
  EXPECT_EQ(PortPath(sim::LocationAt(16)), "2-1");
}

struct OpenCase {
  const char* name;
  std::string arg;  // a serial, a description, or a port path for a location
  DWORD flags;
  FT_STATUS status;
  std::vector<std::size_t> calls;  // per board, the calls that reached it
};

class BusOpenTest : public ::testing::TestWithParam<OpenCase> {};

// With board 1 open, a block written through the new handle lands in its board's flash and
// no other's, and the calls show in that board's trace only.
TEST_P(BusOpenTest, ReachesItsOwnBoardOnly) {
  const OpenCase& c = GetParam();
  sim::SimulatedBus bus(Rack(), sim::Pace::Instant);
  FT_HANDLE taken = 0;
  ASSERT_EQ(bus.FT_OpenEx(LocationArgument(Port(1)), FT_OPEN_BY_LOCATION, &taken), FT_OK);

  FT_HANDLE handle = 0;
  const char* arg =
      c.flags == FT_OPEN_BY_LOCATION ? LocationArgument(*ParsePortPath(c.arg)) : c.arg.c_str();
  ASSERT_EQ(bus.FT_OpenEx(arg, c.flags, &handle), c.status);
  std::vector<std::uint8_t> block{'W', 'F', 0, 0, 4};
  block.resize(5 + 2048, 0x5A);
  DWORD written = 0;
  bus.FT_Write(handle, block.data(), 5, &written);
  bus.FT_Write(handle, block.data() + 5, 2048, &written);

  for (std::size_t i = 0; i < bus.Count(); ++i) {
    SCOPED_TRACE(i);
    const std::size_t calls = bus.Board(i).CallTrace().Entries().size() - (i == 0 ? 1 : 0);
    EXPECT_EQ(calls, c.calls[i]);
    EXPECT_EQ(bus.Board(i).Flash()[8], c.calls[i] == 3 ? 0x5A : 0xFF);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Opens, BusOpenTest,
    ::testing::Values(
        OpenCase{"DescriptionFirstFreeBoard",
                 "Tambrelux Pro",
                 FT_OPEN_BY_DESCRIPTION,
                 FT_OK,
                 {0, 3, 0, 0, 0}},
        OpenCase{"RepeatedSerialFirstOfThem",
                 "TWIN",
                 FT_OPEN_BY_SERIAL_NUMBER,
                 FT_DEVICE_NOT_OPENED,
                 {0, 0, 0, 0, 0}},
        OpenCase{"SerialOfBoardHeldElsewhere",
                 "SIM0004",
                 FT_OPEN_BY_SERIAL_NUMBER,
                 FT_DEVICE_NOT_OPENED,
                 {0, 0, 0, 1, 0}},
        OpenCase{"GeneratedSerial", "SIM0005", FT_OPEN_BY_SERIAL_NUMBER, FT_OK, {0, 0, 0, 0, 3}},
        OpenCase{"SerialOfBoardWithout",
                 "SIM0003",
                 FT_OPEN_BY_SERIAL_NUMBER,
                 FT_DEVICE_NOT_FOUND,
                 {0, 0, 0, 0, 0}},
        OpenCase{"EmptySerial", "", FT_OPEN_BY_SERIAL_NUMBER, FT_DEVICE_NOT_FOUND, {0, 0, 0, 0, 0}},
        OpenCase{"Location", "1-3", FT_OPEN_BY_LOCATION, FT_OK, {0, 0, 3, 0, 0}},
        OpenCase{"LocationHeld", "1-1", FT_OPEN_BY_LOCATION, FT_DEVICE_NOT_OPENED, {0, 0, 0, 0, 0}},
        OpenCase{
            "EmptyLocation", "1-6", FT_OPEN_BY_LOCATION, FT_DEVICE_NOT_FOUND, {0, 0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tlx::test
