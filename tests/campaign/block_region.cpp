#include "block_region.h"

#include <algorithm>

namespace tlx::campaign {
namespace {

constexpr std::uint32_t kUnlockingExValue = 1998;
constexpr std::uint32_t kBlockAddresses = 1024;
constexpr std::uint32_t kFlashAddresses = 32768;

const FlashRegion& RegionNamed(std::string_view step) {
  return *std::ranges::find(kFlashRegions, step, &FlashRegion::step);
}

std::size_t TraceIndexOf(const sim::Trace& trace, const Command& command) {
  return static_cast<std::size_t>(command.calls.front() - trace.Entries().data());
}

// The session's calls, from the first of its phases to the end of the last.
TraceSpan SpanOf(const SessionRecord& session) {
  TraceSpan whole{SIZE_MAX, 0};
  for (const std::optional<TraceSpan>& phase : session.phases) {
    if (!phase) continue;
    whole.begin = std::min(whole.begin, phase->begin);
    whole.end = std::max(whole.end, phase->end);
  }
  return whole;
}

bool Inside(const FlashRegion& region, std::uint32_t blockAddress) {
  const auto first = static_cast<std::uint32_t>(region.regionStart);
  const auto end = first + 2 * static_cast<std::uint32_t>(region.length);
  const std::uint32_t blockEnd = std::min(blockAddress + kBlockAddresses, kFlashAddresses);
  return blockAddress >= first && blockEnd <= end;
}

// What the commands so far say about where the program is.
class RegionContext {
 public:
  void After(const Command& command) {
    if (command.tag == "EX") inBracket_ = command.field == kUnlockingExValue;
    if ((command.tag == "WF" || command.tag == "RF") && command.field == 0) pastStep3_ = true;
  }
  const FlashRegion& Of(std::uint32_t address) const {
    return RegionNamed(inBracket_     ? "Step 4"
                       : address == 0 ? "Step 3"
                       : pastStep3_   ? "Step 1"
                                      : "Step 2");
  }

 private:
  bool inBracket_ = false;
  bool pastStep3_ = false;
};

}  // namespace

const FlashRegion& RegionOf(const std::vector<Command>& commands, std::size_t index) {
  RegionContext context;
  for (std::size_t i = 0; i < index; ++i) context.After(commands[i]);
  return context.Of(commands[index].field);
}

// Blocks and "WF" frames both come in trace order, so one pass pairs each block with the last
// frame written before it.
bool ProgrammedOutsideRegion(const sim::Trace& trace, const SessionRecord& session) {
  const TraceSpan span = SpanOf(session);
  const std::optional<TraceSpan>& flash = session.Of(Phase::Flash);
  const std::vector<Command> commands = flash ? CommandsIn(trace, *flash) : std::vector<Command>{};
  RegionContext context;
  std::size_t next = 0;
  const FlashRegion* writing = nullptr;
  for (const sim::ProgrammedBlock& block : trace.Programmed()) {
    if (block.duringCall < span.begin || block.duringCall >= span.end) continue;
    for (; next < commands.size() && TraceIndexOf(trace, commands[next]) <= block.duringCall;
         ++next) {
      if (commands[next].tag == "WF") writing = &context.Of(commands[next].field);
      context.After(commands[next]);
    }
    if (writing == nullptr || !Inside(*writing, block.flashAddress)) return true;
  }
  return false;
}

}  // namespace tlx::campaign
