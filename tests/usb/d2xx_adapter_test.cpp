// The D2XX rules no emulated bridge reaches: the read deadline on a virtual clock, library
// codes no bus produces on demand, and the timeouts libusb keeps to itself.
#include "usb/d2xx_adapter.h"

#include <gtest/gtest.h>
#include <libusb.h>

#include <algorithm>
#include <deque>

namespace tlx::usb {
namespace {

using Bytes = std::vector<std::uint8_t>;

class FakeClock : public Clock {
 public:
  TimePoint Now() override { return TimePoint{} + std::chrono::milliseconds(elapsedMs); }
  void Pause(std::chrono::milliseconds duration) override {
    elapsedMs += static_cast<int>(duration.count());
  }
  int elapsedMs = 0;
};

// One answer of the device to a read: bytes, or a negative code; the bus may take a while.
struct ReadStep {
  Bytes bytes;
  int code = 0;
  int takesMs = 0;
};

class FakeDevice : public RawDevice {
 public:
  explicit FakeDevice(FakeClock& clock) : clock_(clock) {}
  int SetLatencyTimer(std::uint8_t) override { return 0; }
  int SetTransferSizes(std::uint32_t, std::uint32_t) override { return 0; }
  int Flush(FlushWhich) override { return 0; }
  int Close() override { return 0; }
  void SetWriteTimeout(int milliseconds) override { writeTimeoutMs = milliseconds; }
  int Write(const std::uint8_t*, int) override { return writeResult; }
  // Plays the next scripted step; without one, nothing has arrived.
  int Read(std::uint8_t* data, int size, int timeoutMs) override {
    readTimeouts.push_back(timeoutMs);
    if (reads.empty()) return 0;
    const ReadStep step = reads.front();
    reads.pop_front();
    clock_.elapsedMs += step.takesMs;
    if (step.code < 0) return step.code;
    const int count = std::min(size, static_cast<int>(step.bytes.size()));
    std::copy_n(step.bytes.begin(), count, data);
    return count;
  }

  std::deque<ReadStep> reads;
  std::vector<int> readTimeouts;
  int writeResult = 0;  // bytes handed over, or the library's code
  int writeTimeoutMs = 0;

 private:
  FakeClock& clock_;
};

class FakeBus : public RawBus {
 public:
  OpenOutcome Open(const DeviceName&) override { return {std::move(device), RawOp::Scan, 0}; }
  int List(std::vector<FT_DEVICE_LIST_INFO_NODE>&) override { return 0; }
  std::unique_ptr<RawDevice> device;
};

class D2xxAdapterTest : public ::testing::Test {
 protected:
  D2xxAdapterTest() {
    auto bus = std::make_unique<FakeBus>();
    auto device = std::make_unique<FakeDevice>(*clock_);
    device_ = device.get();
    bus->device = std::move(device);
    adapter_ = std::make_unique<D2xxAdapter>(std::move(bus), std::unique_ptr<Clock>(clock_));
    EXPECT_EQ(adapter_->FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &handle_), FT_OK);
    EXPECT_EQ(adapter_->FT_SetTimeouts(handle_, 100, 0), FT_OK);
  }

  FakeClock* clock_ = new FakeClock;
  FakeDevice* device_ = nullptr;
  std::unique_ptr<D2xxAdapter> adapter_;
  FT_HANDLE handle_ = 0;
};

// How a read of 4 bytes with a 100 ms timeout ends, for a device that answers as scripted.
struct ReadCase {
  const char* name;
  std::vector<ReadStep> device;
  FT_STATUS status;
  Bytes delivered;
  int elapsedMs;
};

class FtReadTest : public D2xxAdapterTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(FtReadTest, GathersUntilTheCountOrTheTimeout) {
  const ReadCase& c = GetParam();
  device_->reads.assign(c.device.begin(), c.device.end());
  Bytes buffer(4, 0xEE);
  DWORD returned = 99;
  EXPECT_EQ(adapter_->FT_Read(handle_, buffer.data(), 4, &returned), c.status);
  ASSERT_EQ(returned, c.delivered.size());
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + returned), c.delivered);
  EXPECT_EQ(clock_->elapsedMs, c.elapsedMs);
}

const Bytes kKV{'K', 'V'};
const Bytes kReply{'K', 'V', 0x21, 0x11};

INSTANTIATE_TEST_SUITE_P(
    Replies, FtReadTest,
    ::testing::Values(
        ReadCase{"OneThenThree", {{kKV}, {{}, 0, 10}, {{0x21, 0x11}, 0, 5}}, FT_OK, kReply, 16},
        ReadCase{"TwoThenSilent", {{kKV, 0, 30}}, FT_OK, kKV, 100},
        ReadCase{"BulkTimeoutsCountAsNothing",
                 {{{}, LIBUSB_ERROR_TIMEOUT, 60}, {{}, LIBUSB_ERROR_TIMEOUT, 40}},
                 FT_OK,
                 {},
                 101},
        ReadCase{"FailureKeepsWhatCameBefore", {{kKV}, {{}, LIBUSB_ERROR_IO}}, FT_IO_ERROR, kKV, 0},
        ReadCase{"Unplugged", {{{}, LIBUSB_ERROR_NO_DEVICE}}, FT_DEVICE_NOT_FOUND, {}, 0},
        ReadCase{"SlowBusStillEndsAtTheTimeout", {{{}, 0, 150}}, FT_OK, {}, 150}),
    [](const auto& info) { return std::string(info.param.name); });

// With both timeouts zero every wait is still bounded, and a read polls once; the poll lasts
// at least the latency timer (the chip's default until it is set), or a reply the chip holds
// back that long would be lost.
TEST_F(D2xxAdapterTest, ZeroTimeoutsPollOnceAndStillBoundTheLibrary) {
  ASSERT_EQ(adapter_->FT_SetTimeouts(handle_, 0, 0), FT_OK);
  device_->reads.assign({{{'K'}}, {{'V'}}});
  Bytes buffer(4);
  DWORD returned = 0;
  EXPECT_EQ(adapter_->FT_Read(handle_, buffer.data(), 4, &returned), FT_OK);
  EXPECT_EQ(returned, 1u);
  ASSERT_EQ(device_->readTimeouts.size(), 1u);
  EXPECT_GT(device_->readTimeouts[0], kDefaultLatencyMs);
  EXPECT_GT(device_->writeTimeoutMs, 0);
}

// What a write of 7 bytes reports when the library hands over fewer bytes or fails.
struct WriteCase {
  const char* name;
  int result;
  FT_STATUS status;
  DWORD reported;
};

class FtWriteTest : public D2xxAdapterTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(FtWriteTest, AllBytesOrAnError) {
  const WriteCase& c = GetParam();
  device_->writeResult = c.result;
  const Bytes frame{'R', 'F', 0x00, 0x20, 0x00, 0x02, 0x00};
  DWORD written = 99;
  EXPECT_EQ(adapter_->FT_Write(handle_, frame.data(), 7, &written), c.status);
  EXPECT_EQ(written, c.reported);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, FtWriteTest,
                         ::testing::Values(WriteCase{"Short", 5, FT_IO_ERROR, 5},
                                           WriteCase{"Failed", -1, FT_IO_ERROR, 0},
                                           WriteCase{"NoDevice", -666, FT_DEVICE_NOT_OPENED, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tlx::usb
