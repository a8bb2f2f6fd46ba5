// One user session through the window logic, as a user goes through it: start the program,
// press "Find Device", then "Flash Device", each message box dismissed as soon as it shows.
// Records where in the board's trace each phase ran and where each message appeared.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "app_harness.h"
#include "run_plan.h"
#include "wire_reading.h"

namespace tlx::campaign {

struct SeenMessage {
  test::ShownMessage message;
  Phase phase = Phase::StartUp;
  std::size_t traceIndex = 0;  // trace length when it appeared
};

struct SessionRecord {
  std::array<std::optional<TraceSpan>, kPhaseCount> phases;  // empty: not reached
  std::vector<SeenMessage> messages;

  const std::optional<TraceSpan>& Of(Phase phase) const {
    return phases[static_cast<std::size_t>(phase)];
  }
  std::vector<SeenMessage> MessagesOf(Phase phase) const;
};

// Runs before the first call of each phase, to arm faults from there on.
using BeforePhase = std::function<void(Phase)>;

// From program start, or from the Idle window of a program already running.
enum class StartFrom { ProgramStart, IdleWindow };

SessionRecord RunSession(test::AppHarness& app, StartFrom start, const BeforePhase& beforePhase);

}  // namespace tlx::campaign
