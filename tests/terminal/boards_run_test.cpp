// Several simulated boards updated in one run: each board's outcome is what it would have been
// alone; one board's fault or unplug changes no other's.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "firmware_files.h"
#include "process/posix_process_services.h"
#include "sim/simulated_board.h"
#include "terminal/boards_run.h"
#include "terminal/json_boards_report.h"

namespace tlx::terminal {
namespace {

using nlohmann::json;

struct BoardSetup {
  sim::BoardConfig config{};
  int unplugAt = 0;
  std::uint32_t stuckByte = 0;  // 0: none
};

// Each listed board is a simulated board of its own.
class SimulatedBoards : public BoardConnector {
 public:
  explicit SimulatedBoards(const std::vector<BoardSetup>& setups) {
    for (const BoardSetup& setup : setups) {
      auto board = std::make_shared<sim::SimulatedBoard>(setup.config);
      if (setup.unplugAt > 0) board->Faults().UnplugAt(setup.unplugAt);
      if (setup.stuckByte > 0) board->Faults().StickByte(setup.stuckByte);
      boards.push_back(board);
      const std::string number = std::to_string(boards.size());
      listed.push_back(
          {0x01000000u | static_cast<DWORD>(boards.size()) << 20, "1-" + number, "TLX" + number});
    }
  }
  std::shared_ptr<D2xx> Connect(const ListedBoard& board) override {
    const auto& simulated = boards.at(std::stoul(board.serial.substr(3)) - 1);
    return {simulated, &simulated->Port()};
  }

  std::vector<std::shared_ptr<sim::SimulatedBoard>> boards;
  std::vector<ListedBoard> listed;
};

class BoardsRunTest : public ::testing::Test {
 protected:
  struct Run {
    int status = -1;
    std::vector<json> lines;
  };

  Run RunBoards(SimulatedBoards& boards, bool skipCurrent = false) {
    std::ostringstream out, errors;
    JsonBoardsReport report(out, errors, boards.listed);
    process::PosixProcessServices process(work / "run.lock", errors);
    CloseRequests closeRequests;
    BoardsRun run(boards.listed, boards, process,
                  std::make_shared<SessionLogFile>(work / "updater.log", errors), report,
                  closeRequests,
                  {.file = (work / "TLX.fwu").string(), .yes = true, .skipCurrent = skipCurrent});
    Run result{run.Run(), {}};
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) result.lines.push_back(json::parse(line));
    return result;
  }

  test::TempFolder work;
  std::vector<std::uint8_t> image = test::WriteFirmware(work / "TLX.fwu", {.version = 0x13});
};

// Together and alone, each board ends with the same result line and the same flash, its
// protected range locked again. Call 25 falls in the block writes of step 1.
TEST_F(BoardsRunTest, EachBoardEndsAsItWouldAlone) {
  const std::vector<BoardSetup> setups{
      {},
      {.unplugAt = 7},
      {.unplugAt = 25},
      {.stuckByte = 40000},
      {.config = {0x00, 0x11}},
      {.unplugAt = 120},
      {.config = {0x21, 0x12}},
  };
  SimulatedBoards together(setups);
  const Run all = RunBoards(together);
  EXPECT_EQ(all.status, 1);
  for (std::size_t index = 0; index < setups.size(); ++index) {
    SimulatedBoards alone({setups[index]});
    const Run one = RunBoards(alone);
    const auto resultOf = [](const Run& run, const std::string& port) {
      for (json line : run.lines)
        if (line["event"] == "result" && line["board"]["port"] == port)
          return line.erase("seconds"), line;
      return json();
    };
    json expected = resultOf(one, "1-1");
    expected["board"] = {{"port", "1-" + std::to_string(index + 1)},
                         {"serial", "TLX" + std::to_string(index + 1)}};
    EXPECT_EQ(resultOf(all, expected["board"]["port"]), expected) << index;
    EXPECT_TRUE(std::ranges::equal(together.boards[index]->Flash(), alone.boards[0]->Flash()))
        << index;
    EXPECT_FALSE(together.boards[index]->ProtectedRangeUnlocked()) << index;
  }
}

// With --skip-current, a board on the file's version (here 1.12) is left as it is, and its
// result says so with the version as the summary writes it.
TEST_F(BoardsRunTest, SkipsABoardAlreadyOnTheFilesVersion) {
  test::WriteFirmware(work / "TLX.fwu", {.version = 0x1C});
  SimulatedBoards boards({{.config = {0x21, 0x1C}}, {}});
  const std::vector<std::uint8_t> before(boards.boards[0]->Flash().begin(),
                                         boards.boards[0]->Flash().end());
  const Run run = RunBoards(boards, true);
  EXPECT_EQ(run.status, 0);
  const auto result = std::ranges::find(run.lines, json("1-1"), [](const json& line) {
    return line["event"] == "result" ? line["board"]["port"] : json();
  });
  ASSERT_NE(result, run.lines.end());
  EXPECT_EQ((*result)["text"], "Already current: firmware 1.12 is the file's; not written");
  EXPECT_TRUE(std::ranges::equal(boards.boards[0]->Flash(), before));
}

}  // namespace
}  // namespace tlx::terminal
