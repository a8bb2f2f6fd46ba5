// FT_GetDeviceInfoList as every realisation of the device list answers it, from the list its
// FT_CreateDeviceInfoList built.
#pragma once

#include <vector>

#include "link/d2xx.h"

namespace tlx {

// Copies as many nodes as *numDevices says list holds, at most all, and sets *numDevices to
// the count copied.
FT_STATUS CopyDeviceList(const std::vector<FT_DEVICE_LIST_INFO_NODE>& listed,
                         FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices);

}  // namespace tlx
