// FT_Write and FT_Read of the simulated bridge: bytes into the board, replies out of it.
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

// A write that is refused or fails does not reach the board.
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

  const int blocksBefore = board_.BlocksProgrammed();
  board_.Receive(entry.data);
  *bytesWritten = bytesToWrite;
  entry.written = bytesToWrite;
  // The board takes data only as fast as it programs it, so a block's programming time is
  // part of the write that completes it.
  const double costMs =
      pacer_.TransferMs(bytesToWrite) +
      (board_.BlocksProgrammed() - blocksBefore) * pacer_.Timing().programMsPerBlock;
  const FT_STATUS status = Is(admission.fault, FaultKind::IoErrorWithBytes) ? FT_IO_ERROR : FT_OK;
  return Finish(entry, status, costMs);
}

FT_STATUS SimulatedD2xx::FT_Read(FT_HANDLE handle, std::uint8_t* buffer, DWORD bytesToRead,
                                 DWORD* bytesReturned) {
  TraceEntry entry{.call = D2xxCall::Read, .requested = bytesToRead};
  if (bytesReturned != nullptr) *bytesReturned = 0;
  const Admission admission = Admit(entry.call, handle, lastCommand_);
  if (admission.refusal) return Finish(entry, *admission.refusal, 0);
  if (bytesReturned == nullptr || (buffer == nullptr && bytesToRead > 0))
    return Finish(entry, FT_INVALID_PARAMETER, 0);

  const std::size_t delivered = Deliver(buffer, bytesToRead, admission.fault);
  entry.data.assign(buffer, buffer + delivered);
  *bytesReturned = static_cast<DWORD>(delivered);
  const bool shortRead = delivered < bytesToRead;
  FT_STATUS status = FT_OK;
  if (Is(admission.fault, FaultKind::IoErrorWithBytes)) status = FT_IO_ERROR;
  if (shortRead && readTimeoutMs_ == 0) status = FT_OTHER_ERROR;
  const double costMs = shortRead ? readTimeoutMs_ : ReadCostMs(delivered);
  return Finish(entry, status, costMs);
}

std::size_t SimulatedD2xx::Deliver(std::uint8_t* buffer, DWORD count,
                                   const std::optional<Fault>& fault) {
  if (Is(fault, FaultKind::NoData)) return 0;
  const std::size_t wanted = Is(fault, FaultKind::SplitReply) ? std::min<DWORD>(count, 1) : count;
  const std::size_t delivered = board_.TakeReply({buffer, wanted});
  if (Is(fault, FaultKind::BitFlip)) faults_.FlipOneBit({buffer, delivered});
  return delivered;
}

// A reply's last, short packet waits in the bridge for the latency timer.
double SimulatedD2xx::ReadCostMs(std::size_t delivered) const {
  return delivered == 0 ? 0 : latencyMs_ + pacer_.TransferMs(delivered);
}

}  // namespace tlx::sim
