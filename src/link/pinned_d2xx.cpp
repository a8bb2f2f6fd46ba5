#include "link/pinned_d2xx.h"

#include <string_view>

namespace tlx {

PinnedD2xx::PinnedD2xx(D2xx& inner, DWORD locId, std::string serial)
    : inner_(inner), locId_(locId), serial_(std::move(serial)) {}

FT_STATUS PinnedD2xx::CheckOpenedBoard(FT_HANDLE opened, const char* description) {
  FT_DEVICE_LIST_INFO_NODE node;
  if (const FT_STATUS status = inner_.FT_GetDeviceInfo(opened, &node.Type, &node.ID,
                                                       node.SerialNumber, node.Description);
      status != FT_OK)
    return status;
  const bool same =
      serial_ == node.SerialNumber && std::string_view(description) == node.Description;
  return same ? FT_OK : FT_DEVICE_NOT_FOUND;
}

// The board is opened first and checked after, so that it cannot be swapped between the
// check and the open.
FT_STATUS PinnedD2xx::FT_OpenEx(const char* arg1, DWORD flags, FT_HANDLE* handle) {
  if (flags != FT_OPEN_BY_DESCRIPTION) return inner_.FT_OpenEx(arg1, flags, handle);
  if (arg1 == nullptr || handle == nullptr) return FT_INVALID_PARAMETER;
  FT_HANDLE opened = 0;
  const FT_STATUS status = inner_.FT_OpenEx(LocationArgument(locId_), FT_OPEN_BY_LOCATION, &opened);
  if (status != FT_OK) return status;
  if (const FT_STATUS check = CheckOpenedBoard(opened, arg1); check != FT_OK) {
    inner_.FT_Close(opened);
    return check;
  }
  *handle = opened;
  return FT_OK;
}

FT_STATUS PinnedD2xx::FT_GetDeviceInfo(FT_HANDLE handle, DWORD* type, DWORD* id, char* serialNumber,
                                       char* description) {
  return inner_.FT_GetDeviceInfo(handle, type, id, serialNumber, description);
}
FT_STATUS PinnedD2xx::FT_CreateDeviceInfoList(DWORD* numDevices) {
  return inner_.FT_CreateDeviceInfoList(numDevices);
}
FT_STATUS PinnedD2xx::FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices) {
  return inner_.FT_GetDeviceInfoList(list, numDevices);
}
FT_STATUS PinnedD2xx::FT_SetTimeouts(FT_HANDLE handle, DWORD readTimeout, DWORD writeTimeout) {
  return inner_.FT_SetTimeouts(handle, readTimeout, writeTimeout);
}
FT_STATUS PinnedD2xx::FT_SetLatencyTimer(FT_HANDLE handle, UCHAR milliseconds) {
  return inner_.FT_SetLatencyTimer(handle, milliseconds);
}
FT_STATUS PinnedD2xx::FT_SetUSBParameters(FT_HANDLE handle, DWORD inTransferSize,
                                          DWORD outTransferSize) {
  return inner_.FT_SetUSBParameters(handle, inTransferSize, outTransferSize);
}
FT_STATUS PinnedD2xx::FT_Write(FT_HANDLE handle, const std::uint8_t* buffer, DWORD bytesToWrite,
                               DWORD* bytesWritten) {
  return inner_.FT_Write(handle, buffer, bytesToWrite, bytesWritten);
}
FT_STATUS PinnedD2xx::FT_Read(FT_HANDLE handle, std::uint8_t* buffer, DWORD bytesToRead,
                              DWORD* bytesReturned) {
  return inner_.FT_Read(handle, buffer, bytesToRead, bytesReturned);
}
FT_STATUS PinnedD2xx::FT_Purge(FT_HANDLE handle, DWORD mask) {
  return inner_.FT_Purge(handle, mask);
}
FT_STATUS PinnedD2xx::FT_Close(FT_HANDLE handle) {
  return inner_.FT_Close(handle);
}

}  // namespace tlx
