// FT_Write and FT_Read of the simulated bridge: bytes into the bridge, replies out of it.
#include <algorithm>

#include "sim/simulated_d2xx.h"

namespace tlx::sim {
namespace {

bool Is(const std::optional<Fault>& fault, FaultKind kind) {
  return fault && fault->kind == kind;
}

}  // namespace

std::string SimulatedD2xx::CommandOfWrite(const std::uint8_t* buffer, DWORD count) const {
  std::string tag = board_.CommandInProgress();
  if (tag.empty() && buffer != nullptr && count >= 2)
    for (const char* known : {"SI", "EX", "RF", "WF"})
      if (buffer[0] == known[0] && buffer[1] == known[1]) tag = known;
  return tag;
}

// A write that is refused or fails passes nothing to the bridge; one cut short, its first bytes.
FT_STATUS SimulatedD2xx::FT_Write(FT_HANDLE handle, const std::uint8_t* buffer, DWORD bytesToWrite,
                                  DWORD* bytesWritten) {
  TraceEntry entry{.call = D2xxCall::Write};
  if (buffer != nullptr) entry.data.assign(buffer, buffer + bytesToWrite);
  if (bytesWritten != nullptr) *bytesWritten = 0;
  const std::string tag = CommandOfWrite(buffer, bytesToWrite);
  if (!tag.empty()) lastCommand_ = tag;
  const Admission admission = Admit(entry.call, handle, tag);
  if (admission.refusal) return Finish(entry, *admission.refusal, 0);
  if (bytesWritten == nullptr || (buffer == nullptr && bytesToWrite > 0))
    return Finish(entry, FT_INVALID_PARAMETER, 0);

  const bool cut = Is(admission.fault, FaultKind::PartialWrite);
  const std::size_t passed =
      cut ? faults_.BytesPassed(*admission.fault, bytesToWrite) : bytesToWrite;
  const double nowMs = pacer_.ModelMilliseconds();
  const double endMs = bridge_.Accept(std::span(entry.data).first(passed), nowMs);
  *bytesWritten = static_cast<DWORD>(passed);
  entry.written = static_cast<DWORD>(passed);
  const bool failed = cut || Is(admission.fault, FaultKind::IoErrorWithBytes);
  return Finish(entry, failed ? FT_IO_ERROR : FT_OK, endMs - nowMs);
}

FT_STATUS SimulatedD2xx::FT_Read(FT_HANDLE handle, std::uint8_t* buffer, DWORD bytesToRead,
                                 DWORD* bytesReturned) {
  TraceEntry entry{.call = D2xxCall::Read, .requested = bytesToRead};
  if (bytesReturned != nullptr) *bytesReturned = 0;
  const Admission admission = Admit(entry.call, handle, lastCommand_);
  if (admission.refusal) return Finish(entry, *admission.refusal, 0);
  if (bytesReturned == nullptr || (buffer == nullptr && bytesToRead > 0))
    return Finish(entry, FT_INVALID_PARAMETER, 0);

  const double nowMs = pacer_.ModelMilliseconds();
  const double arrivedMs = bridge_.Collect(bytesToRead, nowMs, nowMs + readTimeoutMs_);
  const std::size_t delivered = Deliver(buffer, bytesToRead, admission.fault);
  entry.data.assign(buffer, buffer + delivered);
  *bytesReturned = static_cast<DWORD>(delivered);
  const bool shortRead = delivered < bytesToRead;
  FT_STATUS status = FT_OK;
  if (Is(admission.fault, FaultKind::IoErrorWithBytes)) status = FT_IO_ERROR;
  if (shortRead && readTimeoutMs_ == 0) status = FT_OTHER_ERROR;
  const double costMs = shortRead ? readTimeoutMs_ : ReadCostMs(arrivedMs - nowMs, delivered);
  return Finish(entry, status, costMs);
}

std::size_t SimulatedD2xx::Deliver(std::uint8_t* buffer, DWORD count,
                                   const std::optional<Fault>& fault) {
  if (Is(fault, FaultKind::NoData)) return 0;
  const std::size_t wanted = Is(fault, FaultKind::SplitReply) ? std::min<DWORD>(count, 1) : count;
  const std::size_t delivered = bridge_.Take({buffer, wanted});
  if (Is(fault, FaultKind::BitFlip)) faults_.FlipOneBit({buffer, delivered});
  return delivered;
}

// A reply's last, short packet waits in the bridge for the latency timer.
double SimulatedD2xx::ReadCostMs(double waitedMs, std::size_t delivered) const {
  return delivered == 0 ? 0 : latencyMs_ + std::max(waitedMs, pacer_.TransferMs(delivered));
}

}  // namespace tlx::sim
