// The program's D2XX calls over the real libftdi1 and libusb in this process, checked on the
// emulated bridge: what reaches the chip, what comes back, and when the board is given back.
#include "usb/ftdi_d2xx.h"

#include <gtest/gtest.h>

#include <optional>

#include "emulate/emulated_bus.h"
#include "link/device_location.h"

namespace tlx::test {
namespace {

using emulate::EmulatedBridge;
using emulate::EmulatedBus;

using Bytes = std::vector<std::uint8_t>;

constexpr char kBoardName[] = "Tambrelux Pro";

class FtdiD2xxTest : public ::testing::Test {
 protected:
  // Opens the board with the settings of the device link; 0 on failure.
  static FT_HANDLE Open(usb::FtdiD2xx& d2xx) {
    FT_HANDLE handle = 0;
    if (d2xx.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &handle) != FT_OK) return 0;
    EXPECT_EQ(d2xx.FT_SetTimeouts(handle, 100, 0), FT_OK);
    EXPECT_EQ(d2xx.FT_SetLatencyTimer(handle, 2), FT_OK);
    EXPECT_EQ(d2xx.FT_SetUSBParameters(handle, 65536, 65536), FT_OK);
    return handle;
  }

  EmulatedBus bus_;
  EmulatedBridge& board_ = bus_.Plug();
  std::optional<usb::FtdiD2xx> d2xx_{std::in_place};
  FT_HANDLE handle_ = Open(*d2xx_);
};

// The reply's bytes reach the chip 40 ms apart, the chip sends every 50 ms, and each read
// gives up after 30 ms: no poll may give up in the middle of a reply.
TEST_F(FtdiD2xxTest, NoByteOfALateReplyIsLost) {
  board_.PaceReplies(std::chrono::milliseconds(40));
  ASSERT_EQ(d2xx_->FT_SetTimeouts(handle_, 30, 0), FT_OK);
  ASSERT_EQ(d2xx_->FT_SetLatencyTimer(handle_, 50), FT_OK);
  const Bytes command{'S', 'I'};
  DWORD count = 0;
  ASSERT_EQ(d2xx_->FT_Write(handle_, command.data(), 2, &count), FT_OK);
  Bytes reply(4);
  DWORD gathered = 0;
  for (int read = 0; read < 8 && gathered < 4; ++read, gathered += count)
    EXPECT_EQ(d2xx_->FT_Read(handle_, reply.data() + gathered, 4 - gathered, &count), FT_OK);
  EXPECT_EQ(reply, (Bytes{'K', 'V', 0x21, 0x11}));
}

using Requests = std::vector<std::pair<std::uint8_t, std::uint16_t>>;

// One call on the opened board, and the control requests (request, value) it sends.
struct CallCase {
  const char* name;
  FT_STATUS (*call)(usb::FtdiD2xx& d2xx, FT_HANDLE handle);
  FT_STATUS status;
  Requests sent{};
};

class CallTest : public FtdiD2xxTest, public ::testing::WithParamInterface<CallCase> {};

TEST_P(CallTest, SendsOnlyWhatD2xxAllows) {
  const CallCase& c = GetParam();
  const std::size_t before = board_.Report().trace.size();
  EXPECT_EQ(c.call(*d2xx_, handle_), c.status);
  const auto trace = board_.Report().trace;
  Requests sent{};
  for (std::size_t i = before; i < trace.size(); ++i)
    sent.emplace_back(trace[i].request, trace[i].value);
  EXPECT_EQ(sent, c.sent);
}

FT_HANDLE openedHandle = 0;

// The chip's reset request flushes what goes from the host with value 1, towards it with 2.
INSTANTIATE_TEST_SUITE_P(
    Calls, CallTest,
    ::testing::Values(
        CallCase{"LatencyTwo",
                 [](auto& d, auto h) { return d.FT_SetLatencyTimer(h, 2); },
                 FT_OK,
                 {{9, 2}}},
        CallCase{"LatencyOne", [](auto& d, auto h) { return d.FT_SetLatencyTimer(h, 1); },
                 FT_INVALID_PARAMETER},
        CallCase{"InSize64", [](auto& d, auto h) { return d.FT_SetUSBParameters(h, 64, 64); },
                 FT_OK},
        CallCase{"InSize63", [](auto& d, auto h) { return d.FT_SetUSBParameters(h, 63, 64); },
                 FT_INVALID_PARAMETER},
        CallCase{"InSize100", [](auto& d, auto h) { return d.FT_SetUSBParameters(h, 100, 64); },
                 FT_INVALID_PARAMETER},
        CallCase{"OutSize65600",
                 [](auto& d, auto h) { return d.FT_SetUSBParameters(h, 64, 65600); },
                 FT_INVALID_PARAMETER},
        CallCase{"PurgeReceive",
                 [](auto& d, auto h) { return d.FT_Purge(h, FT_PURGE_RX); },
                 FT_OK,
                 {{0, 2}}},
        CallCase{"PurgeTransmit",
                 [](auto& d, auto h) { return d.FT_Purge(h, FT_PURGE_TX); },
                 FT_OK,
                 {{0, 1}}},
        CallCase{
            "PurgeBoth", [](auto& d, auto h) { return d.FT_Purge(h, 3); }, FT_OK, {{0, 1}, {0, 2}}},
        CallCase{"PurgeNothing", [](auto& d, auto h) { return d.FT_Purge(h, 0); },
                 FT_INVALID_PARAMETER},
        CallCase{"PurgeUnknownBit", [](auto& d, auto h) { return d.FT_Purge(h, 4); },
                 FT_INVALID_PARAMETER},
        CallCase{"OpenWithoutDescription",
                 [](auto& d, auto) {
                   return d.FT_OpenEx(nullptr, FT_OPEN_BY_DESCRIPTION, &openedHandle);
                 },
                 FT_INVALID_PARAMETER},
        CallCase{
            "OpenWithoutHandle",
            [](auto& d, auto) { return d.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, nullptr); },
            FT_INVALID_PARAMETER}),
    [](const auto& info) { return std::string(info.param.name); });

