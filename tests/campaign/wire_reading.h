// The board's trace read back as bootloader commands, so the campaign can tell what the
// program did on the wire without asking the program: each command frame with the calls that
// belong to it (the data write of "WF", the reads of a reply).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/trace.h"

namespace tlx::campaign {

struct TraceSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};

struct Command {
  std::string tag;            // "SI", "EX", "RF", "WF"
  std::uint32_t field = 0;    // the value of "EX", the flash address of "RF" and "WF"
  std::size_t callIndex = 0;  // of the frame write in the trace
  std::vector<const sim::TraceEntry*> calls;  // the frame write first
};

std::vector<Command> CommandsIn(const sim::Trace& trace, TraceSpan span);

// Whether the command went through as the link judges transfers: every write returned 0, and
// the reads of a reply brought all its bytes, none empty or failing, the last one with 0.
bool Succeeded(const Command& command);

// The bytes that the command's reads delivered, in order.
std::vector<std::uint8_t> Reply(const Command& command);

// Whether any call of this kind in the span returned a non-zero status.
bool AnyFailed(const sim::Trace& trace, TraceSpan span, sim::D2xxCall call);

}  // namespace tlx::campaign
