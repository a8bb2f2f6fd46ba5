#include "block_region.h"

#include <algorithm>

namespace tlx::campaign {
namespace {

constexpr std::uint32_t kUnlockingExValue = 1998;
constexpr std::uint32_t kFlashAddresses = 32768;

bool Inside(const Region& region, std::uint32_t blockAddress) {
  const std::uint32_t blockEnd = std::min(blockAddress + kBlockAddresses, kFlashAddresses);
  return blockAddress >= region.first && blockEnd <= region.first + region.addresses;
}

// What the commands so far say about where the program is.
class RegionContext {
 public:
  void After(const Command& command) {
    if (command.tag == "EX") inBracket_ = command.field == kUnlockingExValue;
    if ((command.tag == "WF" || command.tag == "RF") && command.field == 0) pastStep3_ = true;
  }
  const Region& Of(std::uint32_t address) const {
    const std::string_view step = inBracket_     ? "Step 4"
                                  : address == 0 ? "Step 3"
                                  : pastStep3_   ? "Step 1"
                                                 : "Step 2";
    return *std::ranges::find(kRegions, step, &Region::step);
  }

 private:
  bool inBracket_ = false;
  bool pastStep3_ = false;
};

}  // namespace

const Region& RegionOf(const std::vector<Command>& commands, std::size_t index) {
  RegionContext context;
  for (std::size_t i = 0; i < index; ++i) context.After(commands[i]);
  return context.Of(commands[index].field);
}

// Blocks and "WF" frames both come in trace order, so one pass pairs each block with the last
// frame written before it. Only the session's own calls count, from its first phase on.
bool ProgrammedOutsideRegion(const sim::Trace& trace, const SessionRecord& session) {
  const std::optional<TraceSpan>& flash = session.Of(Phase::Flash);
  const std::vector<Command> commands = flash ? CommandsIn(trace, *flash) : std::vector<Command>{};
  const auto first =
      std::ranges::find_if(session.phases, [](const auto& p) { return p.has_value(); });
  const std::size_t begin = first == session.phases.end() ? 0 : (*first)->begin;
  RegionContext context;
  std::size_t next = 0;
  const Region* writing = nullptr;
  for (const sim::ProgrammedBlock& block : trace.Programmed()) {
    if (block.duringCall < begin) continue;
    for (; next < commands.size() && commands[next].callIndex <= block.duringCall; ++next) {
      if (commands[next].tag == "WF") writing = &context.Of(commands[next].field);
      context.After(commands[next]);
    }
    if (writing == nullptr || !Inside(*writing, block.flashAddress)) return true;
  }
  return false;
}

}  // namespace tlx::campaign
