// The flash regions as the judge knows them, written out here rather than taken from the
// program's plan: a region or bracket gone wrong in the program must show as a wrong verdict.
// Which region a block command belongs to is worked out from the commands before it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "session.h"
#include "wire_reading.h"

namespace tlx::campaign {

inline constexpr std::uint32_t kBlockAddresses = 1024;  // a block of 512 entries of 4 bytes

struct Region {
  std::string_view step;
  std::uint32_t first;      // flash address of its first block
  std::uint32_t addresses;  // a whole number of blocks
  bool bracketed;           // between two "EX" commands, for boards up to firmware 1.1
};

// In the order of writing.
inline constexpr std::array<Region, 4> kRegions{{{"Step 2", 2048, 8192, false},
                                                 {"Step 3", 0, 1024, false},
                                                 {"Step 4", 1024, 2048, true},
                                                 {"Step 1", 8192, 24576, false}}};

// Inside an open "EX" bracket it is Step 4; the one block at address 0 is Step 3; after
// Step 3 only Step 1 is left, before it only Step 2.
const Region& RegionOf(const std::vector<Command>& commands, std::size_t index);

// Whether the board programmed, during the session, a block that reaches outside the region
// the program was writing then (or programmed one before the program wrote any).
bool ProgrammedOutsideRegion(const sim::Trace& trace, const SessionRecord& session);

}  // namespace tlx::campaign
