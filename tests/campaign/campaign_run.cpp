#include "campaign_run.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "sim/random_source.h"

namespace tlx::campaign {
namespace {

constexpr std::uint8_t kHardwareByte = 0x21;
constexpr std::size_t kImageHeaderBytes = 8;

std::vector<std::uint8_t> ImageFor(const RunPlan& plan) {
  std::vector<std::uint8_t> image = test::MakeImage({.version = plan.imageVersion});
  sim::RandomSource random(plan.seed ^ 0x5EEDF00DULL);
  for (std::size_t i = kImageHeaderBytes; i < image.size(); ++i)
    image[i] = static_cast<std::uint8_t>(random.Next());
  return image;
}

// The firmware the board holds before any update, so a region left unwritten shows.
void FillWithOldFirmware(sim::SimulatedBoard& board, std::uint64_t seed) {
  sim::RandomSource random(seed ^ 0x01DF1A5ULL);
  for (std::uint8_t& byte : board.Flash()) byte = static_cast<std::uint8_t>(random.Next());
}

std::vector<std::uint8_t> FlashOf(const sim::SimulatedBoard& board) {
  return {board.Flash().begin(), board.Flash().end()};
}

Verdict NotCompleted(const std::string& which, const Verdict& verdict) {
  return {Outcome::WrongMessage,
          which + " did not complete: " +
              (verdict.detail.empty() ? std::string("reported a failure") : verdict.detail)};
}

// After an unplug or an ended program the user plugs the board in again and starts the
// program anew: the board starts afresh, its flash kept, so the first attempt must complete.
Verdict AttemptOnReplugged(test::AppHarness& app, const RunPlan& plan, const BoardTruth& truth,
                           const std::vector<std::uint8_t>& container, RunResult& result) {
  if (!app.window.unloaded && !app.form.RequestClose())
    return {Outcome::WrongMessage, "closing the window after the failure was refused"};
  test::AppHarness fresh({.hardwareByte = kHardwareByte, .firmwareByte = plan.boardFirmware});
  std::ranges::copy(app.board.Flash(), fresh.board.Flash().begin());
  test::WriteBytes(fresh.workDir / "TLX.fwu", container);
  const SessionRecord record = RunSession(fresh, StartFrom::ProgramStart, {});
  result.furtherAttempts = 1;
  const Verdict verdict = Judge(fresh, record, truth);
  return IsReportedFailure(verdict.outcome)
             ? NotCompleted("the attempt on the board plugged in again", verdict)
             : verdict;
}

// After any other failure the user presses "Find Device" and "Flash Device" again in the same
// window, on a cable now healthy. The board may still be taking the rest of a frame that the
// failed attempt began, and the bytes that complete it are lost to the attempt that sends
// them, so that attempt may itself fail; each one must then report its failure as the first
// had to, and one of a few must complete.
Verdict AttemptsOnSameBoard(test::AppHarness& app, const BoardTruth& truth, RunResult& result) {
  app.board.Faults() = sim::FaultPlan{};
  Verdict verdict;
  for (int attempt = 1; attempt <= kMostFurtherAttempts; ++attempt) {
    result.furtherAttempts = attempt;
    const SessionRecord record = RunSession(app, StartFrom::IdleWindow, {});
    verdict = Judge(app, record, truth);
    if (!IsReportedFailure(verdict.outcome)) return verdict;
  }
  return NotCompleted("the last of " + std::to_string(kMostFurtherAttempts) + " further attempts",
                      verdict);
}

RunResult Run(const RunPlan& plan) {
  RunResult result;
  result.plan = plan;
  const std::vector<std::uint8_t> image = ImageFor(plan);
  const std::vector<std::uint8_t> container = test::EncodeImage(image);
  test::AppHarness app({.hardwareByte = kHardwareByte, .firmwareByte = plan.boardFirmware});
  FillWithOldFirmware(app.board, plan.seed);
  test::WriteBytes(app.workDir / "TLX.fwu", container);
  const BoardTruth truth{plan.boardFirmware, &image, FlashOf(app.board)};

  const SessionRecord record = RunSession(app, StartFrom::ProgramStart, [&](Phase phase) {
    if (phase != plan.onset) return;
    ArmFaults(plan, app.board.Faults(), static_cast<int>(app.board.CallTrace().Entries().size()));
  });
  result.sessionMs = app.board.ModelMilliseconds();
  result.verdict = Judge(app, record, truth);
  if (result.sessionMs > kSessionBoundMs)
    result.verdict = {Outcome::WrongMessage,
                      "the session took " + std::to_string(result.sessionMs / 1000) + " s"};
  if (IsReportedFailure(result.verdict.outcome)) {
    const bool replugged = plan.unplugAfter > 0 || app.window.unloaded;
    const Verdict further = replugged ? AttemptOnReplugged(app, plan, truth, container, result)
                                      : AttemptsOnSameBoard(app, truth, result);
    if (further.outcome != Outcome::Success) result.verdict = further;
  }
  return result;
}

}  // namespace

// An exception out of the window logic would end the real program: it counts as wrong.
RunResult RunOne(std::uint64_t seed) {
  const RunPlan plan = PlanFor(seed);
  try {
    return Run(plan);
  } catch (const std::exception& error) {
    RunResult failed;
    failed.plan = plan;
    failed.verdict = {Outcome::WrongMessage, std::string("exception: ") + error.what()};
    return failed;
  }
}

}  // namespace tlx::campaign
