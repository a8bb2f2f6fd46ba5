#include "sim/simulated_board.h"

#include "sim/bootloader_model.h"
#include "sim/bridge.h"
#include "sim/pacing.h"
#include "sim/simulated_d2xx.h"

namespace tlx::sim {

struct SimulatedBoard::Parts {
  Parts(const BoardConfig& config, Pace pace, int position)
      : board(config.statusTag, config.hardwareByte, config.firmwareByte),
        pacer(pace),
        bridge(board, pace, pacer.Timing()),
        port(board, bridge, faults, trace, pacer,
             {config.serial.value_or(SerialAt(position)), LocationAt(position), config.busy}) {}

  BootloaderModel board;
  FaultPlan faults;
  Trace trace;
  Pacer pacer;
  Bridge bridge;
  SimulatedD2xx port;
};

SimulatedBoard::SimulatedBoard(BoardConfig config, Pace pace, int position)
    : parts_(std::make_unique<Parts>(config, pace, position)) {}

SimulatedBoard::~SimulatedBoard() = default;

D2xx& SimulatedBoard::Port() {
  return parts_->port;
}
const BoardIdentity& SimulatedBoard::Identity() const {
  return parts_->port.Identity();
}
bool SimulatedBoard::Present() const {
  return parts_->port.Present();
}
FaultPlan& SimulatedBoard::Faults() {
  return parts_->faults;
}
const Trace& SimulatedBoard::CallTrace() const {
  return parts_->trace;
}

std::span<const std::uint8_t, kFlashBytes> SimulatedBoard::Flash() const {
  return parts_->board.Flash();
}
std::span<std::uint8_t, kFlashBytes> SimulatedBoard::Flash() {
  return parts_->board.Flash();
}

bool SimulatedBoard::ProtectedRangeUnlocked() const {
  return parts_->board.ProtectedRangeUnlocked();
}

double SimulatedBoard::ModelMilliseconds() const {
  return parts_->pacer.ModelMilliseconds();
}

}  // namespace tlx::sim
