// A scripted raw transport and a virtual clock, to test the D2XX rules without any USB.
#pragma once

#include <climits>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "usb/clock.h"
#include "usb/raw_transport.h"

namespace tlx::usb::testing {

class FakeClock : public Clock {
 public:
  TimePoint Now() override { return now; }
  void Pause(std::chrono::milliseconds duration) override {
    now += duration;
    ++pauses;
  }
  void Advance(int milliseconds) { now += std::chrono::milliseconds(milliseconds); }

  TimePoint now{};
  int pauses = 0;
};

// One answer of the device to a read: bytes, or a negative code; the bus may take a while.
struct ReadStep {
  std::vector<std::uint8_t> bytes;
  int code = 0;
  int takesMs = 0;
};

class FakeRawDevice : public RawDevice {
 public:
  explicit FakeRawDevice(FakeClock& clock) : clock_(clock) {}

  int SetLatencyTimer(std::uint8_t milliseconds) override;
  int SetTransferSizes(std::uint32_t inSize, std::uint32_t outSize) override;
  void SetWriteTimeout(int milliseconds) override { writeTimeoutMs = milliseconds; }
  int Write(const std::uint8_t* data, int size) override;
  // Plays the next scripted step; without one, nothing has arrived.
  int Read(std::uint8_t* data, int size, int timeoutMs) override;
  int Flush(FlushWhich which) override;
  int Close() override;

  std::deque<ReadStep> reads;
  std::vector<int> readTimeouts;
  std::vector<FlushWhich> flushes;
  std::vector<std::uint8_t> written;
  int writeAccepts = INT_MAX;  // bytes a write hands over before it returns
  int writeCode = 0;           // a negative code makes writes fail with it
  int nextResult = 0;          // for latency, transfer sizes, flush and close
  int latencyMs = 0;
  std::uint32_t inSize = 0;
  std::uint32_t outSize = 0;
  int writeTimeoutMs = 0;
  int closes = 0;
  int* closeCounter = nullptr;  // outlives the device, for closes at destruction

 private:
  FakeClock& clock_;
};

class FakeRawBus : public RawBus {
 public:
  OpenOutcome OpenByDescription(const std::string& description) override;

  // Handed out by the next open; without one, the open fails with `refusal`.
  std::unique_ptr<RawDevice> nextDevice;
  OpenOutcome refusal{nullptr, RawOp::Scan, -5, false};
  std::vector<std::string> searched;
};

}  // namespace tlx::usb::testing
