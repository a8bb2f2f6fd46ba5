#include "verdict.h"

#include <optional>

#include "app/window_system.h"
#include "block_region.h"

namespace tlx::campaign {
namespace {

struct Expected {
  const char* text;
  std::optional<std::string> title;
  int style;
};

const Expected kHardwareNotFound{"Tambrelux Pro hardware not found!", "USB Error!", 0};
const Expected kNotInUpdateMode{"Tambrelux Not in update mode! ", std::nullopt, 4112};
const Expected kUsbConnectionFailure{"USB Connection Failure!", "USB Error", 0};

constexpr std::size_t kImageHeaderBytes = 8;
// Boards running firmware up to 1.1 take the region between the two "EX" commands.
constexpr std::uint8_t kLastFirmwareWithBracket = 0x11;

std::string Describe(const std::vector<SeenMessage>& shown) {
  if (shown.empty()) return "no message";
  std::string text;
  for (const SeenMessage& seen : shown) {
    text += "\"";
    text += seen.message.title.value_or("");
    text += ": " + seen.message.text + "\" ";
  }
  return text;
}

// The messages of a phase against the one message (or none) the trace calls for.
std::optional<std::string> Mismatch(const std::vector<SeenMessage>& shown,
                                    const std::optional<Expected>& expected) {
  const bool matches = expected ? shown.size() == 1 && shown[0].message.text == expected->text &&
                                      shown[0].message.title == expected->title &&
                                      shown[0].message.style == expected->style
                                : shown.empty();
  if (matches) return std::nullopt;
  std::string mismatch = "expected ";
  mismatch += expected ? std::string("\"") + expected->text + "\"" : std::string("none");
  return mismatch + ", shown " + Describe(shown);
}

bool ProgramEnded(const test::AppHarness& app) {
  return app.window.unloaded && app.form.Link.DeviceHandle == 0;
}

bool Idle(const test::AppHarness& app) {
  const test::RecordingWindow& w = app.window;
  return w.VisibleButtons() == std::vector<int>{kFindDevice} && w.statusText.empty() &&
         w.deviceName.empty() && !w.progressVisible && w.menuEnabled &&
         app.form.FlashInProgress == kFalse && !w.unloaded;
}

bool Complete(const test::AppHarness& app) {
  const test::RecordingWindow& w = app.window;
  return w.VisibleButtons() == std::vector<int>{kOk} && w.statusText == "Flash Complete!" &&
         !w.progressVisible && w.menuEnabled && app.form.FlashInProgress == kFalse;
}

std::optional<Expected> StartUpMessage(const sim::Trace& trace, TraceSpan span) {
  using sim::D2xxCall;
  for (D2xxCall call : {D2xxCall::OpenEx, D2xxCall::SetTimeouts, D2xxCall::SetLatencyTimer,
                        D2xxCall::SetUSBParameters})
    if (AnyFailed(trace, span, call)) return kHardwareNotFound;
  const std::vector<Command> commands = CommandsIn(trace, span);
  if (commands.size() != 1 || !Succeeded(commands[0])) return kNotInUpdateMode;
  const std::vector<std::uint8_t> reply = Reply(commands[0]);
  const bool bootloader = reply[0] == 'K' && reply[1] == 'V' && reply[2] != 0;
  return bootloader ? std::nullopt : std::optional(kNotInUpdateMode);
}

// Either purge of the check failing is a USB failure; a failed status query is not.
std::optional<Expected> CheckMessage(const sim::Trace& trace, TraceSpan span) {
  if (AnyFailed(trace, span, sim::D2xxCall::Purge)) return kUsbConnectionFailure;
  return std::nullopt;
}

// The flash a correct update leaves: every region this board takes holds the image's
// payload, every other byte is as it was.
std::vector<std::uint8_t> FlashAfterUpdate(const BoardTruth& truth) {
  std::vector<std::uint8_t> flash = truth.flashBefore;
  for (const Region& region : kRegions) {
    if (region.bracketed && truth.firmware > kLastFirmwareWithBracket) continue;
    const std::size_t first = 2 * std::size_t{region.first};
    for (std::size_t byte = first; byte < first + 2 * std::size_t{region.addresses}; ++byte)
      flash[byte] = (*truth.image)[kImageHeaderBytes + byte];
  }
  return flash;
}

std::optional<std::string> FlashDifference(const test::AppHarness& app, const BoardTruth& truth) {
  const std::vector<std::uint8_t> expected = FlashAfterUpdate(truth);
  const auto flash = app.board.Flash();
  std::size_t differing = 0;
  std::size_t first = expected.size();
  for (std::size_t byte = 0; byte < expected.size(); ++byte) {
    if (flash[byte] == expected[byte]) continue;
    ++differing;
    first = std::min(first, byte);
  }
  if (differing == 0) return std::nullopt;
  return std::to_string(differing) + " flash bytes differ from what the update should leave, " +
         "the first at flash address " + std::to_string(first / 2);
}

// What the update went by: the firmware version of the last status reply it decoded.
std::string BeliefAboutFirmware(const test::AppHarness& app, const BoardTruth& truth) {
  const auto text = [](std::uint8_t byte) {
    return std::to_string(byte >> 4) + "." + std::to_string(byte & 0x0F);
  };
  return "the update took the board's firmware for " + text(app.form.Link.FirmwareVersion.Byte()) +
         ", it is " + text(truth.firmware);
}

Verdict Wrong(Phase phase, const std::string& why) {
  return {Outcome::WrongMessage, std::string(PhaseName(phase)) + ": " + why};
}

Verdict JudgeFlash(const test::AppHarness& app, const SessionRecord& record,
                   const BoardTruth& truth) {
  const std::vector<SeenMessage> shown = record.MessagesOf(Phase::Flash);
  if (shown.empty()) {
    if (!Complete(app)) return Wrong(Phase::Flash, "no message, and the window is not complete");
    if (std::optional<std::string> difference = FlashDifference(app, truth))
      return {Outcome::SilentCorruption, *difference + "; " + BeliefAboutFirmware(app, truth)};
    // Every run starts on a locked board, so whatever opened the protected addresses (the
    // update's own bracket or stray bytes), they must be locked again at the end.
    if (app.board.ProtectedRangeUnlocked())
      return {Outcome::SilentCorruption, "flash addresses 1,024 to 2,047 were left unlocked"};
    return {Outcome::Success, {}};
  }
  if (shown.size() > 1) return Wrong(Phase::Flash, "shown " + Describe(shown));
  const TraceSpan upToMessage{record.Of(Phase::Flash)->begin, shown[0].traceIndex};
  const Verdict verdict = JudgeUpdateFailure(CommandsIn(app.board.CallTrace(), upToMessage),
                                             shown[0].message, app.form.FailureFlag, *truth.image);
  if (verdict.outcome == Outcome::WrongMessage) return verdict;
  if (!Idle(app)) return Wrong(Phase::Flash, "the window is not back in Idle");
  return verdict;
}

}  // namespace

bool IsReportedFailure(Outcome outcome) {
  return outcome != Outcome::Success && outcome != Outcome::SilentCorruption &&
         outcome != Outcome::WrongMessage;
}

Verdict Judge(const test::AppHarness& app, const SessionRecord& record, const BoardTruth& truth) {
  const sim::Trace& trace = app.board.CallTrace();
  if (const std::optional<TraceSpan>& span = record.Of(Phase::StartUp)) {
    const std::optional<Expected> expected = StartUpMessage(trace, *span);
    if (auto mismatch = Mismatch(record.MessagesOf(Phase::StartUp), expected))
      return Wrong(Phase::StartUp, *mismatch);
    if (expected && !ProgramEnded(app)) return Wrong(Phase::StartUp, "the program did not end");
    if (expected) return {Outcome::StartUpRefused, {}};
  }
  const std::optional<TraceSpan>& check = record.Of(Phase::DeviceCheck);
  if (!check) return Wrong(Phase::DeviceCheck, "never reached");
  const std::optional<Expected> expected = CheckMessage(trace, *check);
  if (auto mismatch = Mismatch(record.MessagesOf(Phase::DeviceCheck), expected))
    return Wrong(Phase::DeviceCheck, *mismatch);
  if (expected) {
    if (!ProgramEnded(app)) return Wrong(Phase::DeviceCheck, "the program did not end");
    return {Outcome::CheckUsbError, {}};
  }
  if (!record.Of(Phase::Flash)) return Wrong(Phase::DeviceCheck, "\"Flash Device\" not offered");
  return JudgeFlash(app, record, truth);
}

}  // namespace tlx::campaign
