// The simulated board's bootloader on the far side of a fake FTDI bridge: bytes from the host
// go into the model, its replies come back through the chip's packets.
#pragma once

#include "fifo_peer.h"
#include "sim/bootloader_model.h"

namespace tlx::usb::testing {

class BootloaderPeer : public FifoPeer {
 public:
  explicit BootloaderPeer(sim::BootloaderModel& board) : board_(board) {}

  void FromHost(std::span<const std::uint8_t> bytes) override { board_.Receive(bytes); }
  std::size_t ToHost(std::uint8_t* buffer, std::size_t capacity) override {
    return board_.TakeReply({buffer, capacity});
  }
  void Purge(bool towardsHost, bool fromHost) override {
    if (towardsHost) board_.DiscardReply();
    if (fromHost) board_.DiscardPartialCommand();
  }

 private:
  sim::BootloaderModel& board_;
};

}  // namespace tlx::usb::testing
