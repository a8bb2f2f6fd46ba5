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
}

TEST(StatusTableTest, SuccessesAndByteCountsAreOk) {
  for (RawOp step : kAllSteps) {
    EXPECT_EQ(D2xxStatusOf(step, 0), FT_OK);
    EXPECT_EQ(D2xxStatusOf(step, 2048), FT_OK);
  }
}

struct MappingCase {
  RawOp step;
  int code;
  FT_STATUS status;
};

class StatusMappingTest : public ::testing::TestWithParam<MappingCase> {};

TEST_P(StatusMappingTest, MapsTheCodeOfItsStep) {
  EXPECT_EQ(D2xxStatusOf(GetParam().step, GetParam().code), GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, StatusMappingTest,
    ::testing::Values(MappingCase{RawOp::Scan, LIBUSB_ERROR_NOT_FOUND, FT_DEVICE_NOT_FOUND},
                      MappingCase{RawOp::Scan, LIBUSB_ERROR_OTHER, FT_DEVICE_NOT_FOUND},
                      MappingCase{RawOp::Open, LIBUSB_ERROR_ACCESS, FT_DEVICE_NOT_OPENED},
                      MappingCase{RawOp::Open, -5, FT_DEVICE_NOT_OPENED},
                      MappingCase{RawOp::Latency, -1, FT_INVALID_PARAMETER},
                      MappingCase{RawOp::Latency, -2, FT_IO_ERROR},
                      MappingCase{RawOp::Latency, -3, FT_DEVICE_NOT_OPENED},
                      MappingCase{RawOp::TransferSize, -1, FT_INSUFFICIENT_RESOURCES},
                      MappingCase{RawOp::Write, -1, FT_IO_ERROR},
                      MappingCase{RawOp::Write, -666, FT_DEVICE_NOT_OPENED},
                      // The same -1 from a read is libusb's I/O error, not libftdi's own.
                      MappingCase{RawOp::Read, LIBUSB_ERROR_IO, FT_IO_ERROR},
                      MappingCase{RawOp::Read, LIBUSB_ERROR_TIMEOUT, FT_OK},
                      MappingCase{RawOp::Read, LIBUSB_ERROR_NO_DEVICE, FT_DEVICE_NOT_FOUND},
                      MappingCase{RawOp::Read, LIBUSB_ERROR_PIPE, FT_IO_ERROR},
                      MappingCase{RawOp::Read, -666, FT_DEVICE_NOT_OPENED},
                      MappingCase{RawOp::Purge, -1, FT_IO_ERROR},
                      MappingCase{RawOp::Purge, -3, FT_DEVICE_NOT_OPENED},
                      MappingCase{RawOp::Close, -1, FT_IO_ERROR}),
    [](const auto& info) {
      return "Step" + std::to_string(static_cast<int>(info.param.step)) + "Code" +
             std::to_string(-info.param.code);
    });

}  // namespace
}  // namespace tlx::usb
