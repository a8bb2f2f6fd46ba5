// The text form of a scripted fault, for command lines: KIND@CALL[xCOUNT]. "write-error@57"
// fails the first FT_Write from the 57th D2XX call on; "no-data@200x3" silences the first
// three reads from call 200 on; "unplug@90" pulls the cable at call 90. CALL counts every
// D2XX call from 1 (the first FT_OpenEx), as the lines of the trace do.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "sim/fault_plan.h"

namespace tlx::sim {

struct FaultSpecError {
  std::string sentence;
};

// The scripted fault the text names, or one sentence saying what is wrong with it.
std::variant<ScriptedFault, FaultSpecError> ParseFaultSpec(std::string_view text);

// One line per kind, its form and what it does, for a program's help.
std::string FaultKindsHelp();

}  // namespace tlx::sim
