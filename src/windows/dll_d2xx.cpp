#include "windows/dll_d2xx.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tlx::windows {
namespace {

// The driver installs the library in the system folder; the program's own folder comes first
// so a copy shipped beside the program wins.
constexpr ::DWORD kSearch = LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;

template <typename Call>
bool Resolve(HMODULE library, const char* name, Call& call) {
  call = reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  return call != nullptr;
}

// The library writes Windows' DWORD; the seam's is another type of the same size.
template <typename Call>
FT_STATUS CountCall(Call call, DWORD* count) {
  ::DWORD value = *count;
  const FT_STATUS status = call(&value);
  *count = value;
  return status;
}

// A string the library wrote into a field of its own size, copied to one of the seam's (the
// same size) and ended in a NUL whatever the library wrote.
template <std::size_t Size>
void CopyString(char* to, const char (&from)[Size]) {
  std::memcpy(to, from, Size);
  to[Size - 1] = '\0';
}

}  // namespace

DllD2xx::DllD2xx() {
  // A missing DLL or one of its dependencies must not bring up the loader's error box.
  const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  library_ = LoadLibraryExW(L"ftd2xx.dll", nullptr, kSearch);
  SetErrorMode(previous);
  if (library_ != nullptr && !Bind()) {
    FreeLibrary(library_);
    library_ = nullptr;
  }
}

DllD2xx::~DllD2xx() {
  if (library_ == nullptr) return;
  for (const auto& [ours, theirs] : handles_) calls_.close(theirs);
  FreeLibrary(library_);
}

bool DllD2xx::Bind() {
  return Resolve(library_, "FT_CreateDeviceInfoList", calls_.createDeviceInfoList) &&
         Resolve(library_, "FT_GetDeviceInfoList", calls_.getDeviceInfoList) &&
         Resolve(library_, "FT_OpenEx", calls_.openEx) &&
         Resolve(library_, "FT_GetDeviceInfo", calls_.getDeviceInfo) &&
         Resolve(library_, "FT_SetTimeouts", calls_.setTimeouts) &&
         Resolve(library_, "FT_SetLatencyTimer", calls_.setLatencyTimer) &&
         Resolve(library_, "FT_SetUSBParameters", calls_.setUSBParameters) &&
         Resolve(library_, "FT_Write", calls_.write) && Resolve(library_, "FT_Read", calls_.read) &&
         Resolve(library_, "FT_Purge", calls_.purge) && Resolve(library_, "FT_Close", calls_.close);
}

abi::FT_HANDLE DllD2xx::Find(FT_HANDLE handle) const {
  const auto found = handles_.find(handle);
  return found == handles_.end() ? nullptr : found->second;
}

FT_HANDLE DllD2xx::Ours(abi::FT_HANDLE theirs) const {
  for (const auto& [ours, handle] : handles_)
    if (handle == theirs) return ours;
  return 0;
}

FT_STATUS DllD2xx::FT_CreateDeviceInfoList(DWORD* numDevices) {
  if (!Loaded()) {
    *numDevices = 0;
    return FT_OK;
  }
  return CountCall(calls_.createDeviceInfoList, numDevices);
}

FT_STATUS DllD2xx::FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices) {
  if (!Loaded()) {
    *numDevices = 0;
    return FT_OK;
  }
  std::vector<abi::FT_DEVICE_LIST_INFO_NODE> nodes(*numDevices);
  ::DWORD count = *numDevices;
  const FT_STATUS status = calls_.getDeviceInfoList(nodes.data(), &count);
  // The library never copies more than it was given room for, but the count it reports is
  // not trusted with our array.
  *numDevices = std::min<DWORD>(count, static_cast<DWORD>(nodes.size()));
  for (DWORD i = 0; i < *numDevices; ++i) {
    const abi::FT_DEVICE_LIST_INFO_NODE& from = nodes[i];
    FT_DEVICE_LIST_INFO_NODE& to = list[i];
    to.Flags = from.Flags;
    to.Type = from.Type;
    to.ID = from.ID;
    to.LocId = from.LocId;
    CopyString(to.SerialNumber, from.SerialNumber);
    CopyString(to.Description, from.Description);
    to.ftHandle = from.ftHandle == nullptr ? 0 : Ours(from.ftHandle);
  }
  return status;
}

