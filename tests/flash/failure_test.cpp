// Every way an update can fail, as the user sees it (title, text, FailureFlag), and the retry
// budget behind it, counted on the wire: 50 failed attempts per loop call, shared by its
// blocks and by the read-back comparison, fresh per call.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "flash_rig.h"

namespace tlx::test {
namespace {

using sim::D2xxCall;
using sim::kEveryLaterCall;

// On a board running firmware 1.1 the blocks go 8 (Step 2), 1 (Step 3), 2 (Step 4), 24
// (Step 1): 35 each way. A good "WF" is two write calls, a good "RF" one frame write.
constexpr int kBlocks = 35;

FaultSetup Fault(D2xxCall call, const char* tag, int first, int count = kEveryLaterCall,
                 sim::FaultKind kind = sim::FaultKind::FailStatus) {
  return [=](sim::FaultPlan& faults) {
    faults.Add({.call = call, .first = first, .count = count, .kind = kind, .tag = tag});
  };
}

// A failed frame write of "WF" or "RF", from the given call among those with the tag on.
FaultSetup Fail(const char* tag, int firstCall, int count = kEveryLaterCall) {
  return Fault(D2xxCall::Write, tag, firstCall, count);
}

FaultSetup Stick(std::uint32_t flashByte) {
  return [=](sim::FaultPlan& faults) { faults.StickByte(flashByte); };
}

FaultSetup Both(FaultSetup first, FaultSetup second) {
  return [=](sim::FaultPlan& faults) {
    first(faults);
    second(faults);
  };
}

// The board stays silent on a status query; the query before the update is the first.
FaultSetup SilentStatusQuery(int query) {
  return Fault(D2xxCall::Read, "SI", query, kEveryLaterCall, sim::FaultKind::NoData);
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

constexpr char kUpdate[] = "Update Failure!";
constexpr char kVerify[] = "Verify Failure!";
constexpr char kBootloader[] = "Bootloader Failure!";

INSTANTIATE_TEST_SUITE_P(
    Rows, FailureTable,
    ::testing::Values(
        FailureCase{"Step2Write", Fail("WF", 1), kUpdate, Communication("Step 2"), -2},
        FailureCase{"Step2ReadBack", Fail("RF", 1), kUpdate, Communication("Step 2"), -2},
        FailureCase{"Step2Verify", Stick(5000), kVerify, Verify("Step 2"), -1},
        FailureCase{"Step3Write", Fail("WF", 17), kUpdate, Communication("Step 3", kDoNotPowerOff),
                    -2},
        FailureCase{"Step3ReadBack", Fail("RF", 9), kUpdate,
                    Communication("Step 3", kDoNotPowerOff), -2},
        FailureCase{"Step3Verify", Stick(100), kVerify, Verify("Step 3", kDoNotPowerOff), -1},
        FailureCase{"StatusAfterFirstEX", SilentStatusQuery(2), kBootloader, kBootloaderText, -2},
        FailureCase{"StatusAfterSecondEX", SilentStatusQuery(3), kBootloader, kBootloaderText, -2},
        FailureCase{"OpeningEXWrite", Fault(D2xxCall::Write, "EX", 1, 1), kBootloader,
                    kBootloaderText, -2},
        FailureCase{"ClosingEXWrite", Fault(D2xxCall::Write, "EX", 2, 1), kBootloader,
                    kBootloaderText, -2},
        FailureCase{"Step4Write", Fail("WF", 19), kUpdate, Communication("Step 4"), -2},
        FailureCase{"Step4ReadBack", Fail("RF", 10), kUpdate, Communication("Step 4"), -2},
        FailureCase{"Step4Verify", Stick(3000), kVerify, Verify("Step 4"), -1},
        FailureCase{"Step1Write", Fail("WF", 23), kUpdate, Communication("Step 1"), -2},
        FailureCase{"Step1ReadBack", Fail("RF", 12), kUpdate, Communication("Step 1"), -2},
        FailureCase{"Step1Verify", Stick(60000), kVerify, Verify("Step 1"), -1}),
    [](const auto& info) { return info.param.name; });

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
    EXPECT_EQ(rig.window.messages[0].text, Communication("Step 2"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RetryBudget,
    ::testing::Values(
        // One pass over the first block's purge, then 50 attempts each followed by events.
        BudgetCase{"EveryWriteFails", Fail("WF", 1), 50, 0, 1 + 50, -2},
        // Failed reads are retried at once, without events in between.
        BudgetCase{"EveryReadFails", Fault(D2xxCall::Read, "RF", 1), 8, 50, 8 + 1, -2},
        BudgetCase{"FortyNineWriteFailuresLeaveOneAttempt", Fail("WF", 1, 49), kBlocks + 49,
                   kBlocks, 2 * kBlocks + 49, 0},
        BudgetCase{"TheLastAttemptIsSharedWithTheNextBlock",
                   Both(Fail("WF", 1, 49), Fail("WF", 52, 1)), 51, 0, 1 + 49 + 1 + 1, -2},
        BudgetCase{"TheReadBackStartsWithAFreshBudget", Both(Fail("WF", 1, 49), Fail("RF", 1, 49)),
                   kBlocks + 49, kBlocks + 49, 2 * kBlocks + 49, 0},
        BudgetCase{"EachRegionStartsWithAFreshBudget",
                   Both(Fail("WF", 1, 49), Fail("WF", 49 + 16 + 1, 49)), kBlocks + 98, kBlocks,
                   2 * kBlocks + 98, 0}),
    [](const auto& info) { return info.param.name; });

TEST(ReadBackComparison, AStuckByteBeyondTheFirstSixteenKilobytesFailsStep1) {
  FlashRig rig(Stick(40000 - kHeaderBytes));
  rig.engine.FlashDevice();

  EXPECT_EQ(rig.failureFlag, -1);
  ASSERT_EQ(rig.window.messages.size(), 1u);
  EXPECT_EQ(rig.window.messages[0].text, Verify("Step 1"));
  // The whole region is read once and then again after each of 49 differences.
  EXPECT_EQ(rig.Sent("RF 31744"), 50);
}

TEST(ReadBackComparison, ATransientFlipIsCuredByReadingTheRegionAgain) {
  FlashRig rig(Fault(D2xxCall::Read, "RF", 3, 1, sim::FaultKind::BitFlip));
  rig.engine.FlashDevice();

  EXPECT_EQ(rig.failureFlag, 0);
  EXPECT_TRUE(rig.window.messages.empty());
  EXPECT_EQ(rig.Sent("RF"), kBlocks + 8);
  // Events once per block, and once after the difference before the region is read again.
  EXPECT_EQ(rig.window.doEventsCount, 2 * kBlocks + 8 + 1);
  EXPECT_TRUE(rig.FlashHoldsImage({0, 65536}));
}

TEST(ReadBackComparison, DifferencesDrawOnTheBudgetThatFailedReadsLeft) {
  FlashRig rig(Both(Fail("RF", 1, 49), Stick(5000)));
  rig.engine.FlashDevice();

  EXPECT_EQ(rig.failureFlag, -1);
  EXPECT_EQ(rig.Sent("RF"), 49 + 8);
}

TEST(AfterAFailure, NoOtherRegionIsWrittenWhenTheFirstFails) {
  FlashRig rig(Fail("WF", 7));
  rig.engine.FlashDevice();

  ASSERT_EQ(rig.failureFlag, -2);
  EXPECT_TRUE(rig.FlashAsBefore({0, kStep2Bytes.first}));
  EXPECT_TRUE(rig.FlashAsBefore({kStep2Bytes.end, 65536}));
  EXPECT_EQ(rig.Sent("RF"), 0);
}

struct BracketCase {
  std::string name;
  FaultSetup faults;
  std::vector<std::string> lastOnTheWire;
  bool unlockedAtTheEnd;
  friend void PrintTo(const BracketCase& c, std::ostream* os) { *os << c.name; }
};

class BracketFailure : public ::testing::TestWithParam<BracketCase> {};

TEST_P(BracketFailure, NothingFollowsAndNothingOutsideTheWrittenRegionsChanges) {
  FlashRig rig(GetParam().faults);
  rig.engine.FlashDevice();

  const std::vector<std::string> wire = rig.Wire();
  const std::vector<std::string>& last = GetParam().lastOnTheWire;
  ASSERT_GE(wire.size(), last.size());
  EXPECT_EQ(
      std::vector<std::string>(wire.end() - static_cast<std::ptrdiff_t>(last.size()), wire.end()),
      last);
  EXPECT_TRUE(rig.FlashAsBefore({kStep2Bytes.end, 65536}));
  EXPECT_EQ(rig.board.ProtectedRangeUnlocked(), GetParam().unlockedAtTheEnd);
}

INSTANTIATE_TEST_SUITE_P(Cases, BracketFailure,
                         ::testing::Values(BracketCase{"SilentStatusAfterTheOpeningEX",
                                                       SilentStatusQuery(2),
                                                       {"EX 1998", "purge", "SI"},
                                                       true},
                                           BracketCase{"OpeningEXWriteFails",
                                                       Fault(D2xxCall::Write, "EX", 1, 1),
                                                       {"RF 0", "EX 1998"},
                                                       false},
                                           BracketCase{"ClosingEXWriteFails",
                                                       Fault(D2xxCall::Write, "EX", 2, 1),
                                                       {"RF 2048", "purge", "EX 1068"},
                                                       true}),
                         [](const auto& info) { return info.param.name; });

// A retry goes out at once: a purge in between would not help a board that already took part
// of the frame, and the wire order is what the board was built for.
TEST(AfterAFailedAttempt, TheSameBlockGoesOutAgainWithoutAPurge) {
  FlashRig rig(Fail("WF", 1, 1));
  rig.engine.FlashDevice();

  const std::vector<std::string> wire = rig.Wire();
  ASSERT_GE(wire.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(wire.begin(), wire.begin() + 6),
            (std::vector<std::string>{"purge", "purge", "WF 2048", "WF 2048", "purge", "WF 3072"}));
}

struct CutCase {
  std::string name;
  int wfWrite;  // the "WF" write that is cut: 23 and 24 are Step 1's first frame and its data
  std::uint32_t bytesPassed;
  std::vector<std::uint8_t> leftovers;  // image bytes planted where a cut block's leftovers begin
  std::int16_t failureFlag;
  bool strayIntoStep2;  // the leftovers programmed Step 2's first block, already read back
  friend void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }
};

class CutWriteInStep1 : public ::testing::TestWithParam<CutCase> {};

// The retry goes out without a purge, so the bootloader takes the retry's own frame as the
// rest of the cut one and parses what is left over as commands. Step 1's first block is
// also Step 2's seventh, so it already holds the image when Step 1 rewrites it.
TEST_P(CutWriteInStep1, CompletesOnlyOverTheRightFlash) {
  const CutCase& c = GetParam();
  FlashRig rig([&](sim::FaultPlan& faults) {
    faults.Add({.call = D2xxCall::Write,
                .first = c.wfWrite,
                .kind = sim::FaultKind::PartialWrite,
                .tag = "WF",
                .bytesPassed = c.bytesPassed});
  });
  const std::size_t step1Data = 16392;
  std::ranges::copy(c.leftovers, rig.image.begin() + step1Data + 2043 - c.bytesPassed);
  rig.original = rig.image;
  rig.engine.FlashDevice();

  EXPECT_EQ(rig.failureFlag, c.failureFlag);
  if (rig.failureFlag == 0) {
    EXPECT_TRUE(rig.window.messages.empty());
    EXPECT_TRUE(rig.FlashHoldsImage({0, 65536}));
    EXPECT_FALSE(rig.board.ProtectedRangeUnlocked());
  } else {
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.window.messages[0].text, Verify("Step 1"));
  }
  EXPECT_EQ(!rig.FlashHoldsImage({4096, 6144}), c.strayIntoStep2);
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, CutWriteInStep1,
    ::testing::Values(
        CutCase{"DataCut", 24, 1000, {}, -1, false},
        CutCase{"DataCutLeavingAWFIntoStep2", 24, 600, {'W', 'F', 0, 0x08, 0}, -1, true},
        CutCase{"DataCutLeavingAnUnlockingEX", 24, 600, {'E', 'X', 0x07, 0xCE}, -1, false},
        CutCase{"FrameCutAfterItsTag", 23, 2, {}, 0, false},
        CutCase{"FrameCutAfterThreeBytes", 23, 3, {}, 0, false},
        CutCase{"FrameCutAfterFourBytes", 23, 4, {}, -1, false},
        CutCase{"FrameCutOfABlockNotYetWritten", 27, 2, {}, -1, false}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tlx::test
