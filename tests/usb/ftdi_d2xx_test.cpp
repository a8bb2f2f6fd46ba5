// The program's D2XX calls over the real libftdi1 and libusb in this process, checked on the
// emulated bridge: what reaches the chip, what comes back, and when the board is given back.
#include "usb/ftdi_d2xx.h"

#include <gtest/gtest.h>

#include <optional>

#include "usb_testbed.h"

namespace tlx::test {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr char kBoardName[] = "Tambrelux Pro";

class FtdiD2xxTest : public ::testing::Test {
 protected:
  // Opens the board with the settings of the device link; 0 on failure.
  FT_HANDLE Open(usb::FtdiD2xx& d2xx) {
    FT_HANDLE handle = 0;
    if (d2xx.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &handle) != FT_OK) return 0;
    EXPECT_EQ(d2xx.FT_SetTimeouts(handle, 100, 0), FT_OK);
    EXPECT_EQ(d2xx.FT_SetLatencyTimer(handle, 2), FT_OK);
    EXPECT_EQ(d2xx.FT_SetUSBParameters(handle, 65536, 65536), FT_OK);
    return handle;
  }

  void Write(const Bytes& bytes) {
    DWORD written = 0;
    ASSERT_EQ(d2xx_->FT_Write(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written),
              FT_OK);
  }

  Bytes Read(DWORD count) {
    Bytes bytes(count);
    DWORD returned = 0;
    EXPECT_EQ(d2xx_->FT_Read(handle_, bytes.data(), count, &returned), FT_OK);
    bytes.resize(returned);
    return bytes;
  }

  // The values of the control requests of one kind sent since the trace had `since` entries.
  std::vector<std::uint16_t> ControlsSince(std::size_t since, std::uint8_t request) const {
    std::vector<std::uint16_t> values;
    const auto trace = board_.Trace();
    for (std::size_t i = since; i < trace.size(); ++i)
      if (trace[i].kind == Crossing::Control && trace[i].request == request)
        values.push_back(trace[i].value);
    return values;
  }

  UsbTestbed testbed_;
  EmulatedBridge& board_ = testbed_.Plug();
  std::optional<usb::FtdiD2xx> d2xx_{std::in_place};
  FT_HANDLE handle_ = Open(*d2xx_);
};

// The reply's bytes reach the chip 40 ms apart, the chip sends every 50 ms, and each read
// gives up after 30 ms: a poll must not give up in the middle of a reply.
TEST_F(FtdiD2xxTest, NoByteOfALateReplyIsLost) {
  board_.PaceReplies(40ms);
  ASSERT_EQ(d2xx_->FT_SetTimeouts(handle_, 30, 0), FT_OK);
  ASSERT_EQ(d2xx_->FT_SetLatencyTimer(handle_, 50), FT_OK);
  Write({'S', 'I'});
  Bytes reply;
  for (int read = 0; read < 8 && reply.size() < 4; ++read) {
    const Bytes part = Read(static_cast<DWORD>(4 - reply.size()));
    reply.insert(reply.end(), part.begin(), part.end());
  }
  EXPECT_EQ(reply, (Bytes{'K', 'V', 0x21, 0x11}));
}

struct PurgeCase {
  const char* name;
  DWORD mask;
  std::vector<std::uint16_t> resets;  // values of the chip's reset request, in order
  bool dropsTheReply;
};

class PurgeTest : public FtdiD2xxTest, public ::testing::WithParamInterface<PurgeCase> {};

TEST_P(PurgeTest, FlushesTheDirectionsAsked) {
  const PurgeCase& c = GetParam();
  Write({'S', 'I'});
  const std::size_t since = board_.Trace().size();
  ASSERT_EQ(d2xx_->FT_Purge(handle_, c.mask), FT_OK);
  EXPECT_EQ(ControlsSince(since, 0), c.resets);
  EXPECT_EQ(Read(4).size(), c.dropsTheReply ? 0u : 4u);
}

