// Opening, configuration, purge and close of the simulated bridge.
#include "sim/simulated_d2xx.h"

#include <cstring>

#include "link/d2xx_rules.h"
#include "link/device_list.h"

namespace tlx::sim {
SimulatedD2xx::SimulatedD2xx(BootloaderModel& board, Bridge& bridge, const FaultPlan& plan,
                             Trace& trace, Pacer& pacer, BoardIdentity identity)
    : board_(board),
      bridge_(bridge),
      faults_(plan),
      trace_(trace),
      pacer_(pacer),
      identity_(std::move(identity)) {
  board_.SetProgramFilter([this](std::uint32_t firstByte, std::span<std::uint8_t> data) {
    trace_.RecordProgramming(firstByte / 2);
    faults_.ApplyProgramDefects(firstByte, data);
  });
}

void SimulatedD2xx::RunControlTransfer() {
  bridge_.RunUntil(pacer_.ModelMilliseconds() + pacer_.Timing().controlCallMs);
}

SimulatedD2xx::Admission SimulatedD2xx::Admit(D2xxCall call, FT_HANDLE handle,
                                              const std::string& tag) {
  const bool unplugged = faults_.CountCallAndCheckUnplugged();
  if (handle == 0 || handle != openHandle_) return {FT_INVALID_HANDLE, std::nullopt};
  if (unplugged) return {call == D2xxCall::Close ? FT_OK : FT_IO_ERROR, std::nullopt};
  const std::optional<Fault> fault = faults_.ForCall(call, tag);
  if (fault && fault->kind == FaultKind::FailStatus) return {fault->status, std::nullopt};
  return {std::nullopt, fault};
}

FT_STATUS SimulatedD2xx::Finish(TraceEntry entry, FT_STATUS status, double costMs) {
  entry.status = status;
  trace_.Record(std::move(entry));
  pacer_.Spend(costMs);
  return status;
}

FT_STATUS SimulatedD2xx::FT_CreateDeviceInfoList(DWORD* numDevices) {
  if (numDevices == nullptr) return FT_INVALID_PARAMETER;
  listed_.clear();
  if (Present()) listed_.push_back(ListNode(identity_, openHandle_));
  *numDevices = static_cast<DWORD>(listed_.size());
  return FT_OK;
}

FT_STATUS SimulatedD2xx::FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices) {
  return CopyDeviceList(listed_, list, numDevices);
}

FT_STATUS SimulatedD2xx::FT_OpenEx(const char* arg1, DWORD flags, FT_HANDLE* handle) {
  TraceEntry entry{
      .call = D2xxCall::OpenEx, .description = OpenArgumentText(arg1, flags), .flags = flags};
  if (faults_.CountCallAndCheckUnplugged()) return Finish(entry, FT_DEVICE_NOT_FOUND, 0);
  if (handle == nullptr) return Finish(entry, FT_INVALID_PARAMETER, 0);
  if (!Answers(identity_, arg1, flags)) return Finish(entry, FT_DEVICE_NOT_FOUND, 0);
  if (openHandle_ != 0 || identity_.busy) return Finish(entry, FT_DEVICE_NOT_OPENED, 0);
  const std::optional<Fault> fault = faults_.ForCall(D2xxCall::OpenEx, "");
  if (fault && fault->kind == FaultKind::FailStatus) return Finish(entry, fault->status, 0);

  openHandle_ = ++lastHandle_;
  readTimeoutMs_ = 0;
  latencyMs_ = pacer_.Timing().defaultLatencyMs;
  *handle = openHandle_;
  return Finish(entry, FT_OK, pacer_.Timing().controlCallMs);
}

FT_STATUS SimulatedD2xx::FT_GetDeviceInfo(FT_HANDLE handle, DWORD* type, DWORD* id,
                                          char* serialNumber, char* description) {
  if (handle == 0 || handle != openHandle_) return FT_INVALID_HANDLE;
  return CopyDeviceInfo(ListNode(identity_, openHandle_), type, id, serialNumber, description);
}

FT_STATUS SimulatedD2xx::FT_SetTimeouts(FT_HANDLE handle, DWORD readTimeout, DWORD writeTimeout) {
  const TraceEntry entry{
      .call = D2xxCall::SetTimeouts, .readTimeout = readTimeout, .writeTimeout = writeTimeout};
  const Admission admission = Admit(entry.call, handle, "");
  if (admission.refusal) return Finish(entry, *admission.refusal, 0);
  readTimeoutMs_ = readTimeout;
  return Finish(entry, FT_OK, pacer_.Timing().controlCallMs);
}

FT_STATUS SimulatedD2xx::FT_SetLatencyTimer(FT_HANDLE handle, UCHAR milliseconds) {
  const TraceEntry entry{.call = D2xxCall::SetLatencyTimer, .latencyMs = milliseconds};
  const Admission admission = Admit(entry.call, handle, "");
  if (admission.refusal) return Finish(entry, *admission.refusal, 0);
  if (milliseconds < kMinLatencyMs) return Finish(entry, FT_INVALID_PARAMETER, 0);
  latencyMs_ = milliseconds;
  return Finish(entry, FT_OK, pacer_.Timing().controlCallMs);
}

// Only the inbound size matters to the library; the outbound one is accepted as given.
FT_STATUS SimulatedD2xx::FT_SetUSBParameters(FT_HANDLE handle, DWORD inTransferSize,
                                             DWORD outTransferSize) {
  const TraceEntry entry{
      .call = D2xxCall::SetUSBParameters, .inSize = inTransferSize, .outSize = outTransferSize};
  const Admission admission = Admit(entry.call, handle, "");
  if (admission.refusal) return Finish(entry, *admission.refusal, 0);
  if (!ValidTransferSize(inTransferSize)) return Finish(entry, FT_INVALID_PARAMETER, 0);
  RunControlTransfer();
  bridge_.PurgeReceive();
  return Finish(entry, FT_OK, pacer_.Timing().controlCallMs);
}

FT_STATUS SimulatedD2xx::FT_Purge(FT_HANDLE handle, DWORD mask) {
  const TraceEntry entry{.call = D2xxCall::Purge, .mask = mask};
  const Admission admission = Admit(entry.call, handle, "");
  if (admission.refusal) return Finish(entry, *admission.refusal, 0);
  RunControlTransfer();
  if (mask & FT_PURGE_RX) bridge_.PurgeReceive();
  if (mask & FT_PURGE_TX) bridge_.PurgeTransmit();
  return Finish(entry, FT_OK, pacer_.Timing().controlCallMs);
}

FT_STATUS SimulatedD2xx::FT_Close(FT_HANDLE handle) {
  const TraceEntry entry{.call = D2xxCall::Close};
  const Admission admission = Admit(entry.call, handle, "");
  const FT_STATUS status = admission.refusal.value_or(FT_OK);
  if (status == FT_OK) openHandle_ = 0;
  return Finish(entry, status, status == FT_OK ? pacer_.Timing().controlCallMs : 0);
}

}  // namespace tlx::sim
