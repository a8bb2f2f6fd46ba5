#include "sim/bridge.h"

#include <algorithm>
#include <array>
#include <limits>

namespace tlx::sim {
namespace {

constexpr double kNever = std::numeric_limits<double>::infinity();

}  // namespace

Bridge::Bridge(BootloaderModel& bootloader, Pace pace, const BridgeTiming& timing)
    : bootloader_(bootloader), pace_(pace), timing_(timing) {}

// The board takes data only as fast as it programs it, so on the instant pace a block's
// programming time is part of the write that completes it; on the realistic pace it holds up
// the bytes that follow.
double Bridge::Accept(std::span<const std::uint8_t> bytes, double nowMs) {
  const double transferEndMs = nowMs + static_cast<double>(bytes.size()) / timing_.bytesPerMs;
  if (pace_ == Pace::Instant) {
    const int blocksBefore = bootloader_.BlocksProgrammed();
    bootloader_.Receive(bytes);
    PassAllAtOnce();
    return transferEndMs +
           (bootloader_.BlocksProgrammed() - blocksBefore) * timing_.programMsPerBlock;
  }
  RunUntil(nowMs);
  if (transmit_.empty()) transmitFreeMs_ = std::max(transmitFreeMs_, nowMs);
  transmit_.insert(transmit_.end(), bytes.begin(), bytes.end());
  double endMs = transferEndMs;
  while (transmit_.size() > timing_.transmitBufferBytes) endMs = std::max(endMs, Step());
  return endMs;
}

double Bridge::Collect(std::size_t count, double nowMs, double deadlineMs) {
  if (pace_ == Pace::Instant) return receive_.size() >= count ? nowMs : deadlineMs;
  RunUntil(nowMs);
  double arrivedMs = nowMs;
  while (receive_.size() < count) {
    if (std::min(NextToBootloaderMs(), NextToHostMs()) > deadlineMs) return deadlineMs;
    arrivedMs = Step();
  }
  return arrivedMs;
}

void Bridge::RunUntil(double untilMs) {
  while (std::min(NextToBootloaderMs(), NextToHostMs()) <= untilMs) Step();
}

std::size_t Bridge::Take(std::span<std::uint8_t> destination) {
  const std::size_t count = std::min(destination.size(), receive_.size());
  std::copy_n(receive_.begin(), count, destination.begin());
  receive_.erase(receive_.begin(), receive_.begin() + static_cast<std::ptrdiff_t>(count));
  return count;
}

void Bridge::PassAllAtOnce() {
  std::array<std::uint8_t, 4096> chunk;
  while (const std::size_t count = bootloader_.TakeReply(chunk))
    receive_.insert(receive_.end(), chunk.begin(), chunk.begin() + count);
}

double Bridge::NextToBootloaderMs() const {
  if (transmit_.empty()) return kNever;
  return std::max(transmitFreeMs_, busyUntilMs_) + 1 / timing_.bytesPerMs;
}

double Bridge::NextToHostMs() const {
  if (bootloader_.PendingReplyBytes() == 0) return kNever;
  return receiveFreeMs_ + 1 / timing_.bytesPerMs;
}

double Bridge::Step() {
  const double toBootloaderMs = NextToBootloaderMs();
  const double toHostMs = NextToHostMs();
  if (toBootloaderMs <= toHostMs) {
    CarryToBootloader(toBootloaderMs);
    return toBootloaderMs;
  }
  CarryToHost(toHostMs);
  return toHostMs;
}

// A reply starts on its way when the byte that completes its command arrives.
void Bridge::CarryToBootloader(double atMs) {
  const bool replying = bootloader_.PendingReplyBytes() > 0;
  const int blocksBefore = bootloader_.BlocksProgrammed();
  const std::uint8_t byte = transmit_.front();
  transmit_.pop_front();
  bootloader_.Receive({&byte, 1});
  transmitFreeMs_ = atMs;
  if (bootloader_.BlocksProgrammed() != blocksBefore)
    busyUntilMs_ = atMs + timing_.programMsPerBlock;
  if (!replying) receiveFreeMs_ = std::max(receiveFreeMs_, atMs);
}

void Bridge::CarryToHost(double atMs) {
  std::uint8_t byte = 0;
  bootloader_.TakeReply({&byte, 1});
  receive_.push_back(byte);
  receiveFreeMs_ = atMs;
}

}  // namespace tlx::sim
