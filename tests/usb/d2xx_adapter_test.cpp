#include "usb/d2xx_adapter.h"

#include <gtest/gtest.h>
#include <libusb.h>

#include "fake_raw_transport.h"

namespace tlx::usb::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

class D2xxAdapterTest : public ::testing::Test {
 protected:
  D2xxAdapterTest() {
    auto bus = std::make_unique<FakeRawBus>();
    auto clock = std::make_unique<FakeClock>();
    bus_ = bus.get();
    clock_ = clock.get();
    adapter_ = std::make_unique<D2xxAdapter>(std::move(bus), std::move(clock));
  }

  // Opens a fresh fake device as the board and returns its handle.
  FT_HANDLE OpenBoard(DWORD readTimeoutMs = 100) {
    auto device = std::make_unique<FakeRawDevice>(*clock_, closes_);
    device_ = device.get();
    bus_->nextDevice = std::move(device);
    FT_HANDLE handle = 0;
    EXPECT_EQ(adapter_->FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &handle), FT_OK);
    EXPECT_EQ(adapter_->FT_SetTimeouts(handle, readTimeoutMs, 0), FT_OK);
    return handle;
  }

  int closes_ = 0;
  FakeRawBus* bus_ = nullptr;
  FakeClock* clock_ = nullptr;
  FakeRawDevice* device_ = nullptr;
  std::unique_ptr<D2xxAdapter> adapter_;
};

// How a read of 4 bytes with a 100 ms timeout ends, for a device that answers as scripted.
struct ReadCase {
  const char* name;
  std::vector<ReadStep> device;
  FT_STATUS status;
  Bytes delivered;
  int minElapsedMs;
  int maxElapsedMs;
};

class FtReadTest : public D2xxAdapterTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(FtReadTest, GathersUntilTheCountOrTheTimeout) {
  const ReadCase& c = GetParam();
  const FT_HANDLE handle = OpenBoard();
  device_->reads.assign(c.device.begin(), c.device.end());
  Bytes buffer(4, 0xEE);
  DWORD returned = 99;
  EXPECT_EQ(adapter_->FT_Read(handle, buffer.data(), 4, &returned), c.status);
  ASSERT_EQ(returned, c.delivered.size());
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + returned), c.delivered);
  EXPECT_GE(clock_->elapsedMs, c.minElapsedMs);
  EXPECT_LE(clock_->elapsedMs, c.maxElapsedMs);
}

const Bytes kReply{'K', 'V', 0x21, 0x11};

INSTANTIATE_TEST_SUITE_P(
    Replies, FtReadTest,
    ::testing::Values(
        ReadCase{"AllAtOnce", {{kReply}}, FT_OK, kReply, 0, 0},
        ReadCase{"OneThenThree",
                 {{{'K'}}, {{}, 0, 10}, {{'V', 0x21, 0x11}, 0, 5}},
                 FT_OK,
                 kReply,
                 15,
                 20},
        ReadCase{"TwoThenSilent", {{{'K', 'V'}, 0, 30}}, FT_OK, {'K', 'V'}, 100, 101},
        ReadCase{"BulkTimeoutsCountAsNothing",
                 {{{}, LIBUSB_ERROR_TIMEOUT, 60}, {{}, LIBUSB_ERROR_TIMEOUT, 40}},
                 FT_OK,
                 {},
                 100,
                 101},
        ReadCase{"FailureKeepsWhatCameBefore",
                 {{{'K', 'V'}}, {{}, LIBUSB_ERROR_IO}},
                 FT_IO_ERROR,
                 {'K', 'V'},
                 0,
                 1},
        ReadCase{"Unplugged", {{{}, LIBUSB_ERROR_NO_DEVICE}}, FT_DEVICE_NOT_FOUND, {}, 0, 0},
        ReadCase{"SlowBusStillEndsAtTheTimeout", {{{}, 0, 150}}, FT_OK, {}, 150, 150}),
    [](const auto& info) { return std::string(info.param.name); });

