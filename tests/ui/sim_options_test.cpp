// The simulator's command line: defaults, each option's range, and the sentence for a
// mistake.
#include "ui/sim_options.h"

#include <gtest/gtest.h>

namespace tlx::ui {
namespace {

std::variant<SimOptions, OptionsError> Parse(const QString& line) {
  return ParseSimOptions(QString("tambrelux-updater-sim " + line).split(' ', Qt::SkipEmptyParts));
}

TEST(SimOptionsTest, DefaultsRunAllFourRegionsAtARealisticPace) {
  const SimOptions options = std::get<SimOptions>(Parse(""));
  EXPECT_EQ(options.board.hardwareByte, 0x21);
  EXPECT_EQ(options.board.firmwareByte, 0x11);
  EXPECT_EQ(options.pace, sim::Pace::Realistic);
  EXPECT_FALSE(options.faultRate || options.stuckByte || options.unplugAt);
  EXPECT_FALSE(options.autopilot || options.help);
  EXPECT_TRUE(options.dumpFlash.isEmpty() && options.trace.isEmpty() &&
              options.screenshots.isEmpty());
}

TEST(SimOptionsTest, ReadsEveryOption) {
  const SimOptions options = std::get<SimOptions>(
      Parse("--hardware 15.0 --firmware=1.12 --pace instant --seed 42 --fault-rate 0.25 "
            "--stuck-byte 0xFFFF --unplug-at 30 --fault write-error@7 --fault no-data@9x2 "
            "--dump-flash flash.bin --trace calls.jsonl "
            "--autopilot --screenshots shots --help"));
  EXPECT_EQ(options.board.hardwareByte, 0xF0);
  EXPECT_EQ(options.board.firmwareByte, 0x1C);
  EXPECT_EQ(options.pace, sim::Pace::Instant);
  EXPECT_EQ(options.seed, 42u);
  EXPECT_EQ(options.faultRate, 0.25);
  EXPECT_EQ(options.stuckByte, 65535u);
  EXPECT_EQ(options.unplugAt, 30);
  ASSERT_EQ(options.faults.size(), 2u);
  EXPECT_EQ(options.faults[1].kind, sim::FaultKind::NoData);
  EXPECT_EQ(options.dumpFlash, "flash.bin");
  EXPECT_EQ(options.trace, "calls.jsonl");
  EXPECT_TRUE(options.autopilot && options.help);
  EXPECT_EQ(options.screenshots, "shots");
}

struct Mistake {
  const char* name;
  QString line;
  QString says;
};

class SimOptionsMistakeTest : public ::testing::TestWithParam<Mistake> {};

TEST_P(SimOptionsMistakeTest, IsRefusedWithOneSentence) {
  const auto result = Parse(GetParam().line);
  ASSERT_TRUE(std::holds_alternative<OptionsError>(result));
  const QString message = std::get<OptionsError>(result).message;
  EXPECT_TRUE(message.contains(GetParam().says)) << message.toStdString();
  EXPECT_TRUE(message.endsWith('.')) << message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, SimOptionsMistakeTest,
    ::testing::Values(
        Mistake{"HardwareMajorTooHigh", "--hardware 16.0", "--hardware takes a version X.Y"},
        Mistake{"FirmwareWithoutMinor", "--firmware 1", "--firmware takes a version X.Y"},
        Mistake{"FirmwareOfThreeParts", "--firmware 1.1.1", "not \"1.1.1\""},
        Mistake{"UnknownPace", "--pace fast", "--pace takes instant or realistic"},
        Mistake{"NegativeSeed", "--seed -1", "--seed takes a whole number"},
        Mistake{"RateAboveOne", "--fault-rate 1.5", "--fault-rate takes a probability"},
        Mistake{"RateInWords", "--fault-rate often", "--fault-rate takes a probability"},
        Mistake{"StuckBytePastTheFlash", "--stuck-byte 65536", "from 0 to 65535"},
        Mistake{"UnplugAtZero", "--unplug-at 0", "--unplug-at takes a whole number from 1"},
        Mistake{"UnknownFault", "--fault jam@3", "--fault: \"jam\" is not a fault kind"},
        Mistake{"UnknownOption", "--colour", "colour"},
        Mistake{"TraceWithoutFile", "--trace", "trace"},
        Mistake{"FileWithoutOption", "TLX.fwu", "Unexpected argument \"TLX.fwu\""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tlx::ui
