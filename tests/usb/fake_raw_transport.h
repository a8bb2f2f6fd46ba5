// A scripted raw transport and a virtual clock, to test the D2XX rules without any USB.
#pragma once

#include <algorithm>
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
  TimePoint Now() override { return TimePoint{} + std::chrono::milliseconds(elapsedMs); }
  void Pause(std::chrono::milliseconds duration) override {
    elapsedMs += static_cast<int>(duration.count());
    ++pauses;
  }

  int elapsedMs = 0;
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
  FakeRawDevice(FakeClock& clock, int& closes) : clock_(clock), closes_(closes) {}

  int SetLatencyTimer(std::uint8_t) override { return Applied(); }
  int SetTransferSizes(std::uint32_t, std::uint32_t) override { return Applied(); }
  int Flush(FlushWhich) override { return Applied(); }
  void SetWriteTimeout(int milliseconds) override { writeTimeoutMs = milliseconds; }
  int Write(const std::uint8_t*, int size) override {
    return writeCode < 0 ? writeCode : std::min(writeAccepts, size);
  }
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
  int Close() override {
    ++closes_;
    return nextResult;
  }

  std::deque<ReadStep> reads;
  std::vector<int> readTimeouts;
  int writeAccepts = INT_MAX;  // bytes a write hands over before it returns
  int writeCode = 0;           // a negative code makes writes fail with it
  int nextResult = 0;          // for latency, transfer sizes, flush and close
  int settingsApplied = 0;
  int writeTimeoutMs = 0;

 private:
  int Applied() {
    ++settingsApplied;
    return nextResult;
  }

  FakeClock& clock_;
  int& closes_;
};

class FakeRawBus : public RawBus {
 public:
  // Hands out nextDevice; without one, the open fails with `refusal`.
  OpenOutcome OpenByDescription(const std::string&) override {
    ++searches;
    if (nextDevice == nullptr)
      return {nullptr, refusal.failedStep, refusal.code, refusal.permissionDenied};
    return {std::move(nextDevice), RawOp::Scan, 0, false};
  }

  std::unique_ptr<RawDevice> nextDevice;
  OpenOutcome refusal{nullptr, RawOp::Scan, -5, false};
  int searches = 0;
};

}  // namespace tlx::usb::testing