// A silent device is polled with pauses, never spun, and no poll may wait past the deadline.
TEST_F(D2xxAdapterTest, EachPollWaitsOnlyForWhatIsLeftOfTheTimeout) {
  const FT_HANDLE handle = OpenBoard();
  device_->reads.assign({{{}, 0, 30}, {{}, 0, 45}});
  Bytes buffer(4);
  DWORD returned = 0;
  EXPECT_EQ(adapter_->FT_Read(handle, buffer.data(), 4, &returned), FT_OK);
  ASSERT_GE(device_->readTimeouts.size(), 3u);
  EXPECT_EQ(device_->readTimeouts[0], 100);
  EXPECT_EQ(device_->readTimeouts[1], 69);  // 100 - 30 - one idle pause
  EXPECT_EQ(device_->readTimeouts[2], 23);  // 100 - 30 - 1 - 45 - 1
  EXPECT_EQ(clock_->pauses, 25);            // one idle pause per millisecond left
  EXPECT_EQ(clock_->elapsedMs, 100);
}

TEST_F(D2xxAdapterTest, AReadTimeoutOfZeroPollsOnce) {
  const FT_HANDLE handle = OpenBoard(0);
  device_->reads.assign({{{'K'}}, {{'V'}}});
  Bytes buffer(4);
  DWORD returned = 0;
  EXPECT_EQ(adapter_->FT_Read(handle, buffer.data(), 4, &returned), FT_OK);
  EXPECT_EQ(returned, 1u);
  EXPECT_EQ(device_->readTimeouts.size(), 1u);
}

struct WriteCase {
  const char* name;
  int accepts;
  int code;
  FT_STATUS status;
  DWORD reported;
};

