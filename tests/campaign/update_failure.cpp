// The judge of a failed update: which message the wire calls for, and whether the loop spent
// exactly its budget before giving up.
#include <algorithm>
#include <optional>
#include <string>

#include "block_region.h"
#include "verdict.h"

namespace tlx::campaign {
namespace {

// The judge's own numbers, not the program's: a budget gone wrong in the program must show as
// a wrong message here.
constexpr int kAttemptsPerLoopCall = 50;
constexpr std::size_t kImageHeaderBytes = 8;

struct Expected {
  std::string title;
  std::string text;
  std::int16_t failureFlag;
};

// The messages as the user must read them, written out here rather than taken from the
// program's catalogue: a failure while Step 3 is written may leave the board unbootable.
Expected ExpectedFor(std::string_view step, bool verify) {
  const std::string warning = step == "Step 3" ? "** DO NOT POWER OFF BOARD!! **  " : "";
  if (verify)
    return {"Verify Failure!",
            std::string(step) + " - Device verify error!  Data is corrupted!  " + warning +
                "Re-try update!",
            -1};
  return {"Update Failure!",
          std::string(step) + " - Device communication error - Corruption possible!  " + warning +
              "Re-try update!",
          -2};
}

const Expected kBootloaderFailure{"Bootloader Failure!",
                                  "Step 4 - Device communication error!  Data is corrupted!  "
                                  "** DO NOT POWER OFF BOARD!! **  Re-try update!",
                                  -2};

std::string Quote(const test::ShownMessage& shown) {
  std::string quoted = "\"";
  quoted += shown.title.value_or("");
  return quoted + ": " + shown.text + "\"";
}

// The region of the last block command, if that command lies on one of its blocks.
const Region* RegionOfLast(const std::vector<Command>& commands) {
  const Region& region = RegionOf(commands, commands.size() - 1);
  const std::uint32_t address = commands.back().field;
  const bool onABlock = address >= region.first && address < region.first + region.addresses &&
                        (address - region.first) % kBlockAddresses == 0;
  return onABlock ? &region : nullptr;
}

int BlocksOf(const Region& region) {
  return static_cast<int>(region.addresses / kBlockAddresses);
}

// The commands of the loop call that failed: the trailing run with the last one's tag.
std::vector<const Command*> LastLoopCall(const std::vector<Command>& commands) {
  std::vector<const Command*> loop;
  for (auto it = commands.rbegin(); it != commands.rend() && it->tag == commands.back().tag; ++it)
    loop.insert(loop.begin(), &*it);
  return loop;
}

// Failed attempts the loop call spent: failed transfers, and in a read-back one more for
// every pass that was read in full and then compared unequal.
int AttemptsSpent(const std::vector<const Command*>& loop, const Region& region) {
  const auto failed = std::ranges::count_if(loop, [](const Command* c) { return !Succeeded(*c); });
  if (loop.front()->tag == "WF") return static_cast<int>(failed);
  const auto read = static_cast<int>(loop.size() - static_cast<std::size_t>(failed));
  return static_cast<int>(failed) + read / BlocksOf(region);
}

// Whether the last full pass of a read-back brought anything other than the image.
bool LastPassDiffered(const std::vector<const Command*>& loop, const Region& region,
                      const std::vector<std::uint8_t>& image) {
  int blocksLeft = BlocksOf(region);
  for (auto it = loop.rbegin(); it != loop.rend() && blocksLeft > 0; ++it) {
    if (!Succeeded(**it)) continue;
    --blocksLeft;
    const std::size_t first = kImageHeaderBytes + 2 * std::size_t{(*it)->field};
    const std::vector<std::uint8_t> reply = Reply(**it);
    if (!std::equal(reply.begin(), reply.end(), image.begin() + static_cast<std::ptrdiff_t>(first)))
      return true;
  }
  return false;
}

Verdict Wrong(const test::ShownMessage& shown, const std::string& why) {
  return {Outcome::WrongMessage, "update failure " + Quote(shown) + ": " + why};
}

Verdict JudgeBlockFailure(const std::vector<Command>& commands, const test::ShownMessage& shown,
                          std::int16_t failureFlag, const std::vector<std::uint8_t>& image) {
  const Command& last = commands.back();
  const Region* region = RegionOfLast(commands);
  if (region == nullptr)
    return Wrong(shown, last.tag + " " + std::to_string(last.field) + " lies in no region");
  const bool verify = last.tag == "RF" && Succeeded(last);
  if (last.tag == "WF" && Succeeded(last)) return Wrong(shown, "the last write went through");

  const std::vector<const Command*> loop = LastLoopCall(commands);
  const int spent = AttemptsSpent(loop, *region);
  if (spent != kAttemptsPerLoopCall)
    return Wrong(shown, "the loop gave up after " + std::to_string(spent) + " failed attempts");
  if (verify && !LastPassDiffered(loop, *region, image))
    return Wrong(shown, "the last read-back of " + std::string(region->step) + " was the image");

  const Expected expected = ExpectedFor(region->step, verify);
  if (shown.title != expected.title || shown.text != expected.text || shown.style != 0)
    return Wrong(shown, "expected \"" + expected.title + ": " + expected.text + "\"");
  if (failureFlag != expected.failureFlag)
    return Wrong(shown, "FailureFlag " + std::to_string(failureFlag));
  return {verify ? Outcome::UpdateVerify : Outcome::UpdateCommunication, {}};
}

// An "EX" write, or the status query after it, went wrong; only its own transfers count.
Verdict JudgeBracketFailure(const std::vector<Command>& commands, const test::ShownMessage& shown,
                            std::int16_t failureFlag) {
  const bool exItself = commands.back().tag == "EX";
  const bool afterEx = commands.size() >= 2 && commands[commands.size() - 2].tag == "EX";
  if (!exItself && !afterEx) return Wrong(shown, "a status query outside an \"EX\" bracket");
  if (Succeeded(commands.back())) return Wrong(shown, "the last command went through");
  if (shown.title != kBootloaderFailure.title || shown.text != kBootloaderFailure.text ||
      shown.style != 0)
    return Wrong(shown, "expected the bootloader failure");
  if (failureFlag != kBootloaderFailure.failureFlag)
    return Wrong(shown, "FailureFlag " + std::to_string(failureFlag));
  return {Outcome::UpdateBootloader, {}};
}

}  // namespace

Verdict JudgeUpdateFailure(const std::vector<Command>& flashCommands,
                           const test::ShownMessage& shown, std::int16_t failureFlag,
                           const std::vector<std::uint8_t>& image) {
  if (flashCommands.empty()) return Wrong(shown, "no command was sent");
  const std::string& tag = flashCommands.back().tag;
  if (tag == "SI" || tag == "EX") return JudgeBracketFailure(flashCommands, shown, failureFlag);
  if (tag == "WF" || tag == "RF")
    return JudgeBlockFailure(flashCommands, shown, failureFlag, image);
  return Wrong(shown, "the last command was " + tag);
}

}  // namespace tlx::campaign
