// The real programs, unmodified, on the emulated bus: each runs as a child under umockdev's
// preload library, as an unprivileged user, finds the bridge through sysfs and drives it
// through usbdevfs exactly as on a machine with the board plugged in.
#include <gtest/gtest.h>

#include <algorithm>

#include "emulate/emulated_bus.h"
#include "firmware_files.h"

namespace tlx::test {
namespace {

using namespace emulate;

// A program under test: how it runs an unattended update, and how it reports.
struct Program {
  const char* name;
  std::vector<std::string> command;
  std::vector<std::string> environment;
  std::string (*shows)(const std::string& title, const std::string& text);
  bool messagesOnStderr;
  int exitCodes[3];  // by Ending
  std::vector<std::string> screenshotsOfACleanRun;
};

const Program kWindowProgram{
    "Window",
    {TLX_UPDATER_PROGRAM, "--autopilot", "--screenshots", "runtime/shots"},
    {"QT_QPA_PLATFORM=offscreen"},
    [](const std::string& title, const std::string& text) {
      return "message: " + title + " | " + text + "\n";
    },
    false,
    {0, 1, 1},
    {"01-idle.png", "02-ready.png", "03-flashing.png", "04-complete.png", "05-idle.png"}};

const Program kTerminalProgram{
    "Terminal",
    {TLX_UPDATE_PROGRAM, "--yes"},
    {},
    [](const std::string& title, const std::string& text) { return title + ": " + text + "\n"; },
    true,
    {0, 1, 3},
    {}};

enum class Machine {
  Board,
  BoardAndDecoys,
  OnlyDecoys,
  LockedBoard,
  Nothing,
  UnplugWriting,
  UnplugReading
};
enum class Ending { Complete, Failed, Refused };

struct Case {
  const char* name;
  Machine machine;
  std::uint8_t firmware;
  Ending ending;
  std::string title{};
  std::string text{};
  bool replugAndRunAgain = false;
};

void PrintTo(const Program& program, std::ostream* os) {
  *os << program.name;
}
void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

// The frame of one block command: its tag and its 3-byte big-endian flash address.
std::function<bool(std::span<const std::uint8_t>)> Frame(char first, std::uint32_t address) {
  return [=](std::span<const std::uint8_t> bytes) {
    return bytes.size() == 5 + (first == 'R' ? 2 : 0) && bytes[0] == first &&
           std::uint32_t(bytes[2] << 16 | bytes[3] << 8 | bytes[4]) == address;
  };
}

class ProgramTest : public ::testing::TestWithParam<std::tuple<Program, Case>> {
 protected:
  ChildOutcome Run(const Program& program) {
    return bus_.Run({program.command, work_.Path(), program.environment, true});
  }

  // Boards up to firmware 1.1 take the whole image; later ones keep addresses 1,024 to 2,047.
  std::vector<std::uint8_t> FlashAfterUpdate(std::uint8_t firmware) const {
    std::vector<std::uint8_t> flash(image_.begin() + 8, image_.end());
    if (firmware > 0x11) std::fill(flash.begin() + 2048, flash.begin() + 4096, 0xFF);
    return flash;
  }

  EmulatedBus bus_;
  TempFolder work_;
  std::vector<std::uint8_t> image_ = WriteFirmware(work_ / "TLX.fwu", {.version = 0x20});
};

TEST_P(ProgramTest, EndsAsTheMachineCallsFor) {
  const auto& [program, c] = GetParam();
  EmulatedBridge* board = nullptr;
  if (c.machine != Machine::Nothing && c.machine != Machine::OnlyDecoys)
    board = &bus_.Plug({.firmwareByte = c.firmware});
  if (c.machine == Machine::BoardAndDecoys || c.machine == Machine::OnlyDecoys) {
    bus_.Plug({.product = "Tambrelux Pro II"});
    bus_.Plug({.product = "tambrelux pro"}).LockNode();
    bus_.Plug({.vendorId = 0x1D50});
  }
  if (c.machine == Machine::LockedBoard) board->LockNode();
  if (c.machine == Machine::UnplugWriting) board->UnplugOnWrite(Frame('W', 2048 + 3 * 1024));
  if (c.machine == Machine::UnplugReading) board->UnplugOnWrite(Frame('R', 8192 + 5 * 1024));

  ChildOutcome run = Run(program);
  ASSERT_FALSE(run.hung);
  const std::string& messages = program.messagesOnStderr ? run.err : run.out;
  EXPECT_EQ(run.exitCode, program.exitCodes[static_cast<int>(c.ending)]) << run.out << run.err;
  if (!c.title.empty()) {
    EXPECT_NE(messages.find(program.shows(c.title, c.text)), std::string::npos) << messages;
  }
  EXPECT_EQ(run.err.find("udev rule") != std::string::npos, c.machine == Machine::LockedBoard)
      << run.err;
  if (c.replugAndRunAgain) {
    board->Plug();
    run = Run(program);
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  } else if (c.ending != Ending::Complete) {
    return;
  }
  EXPECT_TRUE(std::ranges::equal(board->Board().Flash(), FlashAfterUpdate(c.firmware)));
  EXPECT_FALSE(board->Board().ProtectedRangeUnlocked());
  EXPECT_TRUE(board->Report().serialDriverBound);
  if (c.ending != Ending::Complete) return;
  std::vector<std::string> screenshots;
  std::error_code none;  // the terminal program takes no screenshots
  for (const auto& file : std::filesystem::directory_iterator(work_ / "runtime" / "shots", none))
    screenshots.push_back(file.path().filename());
  std::ranges::sort(screenshots);
  EXPECT_EQ(screenshots, program.screenshotsOfACleanRun);
}

const std::string kStep2Failure =
    "Step 2 - Device communication error - Corruption possible!  Re-try update!";
const std::string kNotFound = "Tambrelux Pro hardware not found!";

INSTANTIATE_TEST_SUITE_P(
    Machines, ProgramTest,
    ::testing::Combine(
        ::testing::Values(kWindowProgram, kTerminalProgram),
        ::testing::Values(
            Case{"CleanOnFirmware11", Machine::Board, 0x11, Ending::Complete},
            Case{"CleanOnFirmware12", Machine::Board, 0x12, Ending::Complete},
            Case{"DecoysBesideTheBoard", Machine::BoardAndDecoys, 0x11, Ending::Complete},
            Case{"UnplugWhileWriting", Machine::UnplugWriting, 0x11, Ending::Failed,
                 "Update Failure!", kStep2Failure},
            Case{"UnplugWhileReadingBack", Machine::UnplugReading, 0x11, Ending::Failed,
                 "Update Failure!",
                 "Step 1 - Device communication error - Corruption possible!  Re-try update!"},
            Case{"NoUsbDevices", Machine::Nothing, 0x11, Ending::Refused, "USB Error!", kNotFound},
            Case{"OnlyOtherDevices", Machine::OnlyDecoys, 0x11, Ending::Refused, "USB Error!",
                 kNotFound},
            Case{"NodeNotAccessible", Machine::LockedBoard, 0x11, Ending::Refused, "USB Error!",
                 kNotFound},
            Case{"UnplugThenReplugAndRunAgain", Machine::UnplugWriting, 0x12, Ending::Failed,
                 "Update Failure!", kStep2Failure, true})),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
    });

}  // namespace
}  // namespace tlx::test