class FtWriteTest : public D2xxAdapterTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(FtWriteTest, AllBytesOrAnError) {
  const WriteCase& c = GetParam();
  const FT_HANDLE handle = OpenBoard();
  device_->writeAccepts = c.accepts;
  device_->writeCode = c.code;
  const Bytes frame{'R', 'F', 0x00, 0x20, 0x00, 0x02, 0x00};
  DWORD written = 99;
  EXPECT_EQ(adapter_->FT_Write(handle, frame.data(), 7, &written), c.status);
  EXPECT_EQ(written, c.reported);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, FtWriteTest,
                         ::testing::Values(WriteCase{"Whole", INT_MAX, 0, FT_OK, 7},
                                           WriteCase{"Short", 5, 0, FT_IO_ERROR, 5},
                                           WriteCase{"Failed", INT_MAX, -1, FT_IO_ERROR, 0},
                                           WriteCase{"NoDevice", INT_MAX, -666,
                                                     FT_DEVICE_NOT_OPENED, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(D2xxAdapterTest, AWriteTimeoutOfZeroStillBoundsTheLibrary) {
  const FT_HANDLE handle = OpenBoard();
  EXPECT_EQ(device_->writeTimeoutMs, kUnboundedWriteGuardMs);
  EXPECT_EQ(adapter_->FT_SetTimeouts(handle, 100, 250), FT_OK);
  EXPECT_EQ(device_->writeTimeoutMs, 250);
}

enum class Setting { Latency, InSize, OutSize, PurgeMask };

struct ArgumentCase {
  const char* name;
  Setting setting;
  DWORD value;
  FT_STATUS status;
};

class ArgumentTest : public D2xxAdapterTest, public ::testing::WithParamInterface<ArgumentCase> {
 protected:
  FT_STATUS Apply(FT_HANDLE handle, Setting setting, DWORD value) {
    switch (setting) {
      case Setting::Latency:
        return adapter_->FT_SetLatencyTimer(handle, static_cast<UCHAR>(value));
      case Setting::InSize:
        return adapter_->FT_SetUSBParameters(handle, value, 65536);
      case Setting::OutSize:
        return adapter_->FT_SetUSBParameters(handle, 65536, value);
      case Setting::PurgeMask:
        break;
    }
    return adapter_->FT_Purge(handle, value);
  }
};

// Refused values never reach the device.
TEST_P(ArgumentTest, RefusesWhatD2xxRefuses) {
  const ArgumentCase& c = GetParam();
  const FT_HANDLE handle = OpenBoard();
  EXPECT_EQ(Apply(handle, c.setting, c.value), c.status);
  EXPECT_EQ(device_->settingsApplied, c.status == FT_OK ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ArgumentTest,
    ::testing::Values(ArgumentCase{"LatencyOne", Setting::Latency, 1, FT_INVALID_PARAMETER},
                      ArgumentCase{"LatencyTwo", Setting::Latency, 2, FT_OK},
                      ArgumentCase{"InSize63", Setting::InSize, 63, FT_INVALID_PARAMETER},
                      ArgumentCase{"InSize64", Setting::InSize, 64, FT_OK},
                      ArgumentCase{"InSize100", Setting::InSize, 100, FT_INVALID_PARAMETER},
                      ArgumentCase{"InSize65600", Setting::InSize, 65600, FT_INVALID_PARAMETER},
                      ArgumentCase{"OutSize0", Setting::OutSize, 0, FT_INVALID_PARAMETER},
                      ArgumentCase{"OutSize65536", Setting::OutSize, 65536, FT_OK},
                      ArgumentCase{"PurgeNothing", Setting::PurgeMask, 0, FT_INVALID_PARAMETER},
                      ArgumentCase{"PurgeBoth", Setting::PurgeMask, 3, FT_OK},
                      ArgumentCase{"PurgeUnknownBit", Setting::PurgeMask, 4, FT_INVALID_PARAMETER}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(D2xxAdapterTest, AClosedHandleIsRefusedByEveryCallAndNeverReused) {
  const FT_HANDLE handle = OpenBoard();
  EXPECT_NE(handle, 0u);
  device_->nextResult = -1;  // a failed release still ends the handle
  EXPECT_EQ(adapter_->FT_Close(handle), FT_IO_ERROR);
  Bytes buffer(4);
  DWORD count = 0;
  EXPECT_EQ(adapter_->FT_SetTimeouts(handle, 100, 0), FT_INVALID_HANDLE);
  EXPECT_EQ(adapter_->FT_SetLatencyTimer(handle, 2), FT_INVALID_HANDLE);
  EXPECT_EQ(adapter_->FT_SetUSBParameters(handle, 64, 64), FT_INVALID_HANDLE);
  EXPECT_EQ(adapter_->FT_Write(handle, buffer.data(), 4, &count), FT_INVALID_HANDLE);
  EXPECT_EQ(adapter_->FT_Read(handle, buffer.data(), 4, &count), FT_INVALID_HANDLE);
  EXPECT_EQ(adapter_->FT_Purge(handle, 3), FT_INVALID_HANDLE);
  EXPECT_EQ(adapter_->FT_Close(handle), FT_INVALID_HANDLE);
  EXPECT_EQ(adapter_->FT_Close(0), FT_INVALID_HANDLE);
  EXPECT_NE(OpenBoard(), handle);
  EXPECT_EQ(closes_, 1);
}

TEST_F(D2xxAdapterTest, OpensOnlyByDescription) {
  FT_HANDLE handle = 0;
  EXPECT_EQ(adapter_->FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_SERIAL_NUMBER, &handle),
            FT_NOT_SUPPORTED);
  EXPECT_EQ(adapter_->FT_OpenEx(nullptr, FT_OPEN_BY_DESCRIPTION, &handle), FT_INVALID_PARAMETER);
  EXPECT_EQ(adapter_->FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, nullptr),
            FT_INVALID_PARAMETER);
  EXPECT_EQ(bus_->searches, 0);
  EXPECT_EQ(handle, 0u);
}

TEST_F(D2xxAdapterTest, PermissionTroubleIsRememberedUntilTheNextOpen) {
  FT_HANDLE handle = 0;
  bus_->refusal = {nullptr, RawOp::Open, LIBUSB_ERROR_ACCESS, true};
  EXPECT_EQ(adapter_->FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &handle),
            FT_DEVICE_NOT_OPENED);
  EXPECT_TRUE(adapter_->PermissionDenied());
  EXPECT_EQ(handle, 0u);
  OpenBoard();
  EXPECT_FALSE(adapter_->PermissionDenied());
}

TEST_F(D2xxAdapterTest, DevicesLeftOpenAreClosedWithTheAdapter) {
  OpenBoard();
  adapter_.reset();
  EXPECT_EQ(closes_, 1);
}

}  // namespace
}  // namespace tlx::usb::testing
