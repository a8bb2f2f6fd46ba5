#include "run_plan.h"

#include <array>
#include <cstdio>

#include "sim/random_source.h"

namespace tlx::campaign {
namespace {

constexpr std::array<double, 4> kRates{0.01, 0.05, 0.2, 0.5};
constexpr std::array<std::uint8_t, 2> kBoardFirmware{0x11, 0x12};
constexpr std::array<std::uint8_t, 3> kImageVersions{0x12, 0x13, 0x20};
// A healthy session makes about 230 D2XX calls on a board running 1.1; an unplug drawn from
// a little beyond that also leaves some runs where the board stays to the end.
constexpr std::uint64_t kUnplugRange = 260;

template <typename T, std::size_t N>
T PickFrom(sim::RandomSource& random, const std::array<T, N>& choices) {
  return choices[random.Below(N)];
}

// In "all at once" the six kinds that strike calls share the rate; bad programming strikes
// blocks and takes a share too.
sim::FaultRates RatesFor(FaultClass faultClass, double rate) {
  const double mixed = faultClass == FaultClass::Mixed ? rate / 6 : 0;
  const auto of = [&](FaultClass own) { return faultClass == own ? rate : mixed; };
  return {.failStatus = of(FaultClass::FailStatus),
          .ioErrorWithBytes = of(FaultClass::IoErrorWithBytes),
          .noData = of(FaultClass::NoData),
          .splitReply = of(FaultClass::SplitReply),
          .bitFlip = of(FaultClass::BitFlip),
          .badProgram = of(FaultClass::BadProgram),
          .partialWrite = of(FaultClass::PartialWrite)};
}

}  // namespace

const char* FaultClassName(FaultClass faultClass) {
  static constexpr std::array<const char*, kFaultClassCount> kNames{
      "failing status", "I/O error with bytes", "no data",          "split reply", "bit flip",
      "partial write",  "bad programming",      "stuck flash byte", "unplug",      "all at once"};
  return kNames[static_cast<std::size_t>(faultClass)];
}

const char* PhaseName(Phase phase) {
  static constexpr std::array<const char*, kPhaseCount> kNames{"start-up", "device check", "flash"};
  return kNames[static_cast<std::size_t>(phase)];
}

RunPlan PlanFor(std::uint64_t seed) {
  sim::RandomSource random(seed);
  RunPlan plan{.seed = seed};
  plan.faultClass = static_cast<FaultClass>(seed % kFaultClassCount);
  plan.rate = PickFrom(random, kRates);
  plan.onset = static_cast<Phase>(random.Below(kPhaseCount));
  plan.boardFirmware = PickFrom(random, kBoardFirmware);
  plan.imageVersion = PickFrom(random, kImageVersions);
  const bool unplugs = plan.faultClass == FaultClass::Unplug ||
                       (plan.faultClass == FaultClass::Mixed && random.Chance(1.0 / 3));
  plan.unplugAfter = unplugs ? static_cast<int>(1 + random.Below(kUnplugRange)) : 0;
  plan.stuckByte = static_cast<std::uint32_t>(random.Below(65536));
  plan.stuckMask = static_cast<std::uint8_t>(1U << random.Below(8));
  plan.faultSeed = random.Next();
  return plan;
}

void ArmFaults(const RunPlan& plan, sim::FaultPlan& faults, int callsSoFar) {
  if (plan.faultClass == FaultClass::StuckByte) faults.StickByte(plan.stuckByte, plan.stuckMask);
  if (plan.unplugAfter > 0) faults.UnplugAt(callsSoFar + plan.unplugAfter);
  const sim::FaultRates rates = RatesFor(plan.faultClass, plan.rate);
  faults.SetRandom(plan.faultSeed, rates);
}

std::string Describe(const RunPlan& plan) {
  const bool rated =
      plan.faultClass != FaultClass::StuckByte && plan.faultClass != FaultClass::Unplug;
  char rate[16] = "";
  if (rated) std::snprintf(rate, sizeof rate, " at %.2f", plan.rate);
  char text[200];
  std::snprintf(text, sizeof text,
                "seed %llu: %s%s from the %s on, board firmware %x.%x, image %x.%x",
                static_cast<unsigned long long>(plan.seed), FaultClassName(plan.faultClass), rate,
                PhaseName(plan.onset), plan.boardFirmware >> 4, plan.boardFirmware & 0x0F,
                plan.imageVersion >> 4, plan.imageVersion & 0x0F);
  std::string described = text;
  if (plan.unplugAfter > 0)
    described += ", unplugged at call " + std::to_string(plan.unplugAfter) + " counted from there";
  if (plan.faultClass == FaultClass::StuckByte)
    described += ", flash byte " + std::to_string(plan.stuckByte) + " stuck";
  return described;
}

}  // namespace tlx::campaign
