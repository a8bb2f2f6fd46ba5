// A Tambrelux Pro board on a USB cable, for tests, the demo and the benchmarks: the
// bootloader model, its USB bridge, the D2XX calls over them, its fault plan, its trace and
// its pacing.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "common/image_layout.h"
#include "link/d2xx.h"
#include "sim/board_identity.h"
#include "sim/fault_plan.h"
#include "sim/trace.h"

namespace tlx::sim {

struct BoardConfig {
  std::uint8_t hardwareByte = 0x21;  // 2.1
  std::uint8_t firmwareByte = 0x11;  // 1.1
  // What the board puts before its versions in the "SI" reply. Anything but "KV" stands for
  // a board that answers without being in its bootloader.
  std::array<std::uint8_t, 2> statusTag{'K', 'V'};
  // The serial number its bridge reports: by default SerialAt(its position); empty for none.
  std::optional<std::string> serial{};
  // Held by another program: listed as opened, and every open of it is refused.
  bool busy = false;
};

// Instant: virtual time, a silent board costs no real time. Realistic: real time, paced by
// a model of a full-speed FIFO bridge and the flash's programming time.
enum class Pace { Instant, Realistic };

class SimulatedBoard {
 public:
  // position: where on the bus the board sits, from 1 (see sim/board_identity.h).
  explicit SimulatedBoard(BoardConfig config = {}, Pace pace = Pace::Instant, int position = 1);
  ~SimulatedBoard();
  SimulatedBoard(const SimulatedBoard&) = delete;
  SimulatedBoard& operator=(const SimulatedBoard&) = delete;

  D2xx& Port();
  const BoardIdentity& Identity() const;
  // Whether the board is still plugged in; safe from any thread.
  bool Present() const;
  FaultPlan& Faults();
  const Trace& CallTrace() const;

  // The board's 65,536 flash bytes; flash address w covers bytes 2w and 2w + 1.
  std::span<const std::uint8_t, kFlashBytes> Flash() const;
  std::span<std::uint8_t, kFlashBytes> Flash();
  // Whether addresses 1,024 to 2,047 currently accept writes ("EX" 1,998 unlocks them).
  bool ProtectedRangeUnlocked() const;

  // Duration of the calls so far by the pacing model, in milliseconds (in instant mode,
  // the virtual time that passed).
  double ModelMilliseconds() const;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace tlx::sim