FT_STATUS DllD2xx::FT_OpenEx(const char* arg1, DWORD flags, FT_HANDLE* handle) {
  *handle = 0;
  if (!Loaded()) return FT_DEVICE_NOT_FOUND;
  abi::FT_HANDLE theirs = nullptr;
  // By location, arg1 carries the id itself, as the seam and the library both take it.
  const FT_STATUS status = calls_.openEx(const_cast<char*>(arg1), flags, &theirs);
  if (status != FT_OK) return status;
  // Handles are not reused, so a closed one stays invalid, as the library's do.
  *handle = ++lastHandle_;
  handles_[*handle] = theirs;
  return FT_OK;
}

// The strings go through buffers of the sizes the library fills and end in a NUL whatever
// it wrote.
FT_STATUS DllD2xx::FT_GetDeviceInfo(FT_HANDLE handle, DWORD* type, DWORD* id, char* serialNumber,
                                    char* description) {
  abi::FT_HANDLE theirs = Find(handle);
  if (theirs == nullptr) return FT_INVALID_HANDLE;
  if (type == nullptr || id == nullptr || serialNumber == nullptr || description == nullptr)
    return FT_INVALID_PARAMETER;
  ULONG theirType = 0;
  ::DWORD theirId = 0;
  abi::FT_DEVICE_LIST_INFO_NODE strings{};
  const FT_STATUS status = calls_.getDeviceInfo(theirs, &theirType, &theirId, strings.SerialNumber,
                                                strings.Description, nullptr);
  *type = theirType;
  *id = theirId;
  CopyString(serialNumber, strings.SerialNumber);
  CopyString(description, strings.Description);
  return status;
}

FT_STATUS DllD2xx::FT_SetTimeouts(FT_HANDLE handle, DWORD readTimeout, DWORD writeTimeout) {
  abi::FT_HANDLE theirs = Find(handle);
  return theirs == nullptr ? FT_INVALID_HANDLE
                           : calls_.setTimeouts(theirs, readTimeout, writeTimeout);
}

FT_STATUS DllD2xx::FT_SetLatencyTimer(FT_HANDLE handle, UCHAR milliseconds) {
  abi::FT_HANDLE theirs = Find(handle);
  return theirs == nullptr ? FT_INVALID_HANDLE : calls_.setLatencyTimer(theirs, milliseconds);
}

FT_STATUS DllD2xx::FT_SetUSBParameters(FT_HANDLE handle, DWORD inTransferSize,
                                       DWORD outTransferSize) {
  abi::FT_HANDLE theirs = Find(handle);
  return theirs == nullptr ? FT_INVALID_HANDLE
                           : calls_.setUSBParameters(theirs, inTransferSize, outTransferSize);
}

FT_STATUS DllD2xx::FT_Write(FT_HANDLE handle, const std::uint8_t* buffer, DWORD bytesToWrite,
                            DWORD* bytesWritten) {
  *bytesWritten = 0;
  abi::FT_HANDLE theirs = Find(handle);
  if (theirs == nullptr) return FT_INVALID_HANDLE;
  ::DWORD written = 0;
  // The library only reads the buffer it is given to write.
  const FT_STATUS status =
      calls_.write(theirs, const_cast<std::uint8_t*>(buffer), bytesToWrite, &written);
  *bytesWritten = written;
  return status;
}

FT_STATUS DllD2xx::FT_Read(FT_HANDLE handle, std::uint8_t* buffer, DWORD bytesToRead,
                           DWORD* bytesReturned) {
  *bytesReturned = 0;
  abi::FT_HANDLE theirs = Find(handle);
  if (theirs == nullptr) return FT_INVALID_HANDLE;
  ::DWORD returned = 0;
  const FT_STATUS status = calls_.read(theirs, buffer, bytesToRead, &returned);
  *bytesReturned = returned;
  return status;
}

FT_STATUS DllD2xx::FT_Purge(FT_HANDLE handle, DWORD mask) {
  abi::FT_HANDLE theirs = Find(handle);
  return theirs == nullptr ? FT_INVALID_HANDLE : calls_.purge(theirs, mask);
}

FT_STATUS DllD2xx::FT_Close(FT_HANDLE handle) {
  abi::FT_HANDLE theirs = Find(handle);
  if (theirs == nullptr) return FT_INVALID_HANDLE;
  handles_.erase(handle);
  return calls_.close(theirs);
}

}  // namespace tlx::windows
