// The text form of scripted faults: the parts of a good text, and the sentence for a bad one.
// What each kind arms is pinned down by the call sequences of the fault plan's tests.
#include "sim/fault_spec.h"

#include <gtest/gtest.h>

namespace tlx::sim {
namespace {

TEST(FaultTextTest, ReadsTheBytesTheCallAndTheCount) {
  const ScriptedFault fault = std::get<ScriptedFault>(ParseFaultSpec("partial-write:7@120x2"));
  EXPECT_EQ(fault.call, D2xxCall::Write);
  EXPECT_EQ(fault.kind, FaultKind::PartialWrite);
  EXPECT_EQ(fault.bytesPassed, 7u);
  EXPECT_EQ(fault.fromCall, 120);
  EXPECT_EQ(fault.first, 1);
  EXPECT_EQ(fault.count, 2);
}

class BadFaultText : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

// One sentence, and it says what is wrong.
TEST_P(BadFaultText, IsRefusedWithOneSentence) {
  const auto parsed = ParseFaultSpec(GetParam().first);
  ASSERT_TRUE(std::holds_alternative<FaultSpecError>(parsed));
  const std::string& sentence = std::get<FaultSpecError>(parsed).sentence;
  EXPECT_TRUE(sentence.starts_with(GetParam().second)) << sentence;
  EXPECT_EQ(sentence.find('.'), sentence.size() - 1) << sentence;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BadFaultText,
    ::testing::Values(
        std::pair{"write-error", "\"write-error\" names no call: write a fault as KIND@CALL"},
        std::pair{"jam@3", "\"jam\" is not a fault kind; the kinds are write-error, partial"},
        std::pair{"write-error@0", "The call in \"write-error@0\" must be a whole number from 1"},
        std::pair{"read-error@9999999999", "The call in \"read-error@9999999999\" must be"},
        std::pair{"no-data@5x", "The count in \"no-data@5x\" must be a whole number from 1"},
        std::pair{"partial-write@5", "partial-write needs the bytes it passes as partial-write:K"},
        std::pair{"no-data:3@5", "no-data takes no \":K\""},
        std::pair{"unplug@5x2", "unplug takes no count"}));

}  // namespace
}  // namespace tlx::sim
