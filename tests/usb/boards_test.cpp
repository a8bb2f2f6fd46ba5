// tlx-update on an emulated USB bus with eight boards, each over the real libftdi1 and libusb
// with a library context of its own: the third is pulled out during a block write, and the
// other seven are written byte for byte all the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>

#include "emulate/emulated_bus.h"
#include "firmware_files.h"

namespace tlx::test {
namespace {

using namespace emulate;

// The frame of "WF" at a flash address, as the bridge sees it.
bool WritesAt(std::span<const std::uint8_t> bytes, std::uint32_t address) {
  return bytes.size() == 5 && bytes[0] == 'W' &&
         std::uint32_t(bytes[2] << 16 | bytes[3] << 8 | bytes[4]) == address;
}

TEST(BoardsOnTheBus, EightBoardsOneUnpluggedWhileWritingSevenComplete) {
  EmulatedBus bus;
  TempFolder work;
  const std::vector<std::uint8_t> image = WriteFirmware(work / "TLX.fwu", {.version = 0x20});
  std::vector<EmulatedBridge*> boards;
  for (int board = 1; board <= 8; ++board)
    boards.push_back(&bus.Plug({.serial = "LINE-" + std::to_string(board)}));
  boards[2]->UnplugOnWrite([](auto bytes) { return WritesAt(bytes, 2048 + 3 * 1024); });

  const ChildOutcome run =
      bus.Run({{TLX_UPDATE_PROGRAM, "--all", "--yes", "--json"}, work.Path(), {}, true});
  ASSERT_FALSE(run.hung);
  EXPECT_EQ(run.exitCode, 1) << run.err;
  std::vector<nlohmann::json> lines;
  std::istringstream out(run.out);
  for (std::string line; std::getline(out, line);) lines.push_back(nlohmann::json::parse(line));
  ASSERT_FALSE(lines.empty());
  for (std::size_t index = 0; index + 1 < lines.size(); ++index)
    EXPECT_TRUE(lines[index]["board"]["serial"].get<std::string>().starts_with("LINE-"));
  EXPECT_EQ(lines.back()["event"], "summary");
  EXPECT_EQ(lines.back()["complete"], 7);
  EXPECT_EQ(lines.back()["failed"], 1);
  const std::vector<std::uint8_t> written(image.begin() + 8, image.end());
  for (std::size_t board = 0; board < 8; ++board) {
    EXPECT_EQ(std::ranges::equal(boards[board]->Board().Flash(), written), board != 2) << board;
    EXPECT_FALSE(boards[board]->Board().ProtectedRangeUnlocked()) << board;
  }
  EXPECT_NE(run.err.find("port 1-3, serial LINE-3: Update Failure!: Step 2"), std::string::npos)
      << run.err;
}

}  // namespace
}  // namespace tlx::test
