// Judges one session from the outside: from the board's trace it works out what the user
// should have been told and where, and compares that with the messages shown, the window's
// state and the board's flash.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app_harness.h"
#include "session.h"
#include "wire_reading.h"

namespace tlx::campaign {

enum class Outcome {
  Success,
  StartUpRefused,       // "hardware not found" or "not in update mode"; the program ended
  CheckUsbError,        // "USB Connection Failure!"; the program ended
  UpdateCommunication,  // "Update Failure!"
  UpdateVerify,         // "Verify Failure!"
  UpdateBootloader,     // "Bootloader Failure!"
  SilentCorruption,     // "Flash Complete!" over a flash that is not what the update should
                        // leave, or with the protected addresses unlocked
  WrongMessage,         // a message or window state the trace does not justify
};
inline constexpr int kOutcomeCount = 8;

bool IsReportedFailure(Outcome outcome);

struct Verdict {
  Outcome outcome = Outcome::Success;
  std::string detail;  // why, when it is not a success
};

// What the judge knows without asking the program.
struct BoardTruth {
  std::uint8_t firmware = 0;                         // the board's real firmware byte
  const std::vector<std::uint8_t>* image = nullptr;  // the image in the .fwu, header included
  std::vector<std::uint8_t> flashBefore;             // the board's flash when the run began
};

Verdict Judge(const test::AppHarness& app, const SessionRecord& record, const BoardTruth& truth);

// The message a failed update should have shown, worked out from the wire alone: the last
// command names the loop and the block, the commands before it name the region, and whether
// that last command went through tells a failed transfer from a read-back that differed.
// flashCommands: the commands of the "Flash Device" click up to the message.
Verdict JudgeUpdateFailure(const std::vector<Command>& flashCommands,
                           const test::ShownMessage& shown, std::int16_t failureFlag,
                           const std::vector<std::uint8_t>& image);

}  // namespace tlx::campaign
