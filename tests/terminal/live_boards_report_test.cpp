// Several boards' rows on a terminal narrower than they are: each row is cut to the width the
// terminal has at that redraw, at a character's boundary, so that none wraps; and the redraw
// moves up over exactly the rows drawn before.
#include <gtest/gtest.h>

#include <sstream>
#include <string_view>

#include "terminal/live_boards_report.h"

namespace tlx::terminal {
namespace {

// One redraw as the terminal receives it: how many lines it moves up, then its rows.
struct Redraw {
  int up = 0;
  std::vector<std::string> rows;
};

Redraw ReadRedraw(std::string written) {
  Redraw redraw;
  if (written.starts_with("\x1b[")) {
    const std::size_t end = written.find('A');
    redraw.up = std::stoi(written.substr(2, end - 2));
    written.erase(0, end + 1);
  }
  constexpr std::string_view kRowStart = "\r\x1b[2K";
  std::istringstream lines(written);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_TRUE(line.starts_with(kRowStart)) << line;
    redraw.rows.push_back(line.substr(kRowStart.size()));
  }
  return redraw;
}

TEST(LiveBoardsReport, CutsEachRowToTheTerminalWidthAtACharacterBoundary) {
  struct Case {
    std::size_t columns;
    std::string serial;
    std::string row;
  };
  const Case cases[] = {
      {28, "A1B2C3", "1-4.2  A1B2C3  hw 1.0  fw 1."},
      {12, "Zürich", "1-4.2  Züric"},
      {9, "Zürich", "1-4.2  Zü"},
      {10, "東京", "1-4.2  東"},
      {13, "A\x1b[2J", "1-4.2  A [2J "},
  };
  for (const Case& c : cases) {
    const std::vector<ListedBoard> boards{{1, "1-4.2", c.serial}};
    std::ostringstream out;
    LiveBoardsReport report(out, boards, [&] { return std::optional(c.columns); });
    report.Ready(0, {1, 0}, {1, 2}, {1, 3});
    EXPECT_EQ(ReadRedraw(out.str()).rows, std::vector{c.row}) << c.serial;
  }
}

TEST(LiveBoardsReport, RedrawsAtTheNewWidthOverExactlyTheRowsDrawn) {
  const std::vector<ListedBoard> boards{{1, "1-4.2", "A1B2C3"}, {2, "1-4.3", "D4E5F6"}};
  std::size_t columns = 40;
  std::ostringstream out;
  LiveBoardsReport report(out, boards, [&] { return std::optional(columns); });
  report.Ready(0, {1, 0}, {1, 2}, {1, 3});
  report.Notice("A notice longer than the narrower width");
  out.str("");
  columns = 20;
  report.Board(1).Status(Label::StatusText, "Writing the firmware");
  const Redraw redraw = ReadRedraw(out.str());
  EXPECT_EQ(redraw.up, 3);
  ASSERT_EQ(redraw.rows.size(), 3u);
  for (const std::string& row : redraw.rows) EXPECT_EQ(row.size(), columns) << row;
}

}  // namespace
}  // namespace tlx::terminal
