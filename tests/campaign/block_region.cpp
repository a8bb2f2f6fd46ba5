#include "block_region.h"

#include <algorithm>

namespace tlx::campaign {

const Region& RegionOf(const std::vector<Command>& commands, std::size_t index) {
  constexpr std::uint32_t kUnlockingExValue = 1998;
  bool inBracket = false;
  bool pastStep3 = false;
  for (std::size_t i = 0; i < index; ++i) {
    const Command& command = commands[i];
    if (command.tag == "EX") inBracket = command.field == kUnlockingExValue;
    if ((command.tag == "WF" || command.tag == "RF") && command.field == 0) pastStep3 = true;
  }
  const std::string_view step = inBracket                    ? "Step 4"
                                : commands[index].field == 0 ? "Step 3"
                                : pastStep3                  ? "Step 1"
                                                             : "Step 2";
  return *std::ranges::find(kRegions, step, &Region::step);
}

}  // namespace tlx::campaign
