#include "wire_reading.h"

#include "hex_bytes.h"

#include <algorithm>
#include <optional>

namespace tlx::campaign {
namespace {

using test::BigEndian;

// The command a written frame starts, if it is one: the tag and the frame's length must agree.
std::optional<Command> FrameOf(const std::vector<std::uint8_t>& data, std::size_t index) {
  if (data.size() < 2) return std::nullopt;
  const std::string tag(data.begin(), data.begin() + 2);
  if (tag == "SI" && data.size() == 2) return Command{tag, 0, index, {}};
  if (tag == "EX" && data.size() == 4) return Command{tag, BigEndian(data, 2, 2), index, {}};
  if ((tag == "RF" && data.size() == 7) || (tag == "WF" && data.size() == 5))
    return Command{tag, BigEndian(data, 2, 3), index, {}};
  return std::nullopt;
}

std::size_t ReplyLength(const Command& command) {
  if (command.tag == "SI") return 4;
  if (command.tag == "RF") return 4 * BigEndian(command.calls.front()->data, 5, 2);
  return 0;
}

bool ReadLoopSucceeded(const std::vector<const sim::TraceEntry*>& reads, std::size_t expected) {
  if (reads.empty()) return false;
  std::size_t total = 0;
  for (const sim::TraceEntry* read : reads) {
    const bool tolerated = read->status == FT_OK || read->status == FT_IO_ERROR;
    if (!tolerated || read->data.empty()) return false;
    total += read->data.size();
  }
  return reads.back()->status == FT_OK && total == expected;
}

}  // namespace

std::vector<Command> CommandsIn(const sim::Trace& trace, TraceSpan span) {
  const std::vector<sim::TraceEntry>& entries = trace.Entries();
  std::vector<Command> commands;
  for (std::size_t i = span.begin; i < span.end && i < entries.size(); ++i) {
    const sim::TraceEntry& entry = entries[i];
    const bool transfer = entry.call == sim::D2xxCall::Write || entry.call == sim::D2xxCall::Read;
    if (!transfer) continue;
    std::optional<Command> frame;
    if (entry.call == sim::D2xxCall::Write) frame = FrameOf(entry.data, i);
    if (frame) commands.push_back(std::move(*frame));
    if (!commands.empty()) commands.back().calls.push_back(&entry);
  }
  return commands;
}

bool Succeeded(const Command& command) {
  std::vector<const sim::TraceEntry*> writes;
  std::vector<const sim::TraceEntry*> reads;
  for (const sim::TraceEntry* call : command.calls)
    (call->call == sim::D2xxCall::Write ? writes : reads).push_back(call);
  const bool writesOk = std::ranges::all_of(
      writes, [](const sim::TraceEntry* write) { return write->status == FT_OK; });
  const std::size_t writesNeeded = command.tag == "WF" ? 2 : 1;
  if (!writesOk || writes.size() != writesNeeded) return false;
  const std::size_t replyLength = ReplyLength(command);
  return replyLength == 0 ? reads.empty() : ReadLoopSucceeded(reads, replyLength);
}

std::vector<std::uint8_t> Reply(const Command& command) {
  std::vector<std::uint8_t> reply;
  for (const sim::TraceEntry* call : command.calls)
    if (call->call == sim::D2xxCall::Read)
      reply.insert(reply.end(), call->data.begin(), call->data.end());
  return reply;
}

bool AnyFailed(const sim::Trace& trace, TraceSpan span, sim::D2xxCall call) {
  const std::vector<sim::TraceEntry>& entries = trace.Entries();
  for (std::size_t i = span.begin; i < span.end && i < entries.size(); ++i)
    if (entries[i].call == call && entries[i].status != FT_OK) return true;
  return false;
}

}  // namespace tlx::campaign