std::vector<FT_DEVICE_LIST_INFO_NODE> List(usb::FtdiD2xx& d2xx) {
  DWORD count = 0;
  EXPECT_EQ(d2xx.FT_CreateDeviceInfoList(&count), FT_OK);
  std::vector<FT_DEVICE_LIST_INFO_NODE> nodes(count);
  EXPECT_EQ(d2xx.FT_GetDeviceInfoList(nodes.data(), &count), FT_OK);
  return nodes;
}

// The board where it is plugged in, with the strings its chip gives (the emulated chip
// answers every string request with its product), shown as opened while this program holds
// it, and found again by its serial number and by its location.
TEST_F(FtdiD2xxTest, ListsTheBoardAndOpensItBySerialOrLocation) {
  bus_.Plug({.vendorId = 0x1D50});
  const auto nodes = List(*d2xx_);
  ASSERT_EQ(nodes.size(), 1u);
  EXPECT_EQ(nodes[0].ID, 0x04036001u);
  EXPECT_EQ(PortPath(nodes[0].LocId), "1-1");
  EXPECT_STREQ(nodes[0].Description, kBoardName);
  EXPECT_STREQ(nodes[0].SerialNumber, kBoardName);
  EXPECT_EQ(nodes[0].Flags, FT_FLAGS_OPENED);
  EXPECT_EQ(nodes[0].ftHandle, handle_);
  ASSERT_EQ(d2xx_->FT_Close(handle_), FT_OK);

  usb::FtdiD2xx other;
  EXPECT_EQ(List(other)[0].Flags, 0u);
  struct Open {
    const char* arg;
    DWORD flags;
    FT_STATUS status;
  };
  for (const Open& open :
       {Open{kBoardName, FT_OPEN_BY_SERIAL_NUMBER, FT_OK},
        Open{"Tambrelux", FT_OPEN_BY_SERIAL_NUMBER, FT_DEVICE_NOT_FOUND},
        Open{LocationArgument(nodes[0].LocId), FT_OPEN_BY_LOCATION, FT_OK},
        Open{LocationArgument(*ParsePortPath("1-2")), FT_OPEN_BY_LOCATION, FT_DEVICE_NOT_FOUND}}) {
    FT_HANDLE handle = 0;
    EXPECT_EQ(other.FT_OpenEx(open.arg, open.flags, &handle), open.status) << open.flags;
    if (handle != 0) {
      EXPECT_EQ(other.FT_Close(handle), FT_OK);
    }
  }
}

// Unplugged, the release fails; the handle ends all the same and is never handed out again.
TEST_F(FtdiD2xxTest, AClosedHandleIsRefusedByEveryCall) {
  ASSERT_NE(handle_, 0u);
  board_.Unplug();
  EXPECT_EQ(d2xx_->FT_Close(handle_), FT_IO_ERROR);
  Bytes buffer(4);
  DWORD count = 0;
  EXPECT_EQ(d2xx_->FT_SetTimeouts(handle_, 100, 0), FT_INVALID_HANDLE);
  EXPECT_EQ(d2xx_->FT_SetLatencyTimer(handle_, 2), FT_INVALID_HANDLE);
  EXPECT_EQ(d2xx_->FT_SetUSBParameters(handle_, 64, 64), FT_INVALID_HANDLE);
  EXPECT_EQ(d2xx_->FT_Write(handle_, buffer.data(), 4, &count), FT_INVALID_HANDLE);
  EXPECT_EQ(d2xx_->FT_Read(handle_, buffer.data(), 4, &count), FT_INVALID_HANDLE);
  EXPECT_EQ(d2xx_->FT_Purge(handle_, 3), FT_INVALID_HANDLE);
  EXPECT_EQ(d2xx_->FT_Close(handle_), FT_INVALID_HANDLE);
  board_.Plug();
  EXPECT_NE(Open(*d2xx_), handle_);
}

// Another program holds the board; when it ends, the serial driver has the board back.
TEST_F(FtdiD2xxTest, ABoardInUseIsNotOpenedTwice) {
  usb::FtdiD2xx other;
  FT_HANDLE handle = 0;
  EXPECT_EQ(other.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &handle), FT_DEVICE_NOT_OPENED);
  EXPECT_FALSE(other.PermissionDenied());
  EXPECT_FALSE(board_.Report().serialDriverBound);
  d2xx_.reset();
  EXPECT_TRUE(board_.Report().serialDriverBound);
  EXPECT_NE(Open(other), 0u);
}

}  // namespace
}  // namespace tlx::test
