// Every libftdi and libusb failure, keyed by the step that returned it, and the D2XX status
// the program sees for it. libftdi reuses small negative numbers with a different meaning
// in each function, so a code alone says little; the step and the code together do.
#pragma once

#include <climits>
#include <span>

#include "link/d2xx.h"
#include "usb/raw_transport.h"

namespace tlx::usb {

inline constexpr int kAnyOtherCode = INT_MIN;

struct StatusRule {
  RawOp step;
  int code;  // the library's code, or kAnyOtherCode for the rest of that step
  FT_STATUS status;
  const char* meaning;
};

// The table itself, in the order it is searched: exact codes before a step's catch-all.
std::span<const StatusRule> StatusRules();

// FT_OK for a result of zero or more (a success or a byte count); otherwise the first rule
// of the step that matches the code.
FT_STATUS D2xxStatusOf(RawOp step, int result);

}  // namespace tlx::usb
