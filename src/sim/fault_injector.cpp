#include "sim/fault_injector.h"

#include <algorithm>

namespace tlx::sim {
namespace {

// A random failure of the open looks like a device that refuses to be opened; every other
// call fails like a broken transfer.
FT_STATUS RandomFailStatus(D2xxCall call) {
  return call == D2xxCall::OpenEx ? FT_DEVICE_NOT_OPENED : FT_IO_ERROR;
}

}  // namespace

bool FaultInjector::CountCallAndCheckUnplugged() {
  ++calls_;
  return Unplugged();
}

bool FaultInjector::Unplugged() const {
  return plan_.UnplugCall() > 0 && calls_ >= plan_.UnplugCall();
}

std::optional<Fault> FaultInjector::ForCall(D2xxCall call, std::string_view tag) {
  if (std::optional<Fault> fault = Scripted(call, tag)) return fault;
  if (plan_.RandomEnabled()) return RandomFor(call, tag);
  return std::nullopt;
}

// Every scripted fault that matches the call counts it, so each fault's first and count
// refer to its own matching calls (from its fromCall on); the earliest added fault that is
// due wins.
std::optional<Fault> FaultInjector::Scripted(D2xxCall call, std::string_view tag) {
  const std::vector<ScriptedFault>& scripted = plan_.Scripted();
  matchedCalls_.resize(scripted.size(), 0);
  std::optional<Fault> due;
  for (std::size_t i = 0; i < scripted.size(); ++i) {
    const ScriptedFault& fault = scripted[i];
    if (fault.call != call || (!fault.tag.empty() && fault.tag != tag)) continue;
    if (calls_ < fault.fromCall) continue;
    const int position = ++matchedCalls_[i];
    const bool inWindow = position >= fault.first && position - fault.first < fault.count;
    if (inWindow && !due) due = Fault{fault.kind, fault.status, fault.bytesPassed};
  }
  return due;
}

// Random bit flips strike only the read-back data of "RF": USB checks every packet, so a flip
// that reaches the host stands for a marginal flash read, which a status reply never is.
std::optional<Fault> FaultInjector::RandomFor(D2xxCall call, std::string_view tag) {
  const FaultRates& rates = plan_.Rates();
  RandomSource& random = Generator();
  if (random.Chance(rates.failStatus)) return Fault{FaultKind::FailStatus, RandomFailStatus(call)};
  if (call == D2xxCall::Write && random.Chance(rates.partialWrite))
    return Fault{FaultKind::PartialWrite, FT_IO_ERROR};
  if (call != D2xxCall::Read) return std::nullopt;
  if (random.Chance(rates.ioErrorWithBytes)) return Fault{FaultKind::IoErrorWithBytes, FT_IO_ERROR};
  if (random.Chance(rates.noData)) return Fault{FaultKind::NoData, FT_OK};
  if (random.Chance(rates.splitReply)) return Fault{FaultKind::SplitReply, FT_OK};
  if (tag == "RF" && random.Chance(rates.bitFlip)) return Fault{FaultKind::BitFlip, FT_OK};
  return std::nullopt;
}

// Reseeded whenever the plan's seed changes, so a seed set after the board was built still
// names the whole run from then on.
RandomSource& FaultInjector::Generator() {
  if (seededWith_ != plan_.Seed()) {
    seededWith_ = plan_.Seed();
    random_ = RandomSource(plan_.Seed());
  }
  return random_;
}

void FaultInjector::FlipOneBit(std::span<std::uint8_t> delivered) {
  if (delivered.empty()) return;
  RandomSource& random = Generator();
  const std::uint64_t index = random.Below(delivered.size());
  delivered[index] ^= static_cast<std::uint8_t>(1U << random.Below(8));
}

std::size_t FaultInjector::BytesPassed(const Fault& fault, std::size_t count) {
  if (count < 2) return 0;
  if (fault.bytesPassed > 0) return std::min<std::size_t>(fault.bytesPassed, count - 1);
  return 1 + Generator().Below(count - 1);
}

void FaultInjector::ApplyProgramDefects(std::uint32_t firstByte, std::span<std::uint8_t> data) {
  for (const auto& [offset, mask] : plan_.StuckBytes())
    if (offset >= firstByte && offset - firstByte < data.size()) data[offset - firstByte] ^= mask;
  if (!plan_.RandomEnabled() || data.empty()) return;
  RandomSource& random = Generator();
  if (random.Chance(plan_.Rates().badProgram)) FlipOneBit(data);
}

}  // namespace tlx::sim
