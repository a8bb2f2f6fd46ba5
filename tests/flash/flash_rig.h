// A board on the simulated cable, opened and queried as the device check leaves it, with an
// image of random bytes ready to flash and the update engine over the recording window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "flash/update_engine.h"
#include "link/tlx_module.h"
#include "recording_update_window.h"
#include "sim/simulated_board.h"

namespace tlx::test {

inline constexpr std::size_t kImageBytes = 65544;
inline constexpr std::size_t kHeaderBytes = 8;

// Flash byte ranges [first, end) of the board.
struct ByteRange {
  std::size_t first;
  std::size_t end;
};
inline constexpr ByteRange kStep2Bytes{4096, 20480};
// Flash addresses 1,024 to 2,047: only the Step 4 region writes them.
inline constexpr ByteRange kStep4OnlyBytes{2048, 4096};

using FaultSetup = std::function<void(sim::FaultPlan&)>;

struct FlashRig {
  // The faults are planned before the board is opened, so call positions count from there.
  explicit FlashRig(std::uint8_t firmwareByte = 0x11, const FaultSetup& faults = {});
  explicit FlashRig(const FaultSetup& faults) : FlashRig(0x11, faults) {}

  // The wire since the rig was ready, as "purge", "WF 2048", "RF 0", "EX 1998", "SI"; the
  // data writes of "WF" and all reads are left out. Failed attempts are included.
  std::vector<std::string> Wire() const;
  int Sent(const std::string& tag) const;
  bool FlashHoldsImage(ByteRange range) const;
  bool FlashAsBefore(ByteRange range) const;

  sim::SimulatedBoard board;
  std::vector<std::uint8_t> image = std::vector<std::uint8_t>(kImageBytes);
  std::vector<std::uint8_t> imageCopy = std::vector<std::uint8_t>(kImageBytes);
  std::vector<std::uint8_t> original;
  std::vector<std::uint8_t> flashBefore;
  std::int16_t failureFlag = 0;
  RecordingUpdateWindow window;
  TLXModule link;
  UpdateEngine engine;

 private:
  std::size_t traceStart_ = 0;
};

}  // namespace tlx::test
