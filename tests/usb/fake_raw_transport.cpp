#include "fake_raw_transport.h"

#include <algorithm>

namespace tlx::usb::testing {

int FakeRawDevice::SetLatencyTimer(std::uint8_t milliseconds) {
  latencyMs = milliseconds;
  return nextResult;
}

int FakeRawDevice::SetTransferSizes(std::uint32_t in, std::uint32_t out) {
  inSize = in;
  outSize = out;
  return nextResult;
}

int FakeRawDevice::Write(const std::uint8_t* data, int size) {
  if (writeCode < 0) return writeCode;
  const int accepted = std::min(writeAccepts, size);
  written.insert(written.end(), data, data + accepted);
  return accepted;
}

int FakeRawDevice::Read(std::uint8_t* data, int size, int timeoutMs) {
  readTimeouts.push_back(timeoutMs);
  if (reads.empty()) return 0;
  ReadStep step = std::move(reads.front());
  reads.pop_front();
  clock_.Advance(step.takesMs);
  if (step.code < 0) return step.code;
  const int count = std::min(size, static_cast<int>(step.bytes.size()));
  std::copy_n(step.bytes.begin(), count, data);
  return count;
}

int FakeRawDevice::Flush(FlushWhich which) {
  flushes.push_back(which);
  return nextResult;
}

int FakeRawDevice::Close() {
  ++closes;
  if (closeCounter != nullptr) ++*closeCounter;
  return nextResult;
}

OpenOutcome FakeRawBus::OpenByDescription(const std::string& description) {
  searched.push_back(description);
  if (nextDevice == nullptr)
    return {nullptr, refusal.failedStep, refusal.code, refusal.permissionDenied};
  return {std::move(nextDevice), RawOp::Scan, 0, false};
}

}  // namespace tlx::usb::testing
