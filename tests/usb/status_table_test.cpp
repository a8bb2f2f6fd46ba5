#include "usb/status_table.h"

#include <gtest/gtest.h>
#include <libusb.h>

#include <set>

namespace tlx::usb {
namespace {

constexpr RawOp kAllSteps[] = {RawOp::Scan,  RawOp::Open, RawOp::Latency, RawOp::TransferSize,
                               RawOp::Write, RawOp::Read, RawOp::Purge,   RawOp::Close};

TEST(StatusTableTest, EveryStepHasACatchAllAfterItsExactCodes) {
  std::set<RawOp> closed;
  for (const StatusRule& rule : StatusRules()) {
    EXPECT_EQ(closed.count(rule.step), 0u) << rule.meaning << " is shadowed by a catch-all";
    if (rule.code == kAnyOtherCode) closed.insert(rule.step);
  }
  EXPECT_EQ(closed.size(), std::size(kAllSteps));
  for (RawOp step : kAllSteps) EXPECT_EQ(D2xxStatusOf(step, 2048), FT_OK) << int(step);
}

// libftdi's -1 means something else in every function; a read passes libusb's codes on.
TEST(StatusTableTest, TheSameCodeMeansWhatItsStepSays) {
  EXPECT_EQ(D2xxStatusOf(RawOp::Latency, -1), FT_INVALID_PARAMETER);
  EXPECT_EQ(D2xxStatusOf(RawOp::TransferSize, -1), FT_INSUFFICIENT_RESOURCES);
  EXPECT_EQ(D2xxStatusOf(RawOp::Scan, LIBUSB_ERROR_NOT_FOUND), FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(D2xxStatusOf(RawOp::Open, LIBUSB_ERROR_NOT_FOUND), FT_DEVICE_NOT_OPENED);
}

}  // namespace
}  // namespace tlx::usb
