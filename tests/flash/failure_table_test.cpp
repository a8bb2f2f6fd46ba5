// Every way an update can fail, as the user sees it (title, text, FailureFlag), and what the
// board is left with: nothing after the failing step is touched.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

#include "flash_rig.h"

namespace tlx::test {
namespace {

using sim::D2xxCall;
using sim::FaultKind;
using sim::kEveryLaterCall;

constexpr char kUpdate[] = "Update Failure!";
constexpr char kVerify[] = "Verify Failure!";
constexpr char kBootloader[] = "Bootloader Failure!";

// On a board running firmware 1.1 the blocks go 8 (Step 2), 1 (Step 3), 2 (Step 4), 24
// (Step 1); a good "WF" is two write calls, a good "RF" one frame write.
FaultSetup FailFrom(const char* tag, int firstCall) {
  return [=](sim::FaultPlan& faults) {
    faults.Add({.call = D2xxCall::Write, .first = firstCall, .count = kEveryLaterCall, .tag = tag});
  };
}

FaultSetup Stick(std::uint32_t flashByte) {
  return [=](sim::FaultPlan& faults) { faults.StickByte(flashByte); };
}

// The board stays silent on a status query; the query before the update is the first.
FaultSetup SilentStatusQuery(int query) {
  return [=](sim::FaultPlan& faults) {
    faults.Add({.call = D2xxCall::Read,
                .first = query,
                .count = kEveryLaterCall,
                .kind = FaultKind::NoData,
                .tag = "SI"});
  };
}

struct FailureCase {
  std::string name;
  FaultSetup faults;
  const char* title;
  std::string text;
  std::int16_t failureFlag;
  friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

class FailureTable : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailureTable, ShowsOneMessageAndLeavesTheFlag) {
  FlashRig rig(GetParam().faults);
  rig.engine.FlashDevice();

  ASSERT_EQ(rig.window.messages.size(), 1u);
  EXPECT_EQ(rig.window.messages[0].title, GetParam().title);
  EXPECT_EQ(rig.window.messages[0].text, GetParam().text);
  EXPECT_EQ(rig.window.messages[0].style, 0);
  EXPECT_EQ(rig.failureFlag, GetParam().failureFlag);
}

const std::string kDoNotPowerOff = "** DO NOT POWER OFF BOARD!! **  ";

std::string Communication(const std::string& step, const std::string& warning = "") {
  return step + " - Device communication error - Corruption possible!  " + warning +
         "Re-try update!";
}

std::string Verify(const std::string& step, const std::string& warning = "") {
  return step + " - Device verify error!  Data is corrupted!  " + warning + "Re-try update!";
}

const std::string kBootloaderText = "Step 4 - Device communication error!  Data is corrupted!  " +
                                    kDoNotPowerOff + "Re-try update!";

INSTANTIATE_TEST_SUITE_P(
    Rows, FailureTable,
    ::testing::Values(
        FailureCase{"Step2Write", FailFrom("WF", 1), kUpdate, Communication("Step 2"), -2},
        FailureCase{"Step2ReadBack", FailFrom("RF", 1), kUpdate, Communication("Step 2"), -2},
        FailureCase{"Step2Verify", Stick(5000), kVerify, Verify("Step 2"), -1},
        FailureCase{"Step3Write", FailFrom("WF", 17), kUpdate,
                    Communication("Step 3", kDoNotPowerOff), -2},
        FailureCase{"Step3ReadBack", FailFrom("RF", 9), kUpdate,
                    Communication("Step 3", kDoNotPowerOff), -2},
        FailureCase{"Step3Verify", Stick(100), kVerify, Verify("Step 3", kDoNotPowerOff), -1},
        FailureCase{"StatusAfterFirstEX", SilentStatusQuery(2), kBootloader, kBootloaderText, -2},
        FailureCase{"StatusAfterSecondEX", SilentStatusQuery(3), kBootloader, kBootloaderText, -2},
        FailureCase{"Step4Write", FailFrom("WF", 19), kUpdate, Communication("Step 4"), -2},
        FailureCase{"Step4ReadBack", FailFrom("RF", 10), kUpdate, Communication("Step 4"), -2},
        FailureCase{"Step4Verify", Stick(3000), kVerify, Verify("Step 4"), -1},
        FailureCase{"Step1Write", FailFrom("WF", 23), kUpdate, Communication("Step 1"), -2},
        FailureCase{"Step1ReadBack", FailFrom("RF", 12), kUpdate, Communication("Step 1"), -2},
        FailureCase{"Step1Verify", Stick(60000), kVerify, Verify("Step 1"), -1}),
    [](const auto& info) { return info.param.name; });

bool FlashAsBefore(const FlashRig& rig, ByteRange range) {
  const auto flash = rig.board.Flash();
  return std::equal(flash.begin() + range.first, flash.begin() + range.end,
                    rig.flashBefore.begin() + range.first);
}

TEST(AfterAFailure, NoOtherRegionIsWrittenWhenTheFirstFails) {
  FlashRig rig(FailFrom("WF", 7));
  rig.engine.FlashDevice();

  ASSERT_EQ(rig.failureFlag, -2);
  EXPECT_TRUE(FlashAsBefore(rig, {0, kStep2Bytes.first}));
  EXPECT_TRUE(FlashAsBefore(rig, {kStep2Bytes.end, 65536}));
  EXPECT_EQ(rig.Sent("RF"), 0);
}

TEST(AfterAFailure, NothingFollowsASilentStatusQueryAfterTheFirstEX) {
  FlashRig rig(SilentStatusQuery(2));
  rig.engine.FlashDevice();

  const std::vector<std::string> wire = rig.Wire();
  ASSERT_GE(wire.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(wire.end() - 3, wire.end()),
            (std::vector<std::string>{"EX 1998", "purge", "SI"}));
  EXPECT_TRUE(FlashAsBefore(rig, kStep4OnlyBytes));
  EXPECT_TRUE(FlashAsBefore(rig, {kStep2Bytes.end, 65536}));
}

}  // namespace
}  // namespace tlx::test
