// FT_GetDeviceInfoList and FT_GetDeviceInfo as every realisation of the device list answers
// them: from the list its FT_CreateDeviceInfoList built, and from what it knew of a device
// when it opened it.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "link/d2xx.h"

namespace tlx {

// Puts text into a node's fixed field (SerialNumber, Description), cut to fit, NUL-terminated.
template <std::size_t N>
void SetNodeText(char (&field)[N], const std::string& text) {
  const std::size_t length = std::min(text.size(), N - 1);
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

// Copies as many nodes as *numDevices says list holds, at most all, and sets *numDevices to
// the count copied.
FT_STATUS CopyDeviceList(const std::vector<FT_DEVICE_LIST_INFO_NODE>& listed,
                         FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices);

// FT_GetDeviceInfo's answer for the device node describes.
FT_STATUS CopyDeviceInfo(const FT_DEVICE_LIST_INFO_NODE& node, DWORD* type, DWORD* id,
                         char* serialNumber, char* description);

}  // namespace tlx
