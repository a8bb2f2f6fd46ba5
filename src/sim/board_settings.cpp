#include "sim/board_settings.h"

#include <charconv>

namespace tlx::sim {

std::optional<Pace> ParsePace(std::string_view text) {
  if (text == "instant") return Pace::Instant;
  if (text == "realistic") return Pace::Realistic;
  return {};
}

std::optional<double> ParseRate(std::string_view text) {
  double rate = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), rate);
  if (error != std::errc() || end != text.data() + text.size() || !(rate >= 0 && rate <= 1))
    return {};
  return rate;
}

void ApplyBoardSettings(const BoardSettings& settings, SimulatedBoard& board) {
  FaultPlan& faults = board.Faults();
  if (settings.faultRate) {
    const double rate = *settings.faultRate;
    faults.SetRandom(settings.seed, {.failStatus = rate,
                                     .ioErrorWithBytes = rate,
                                     .noData = rate,
                                     .splitReply = rate,
                                     .bitFlip = rate,
                                     .badProgram = rate,
                                     .partialWrite = rate});
  }
  for (const ScriptedFault& fault : settings.faults) faults.Add(fault);
  if (settings.stuckByte) faults.StickByte(*settings.stuckByte);
  if (settings.unplugAt) faults.UnplugAt(*settings.unplugAt);
}

}  // namespace tlx::sim
