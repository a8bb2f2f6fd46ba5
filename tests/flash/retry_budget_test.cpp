// The retry budget of the block loops and the read-back comparison, counted on the wire: 50
// failed attempts per loop call, shared by its blocks and by the comparison, fresh per call.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "flash_rig.h"

namespace tlx::test {
namespace {

using sim::D2xxCall;
using sim::FaultKind;
using sim::kEveryLaterCall;

constexpr char kStep2Communication[] =
    "Step 2 - Device communication error - Corruption possible!  Re-try update!";

// A board running firmware 1.1 takes 35 blocks each way.
constexpr int kBlocks = 35;

struct BudgetCase {
  std::string name;
  FaultSetup faults;
  int writes;  // "WF" sent, failed attempts included
  int reads;   // "RF" sent
  int doEvents;
  std::int16_t failureFlag;
  friend void PrintTo(const BudgetCase& c, std::ostream* os) { *os << c.name; }
};

class RetryBudget : public ::testing::TestWithParam<BudgetCase> {};

TEST_P(RetryBudget, SpendsExactlyTheBudgetAndProcessesEventsWhereDue) {
  FlashRig rig(GetParam().faults);
  rig.engine.FlashDevice();

  EXPECT_EQ(rig.Sent("WF"), GetParam().writes);
  EXPECT_EQ(rig.Sent("RF"), GetParam().reads);
  EXPECT_EQ(rig.window.doEventsCount, GetParam().doEvents);
  EXPECT_EQ(rig.failureFlag, GetParam().failureFlag);
  if (GetParam().failureFlag != 0) {
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.window.messages[0].text, kStep2Communication);
  }
}

// Each failed "WF" frame is one call; a good block writes its frame and then its data.
void FailWrites(sim::FaultPlan& faults, const char* tag, int first, int count) {
  faults.Add({.call = D2xxCall::Write, .first = first, .count = count, .tag = tag});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RetryBudget,
    ::testing::Values(
        // One pass over the first block's purge, then 50 attempts each followed by events.
        BudgetCase{"EveryWriteFails",
                   [](sim::FaultPlan& f) { FailWrites(f, "WF", 1, kEveryLaterCall); }, 50, 0,
                   1 + 50, -2},
        // Failed reads are retried at once, without events in between.
        BudgetCase{
            "EveryReadFails",
            [](sim::FaultPlan& f) {
              f.Add({.call = D2xxCall::Read, .first = 1, .count = kEveryLaterCall, .tag = "RF"});
            },
            8, 50, 8 + 1, -2},
        BudgetCase{"FortyNineWriteFailuresLeaveOneAttempt",
                   [](sim::FaultPlan& f) { FailWrites(f, "WF", 1, 49); }, kBlocks + 49, kBlocks,
                   2 * kBlocks + 49, 0},
        BudgetCase{"TheLastAttemptIsSharedWithTheNextBlock",
                   [](sim::FaultPlan& f) {
                     FailWrites(f, "WF", 1, 49);
                     FailWrites(f, "WF", 52, 1);
                   },
                   51, 0, 1 + 49 + 1 + 1, -2},
        BudgetCase{"TheReadBackStartsWithAFreshBudget",
                   [](sim::FaultPlan& f) {
                     FailWrites(f, "WF", 1, 49);
                     FailWrites(f, "RF", 1, 49);
                   },
                   kBlocks + 49, kBlocks + 49, 2 * kBlocks + 49, 0},
        BudgetCase{"EachRegionStartsWithAFreshBudget",
                   [](sim::FaultPlan& f) {
                     FailWrites(f, "WF", 1, 49);
                     FailWrites(f, "WF", 49 + 16 + 1, 49);
                   },
                   kBlocks + 98, kBlocks, 2 * kBlocks + 98, 0}),
    [](const auto& info) { return info.param.name; });

TEST(ReadBackComparison, AStuckByteBeyondTheFirstSixteenKilobytesFailsStep1) {
  FlashRig rig;
  rig.board.Faults().StickByte(40000 - kHeaderBytes);
  rig.engine.FlashDevice();

  EXPECT_EQ(rig.failureFlag, -1);
  ASSERT_EQ(rig.window.messages.size(), 1u);
  EXPECT_EQ(rig.window.messages[0].title, "Verify Failure!");
  EXPECT_EQ(rig.window.messages[0].text,
            "Step 1 - Device verify error!  Data is corrupted!  Re-try update!");
  // The whole region is read once and then again after each of 49 differences.
  EXPECT_EQ(rig.Sent("RF 31744"), 50);
}

TEST(ReadBackComparison, ATransientFlipIsCuredByReadingTheRegionAgain) {
  FlashRig rig;
  rig.board.Faults().Add(
      {.call = D2xxCall::Read, .first = 3, .count = 1, .kind = FaultKind::BitFlip, .tag = "RF"});
  rig.engine.FlashDevice();

  EXPECT_EQ(rig.failureFlag, 0);
  EXPECT_TRUE(rig.window.messages.empty());
  EXPECT_EQ(rig.Sent("RF"), kBlocks + 8);
  EXPECT_EQ(rig.image, rig.original);
  EXPECT_TRUE(rig.FlashHoldsImage(0, 65536));
}

TEST(ReadBackComparison, DifferencesDrawOnTheBudgetThatFailedReadsLeft) {
  FlashRig rig;
  rig.board.Faults().Add({.call = D2xxCall::Write, .first = 1, .count = 49, .tag = "RF"});
  rig.board.Faults().StickByte(5000);
  rig.engine.FlashDevice();

  EXPECT_EQ(rig.failureFlag, -1);
  EXPECT_EQ(rig.Sent("RF"), 49 + 8);
}

}  // namespace
}  // namespace tlx::test
