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

// A clean session must complete; anything else is reported as what went wrong.
Verdict SecondAttempt(test::AppHarness& app, StartFrom start, const BoardTruth& truth) {
  const SessionRecord record = RunSession(app, start, {});
  Verdict verdict = Judge(app, record, truth);
  if (verdict.outcome == Outcome::Success) return verdict;
  return {Outcome::WrongMessage,
          "the attempt after the failure did not complete: " +
              std::string(verdict.detail.empty() ? "reported a failure" : verdict.detail)};
}

// After an unplug or an ended program the user plugs the board in again and starts the
// program anew; after any other failure the same window goes round again.
Verdict RetryOnHealthyBoard(test::AppHarness& app, const RunPlan& plan,
                            const std::vector<std::uint8_t>& image,
                            const std::vector<std::uint8_t>& container) {
  const bool replug = plan.unplugAfter > 0 || app.window.unloaded;
  if (!replug) {
    app.board.Faults() = sim::FaultPlan{};
    return SecondAttempt(app, StartFrom::IdleWindow,
                         {plan.boardFirmware, &image, FlashOf(app.board)});
  }
  if (!app.window.unloaded && !app.RequestClose())
    return {Outcome::WrongMessage, "closing the window after the failure was refused"};
  test::AppHarness fresh({.hardwareByte = kHardwareByte, .firmwareByte = plan.boardFirmware});
  std::ranges::copy(app.board.Flash(), fresh.board.Flash().begin());
  test::WriteBytes(fresh.workDir / "TLX.fwu", container);
  return SecondAttempt(fresh, StartFrom::ProgramStart,
                       {plan.boardFirmware, &image, FlashOf(fresh.board)});
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
    result.retried = true;
    const Verdict retry = RetryOnHealthyBoard(app, plan, image, container);
    if (retry.outcome != Outcome::Success) result.verdict = retry;
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
