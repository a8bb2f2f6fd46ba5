// What sits behind a fake FTDI FIFO bridge: it takes the host's bytes and offers bytes for
// the host, like the microcontroller on the far side of the chip's FIFOs.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

namespace tlx::usb::testing {

class FifoPeer {
 public:
  virtual ~FifoPeer() = default;
  virtual void FromHost(std::span<const std::uint8_t> bytes) = 0;
  // Copies up to capacity bytes that are ready for the host; returns how many.
  virtual std::size_t ToHost(std::uint8_t* buffer, std::size_t capacity) = 0;
  // Discards bytes waiting towards the host and/or bytes the host sent but not yet taken.
  virtual void Purge(bool towardsHost, bool fromHost) = 0;
};

// A peer whose answers the test queues and whose received bytes it inspects.
class ScriptedPeer : public FifoPeer {
 public:
  void FromHost(std::span<const std::uint8_t> bytes) override {
    received.insert(received.end(), bytes.begin(), bytes.end());
  }
  std::size_t ToHost(std::uint8_t* buffer, std::size_t capacity) override {
    std::size_t count = 0;
    for (; count < capacity && !pending.empty(); ++count) {
      buffer[count] = pending.front();
      pending.pop_front();
    }
    return count;
  }
  void Purge(bool towardsHost, bool fromHost) override {
    if (towardsHost) pending.clear();
    if (fromHost) ++fromHostPurges;
  }

  std::vector<std::uint8_t> received;
  std::deque<std::uint8_t> pending;
  int fromHostPurges = 0;
};

}  // namespace tlx::usb::testing
