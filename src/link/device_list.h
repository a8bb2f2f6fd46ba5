// FT_GetDeviceInfoList as every realisation of the device list answers it, from the list its
// FT_CreateDeviceInfoList built.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "link/d2xx.h"

namespace tlx {

// Copies as many nodes as *numDevices says list holds, at most all, and sets *numDevices to
// the count copied.
// Puts text into a node's fixed field (SerialNumber, Description), cut to fit, NUL-terminated.
template <std::size_t N>
void SetNodeText(char (&field)[N], const std::string& text) {
  const std::size_t length = std::min(text.size(), N - 1);
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

FT_STATUS CopyDeviceList(const std::vector<FT_DEVICE_LIST_INFO_NODE>& listed,
                         FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices);

}  // namespace tlx
