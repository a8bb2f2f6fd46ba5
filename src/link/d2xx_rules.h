// What the D2XX library accepts of the configuration calls' arguments, so that every
// realisation of the calls (libftdi1, the simulated board) refuses the same values alike.
#pragma once

#include "link/d2xx.h"

namespace tlx {

// The latency timer of a full-speed bridge runs from 2 to 255 ms.
inline constexpr UCHAR kMinLatencyMs = 2;
// USB transfer sizes are whole 64-byte packets, 64 bytes to 64 KiB.
inline constexpr DWORD kTransferSizeStep = 64;
inline constexpr DWORD kMaxTransferSize = 65536;

constexpr bool ValidTransferSize(DWORD size) {
  return size >= kTransferSizeStep && size <= kMaxTransferSize && size % kTransferSizeStep == 0;
}

}  // namespace tlx
