// The message a failed update should have shown, worked out from the wire alone: the last
// command names the loop and the block, the commands before it name the region, and whether
// that last command went through tells a failed transfer from a read-back that differed.
#pragma once

#include <cstdint>
#include <vector>

#include "recording_window.h"
#include "verdict.h"
#include "wire_reading.h"

namespace tlx::campaign {

// flashCommands: the commands of the "Flash Device" click up to the message.
Verdict JudgeUpdateFailure(const std::vector<Command>& flashCommands,
                           const test::ShownMessage& shown, std::int16_t failureFlag,
                           const std::vector<std::uint8_t>& image);

}  // namespace tlx::campaign
