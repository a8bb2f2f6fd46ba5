// The stand-in ftd2xx.dll: the calls the vendor's library exports (windows/d2xx_abi.h), each
// passed to the simulated boards' D2XX calls, so the Windows programs can be run under Wine
// end to end with boards whose faults and trace the tests choose.
#include <windows.h>

#include <cstring>
#include <vector>

#include "stand_in_board.h"
#include "windows/d2xx_abi.h"

namespace {

using namespace tlx;
namespace abi = tlx::windows::abi;

// The board's handles are small numbers; the library's are pointers.
abi::FT_HANDLE Theirs(FT_HANDLE handle) {
  return reinterpret_cast<abi::FT_HANDLE>(static_cast<std::uintptr_t>(handle));
}
FT_HANDLE Ours(abi::FT_HANDLE handle) {
  return static_cast<FT_HANDLE>(reinterpret_cast<std::uintptr_t>(handle));
}

// Runs call on the boards; without them, the library's answer for a device that is not there.
template <typename Call>
FT_STATUS OnBoard(Call call) {
  D2xx* port = ftd2xx_sim::StandInBoards::Instance().Port();
  return port == nullptr ? FT_DEVICE_NOT_FOUND : call(*port);
}

}  // namespace

extern "C" {

__declspec(dllexport) abi::FT_STATUS WINAPI FT_CreateDeviceInfoList(LPDWORD numDevices) {
  *numDevices = 0;
  return OnBoard([&](D2xx& port) {
    tlx::DWORD count = 0;
    const FT_STATUS status = port.FT_CreateDeviceInfoList(&count);
    *numDevices = count;
    return status;
  });
}

__declspec(dllexport) abi::FT_STATUS WINAPI
    FT_GetDeviceInfoList(abi::FT_DEVICE_LIST_INFO_NODE* list, LPDWORD numDevices) {
  return OnBoard([&](D2xx& port) {
    std::vector<FT_DEVICE_LIST_INFO_NODE> nodes(*numDevices);
    tlx::DWORD count = *numDevices;
    const FT_STATUS status = port.FT_GetDeviceInfoList(nodes.data(), &count);
    for (tlx::DWORD i = 0; i < count && i < nodes.size(); ++i) {
      list[i].Flags = nodes[i].Flags;
      list[i].Type = nodes[i].Type;
      list[i].ID = nodes[i].ID;
      list[i].LocId = nodes[i].LocId;
      std::memcpy(list[i].SerialNumber, nodes[i].SerialNumber, sizeof list[i].SerialNumber);
      std::memcpy(list[i].Description, nodes[i].Description, sizeof list[i].Description);
      list[i].ftHandle = nodes[i].ftHandle == 0 ? nullptr : Theirs(nodes[i].ftHandle);
    }
    *numDevices = count;
    return status;
  });
}

__declspec(dllexport) abi::FT_STATUS WINAPI
    FT_OpenEx(PVOID arg1, ::DWORD flags, abi::FT_HANDLE* handle) {
  *handle = nullptr;
  return OnBoard([&](D2xx& port) {
    FT_HANDLE ours = 0;
    const FT_STATUS status = port.FT_OpenEx(static_cast<const char*>(arg1), flags, &ours);
    if (status == FT_OK) *handle = Theirs(ours);
    return status;
  });
}

__declspec(dllexport) abi::FT_STATUS WINAPI
    FT_GetDeviceInfo(abi::FT_HANDLE handle, ULONG* type, LPDWORD id, PCHAR serialNumber,
                     PCHAR description, PVOID) {
  return OnBoard([&](D2xx& port) {
    tlx::DWORD ourType = 0, ourId = 0;
    const FT_STATUS status =
        port.FT_GetDeviceInfo(Ours(handle), &ourType, &ourId, serialNumber, description);
    *type = ourType;
    *id = ourId;
    return status;
  });
}

__declspec(dllexport) abi::FT_STATUS WINAPI
    FT_SetTimeouts(abi::FT_HANDLE handle, ULONG readTimeout, ULONG writeTimeout) {
  return OnBoard(
      [&](D2xx& port) { return port.FT_SetTimeouts(Ours(handle), readTimeout, writeTimeout); });
}

__declspec(dllexport) abi::FT_STATUS WINAPI
    FT_SetLatencyTimer(abi::FT_HANDLE handle, UCHAR milliseconds) {
  return OnBoard([&](D2xx& port) { return port.FT_SetLatencyTimer(Ours(handle), milliseconds); });
}

__declspec(dllexport) abi::FT_STATUS WINAPI
    FT_SetUSBParameters(abi::FT_HANDLE handle, ULONG inTransferSize, ULONG outTransferSize) {
  return OnBoard([&](D2xx& port) {
    return port.FT_SetUSBParameters(Ours(handle), inTransferSize, outTransferSize);
  });
}

__declspec(dllexport) abi::FT_STATUS WINAPI
    FT_Write(abi::FT_HANDLE handle, LPVOID buffer, ::DWORD bytesToWrite, LPDWORD bytesWritten) {
  *bytesWritten = 0;
  return OnBoard([&](D2xx& port) {
    tlx::DWORD written = 0;
    const FT_STATUS status = port.FT_Write(Ours(handle), static_cast<const std::uint8_t*>(buffer),
                                           bytesToWrite, &written);
    *bytesWritten = written;
    return status;
  });
}

__declspec(dllexport) abi::FT_STATUS WINAPI
    FT_Read(abi::FT_HANDLE handle, LPVOID buffer, ::DWORD bytesToRead, LPDWORD bytesReturned) {
  *bytesReturned = 0;
  return OnBoard([&](D2xx& port) {
    tlx::DWORD returned = 0;
    const FT_STATUS status =
        port.FT_Read(Ours(handle), static_cast<std::uint8_t*>(buffer), bytesToRead, &returned);
    *bytesReturned = returned;
    return status;
  });
}

__declspec(dllexport) abi::FT_STATUS WINAPI FT_Purge(abi::FT_HANDLE handle, ULONG mask) {
  return OnBoard([&](D2xx& port) { return port.FT_Purge(Ours(handle), mask); });
}

__declspec(dllexport) abi::FT_STATUS WINAPI FT_Close(abi::FT_HANDLE handle) {
  return OnBoard([&](D2xx& port) {
    const FT_STATUS status = port.FT_Close(Ours(handle));
    ftd2xx_sim::StandInBoards::Instance().WriteOutputs();
    return status;
  });
}

}  // extern "C"
