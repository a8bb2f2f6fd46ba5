// One board's own settings on a bus of several, over those all boards share, and how they
// read from a command line: "K:firmware=1.2", "K:hardware=2.1", "K:serial=ABC" ("K:serial="
// for none), "K:busy", "K:unplug-at=N", "K:fault=KIND@CALL[xCOUNT]", K from 1.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/fault_plan.h"

namespace tlx::sim {

struct BoardOverride {
  std::optional<std::uint8_t> hardwareByte;
  std::optional<std::uint8_t> firmwareByte;
  std::optional<std::string> serial;  // empty: none
  bool busy = false;
  std::optional<int> unplugAt;
  // When any are given, they take the place of the faults all boards share.
  std::vector<ScriptedFault> faults;
};

// Board number (from 1) to its overrides.
using BoardOverrides = std::map<int, BoardOverride>;

// Adds what the text says to its board's overrides; otherwise one sentence saying what is
// wrong with the text. Boards beyond the count are the caller's to refuse.
std::optional<std::string> AddBoardOverride(std::string_view text, BoardOverrides& overrides);

}  // namespace tlx::sim