INSTANTIATE_TEST_SUITE_P(Masks, PurgeTest,
                         ::testing::Values(PurgeCase{"Receive", FT_PURGE_RX, {2}, true},
                                           PurgeCase{"Transmit", FT_PURGE_TX, {1}, false},
                                           PurgeCase{
                                               "Both", FT_PURGE_RX | FT_PURGE_TX, {1, 2}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

enum class Setting { Latency, InSize, OutSize, PurgeMask };

struct ArgumentCase {
  const char* name;
  Setting setting;
  DWORD value;
  FT_STATUS status;
  int controls;  // control requests that reach the chip
};

class ArgumentTest : public FtdiD2xxTest, public ::testing::WithParamInterface<ArgumentCase> {
 protected:
  FT_STATUS Apply(Setting setting, DWORD value) {
    switch (setting) {
      case Setting::Latency:
        return d2xx_->FT_SetLatencyTimer(handle_, static_cast<UCHAR>(value));
      case Setting::InSize:
        return d2xx_->FT_SetUSBParameters(handle_, value, 65536);
      case Setting::OutSize:
        return d2xx_->FT_SetUSBParameters(handle_, 65536, value);
      case Setting::PurgeMask:
        break;
    }
    return d2xx_->FT_Purge(handle_, value);
  }
};

TEST_P(ArgumentTest, RefusesWhatD2xxRefuses) {
  const ArgumentCase& c = GetParam();
  const int before = board_.Counts().control;
  EXPECT_EQ(Apply(c.setting, c.value), c.status);
  EXPECT_EQ(board_.Counts().control - before, c.controls);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ArgumentTest,
    ::testing::Values(ArgumentCase{"LatencyOne", Setting::Latency, 1, FT_INVALID_PARAMETER, 0},
                      ArgumentCase{"LatencyTwo", Setting::Latency, 2, FT_OK, 1},
                      ArgumentCase{"InSize63", Setting::InSize, 63, FT_INVALID_PARAMETER, 0},
                      ArgumentCase{"InSize64", Setting::InSize, 64, FT_OK, 0},
                      ArgumentCase{"InSize100", Setting::InSize, 100, FT_INVALID_PARAMETER, 0},
                      ArgumentCase{"InSize65600", Setting::InSize, 65600, FT_INVALID_PARAMETER, 0},
                      ArgumentCase{"OutSize0", Setting::OutSize, 0, FT_INVALID_PARAMETER, 0},
                      ArgumentCase{"PurgeNothing", Setting::PurgeMask, 0, FT_INVALID_PARAMETER, 0},
                      ArgumentCase{"PurgeUnknownBit", Setting::PurgeMask, 4, FT_INVALID_PARAMETER,
                                   0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FtdiD2xxTest, OpensOnlyByDescription) {
  const int before = board_.Counts().control;
  FT_HANDLE handle = 0;
  EXPECT_EQ(d2xx_->FT_OpenEx(kBoardName, FT_OPEN_BY_SERIAL_NUMBER, &handle), FT_NOT_SUPPORTED);
  EXPECT_EQ(d2xx_->FT_OpenEx(nullptr, FT_OPEN_BY_DESCRIPTION, &handle), FT_INVALID_PARAMETER);
  EXPECT_EQ(d2xx_->FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, nullptr), FT_INVALID_PARAMETER);
  EXPECT_EQ(board_.Counts().control, before);
  EXPECT_EQ(handle, 0u);
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

// Another program holds the board; once it ends, the serial driver has the board back.
TEST_F(FtdiD2xxTest, ABoardInUseIsNotOpenedTwice) {
  usb::FtdiD2xx other;
  FT_HANDLE handle = 0;
  EXPECT_EQ(other.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &handle), FT_DEVICE_NOT_OPENED);
  EXPECT_FALSE(other.PermissionDenied());
  EXPECT_FALSE(board_.SerialDriverBound());
  d2xx_.reset();
  EXPECT_TRUE(board_.SerialDriverBound());
  EXPECT_NE(Open(other), 0u);
}

}  // namespace
}  // namespace tlx::test
