// Which flash region a block command of the program belongs to, worked out from the commands
// before it, and what the board programmed outside the region being written.
#pragma once

#include <vector>

#include "flash/flash_plan.h"
#include "session.h"
#include "wire_reading.h"

namespace tlx::campaign {

// Inside an open "EX" bracket it is Step 4; the one block at address 0 is Step 3; after
// Step 3 only Step 1 is left, before it only Step 2.
const FlashRegion& RegionOf(const std::vector<Command>& commands, std::size_t index);

// Whether the board programmed, during the session, a block that reaches outside the region
// the program was writing then (or programmed one before the program wrote any).
bool ProgrammedOutsideRegion(const sim::Trace& trace, const SessionRecord& session);

}  // namespace tlx::campaign
