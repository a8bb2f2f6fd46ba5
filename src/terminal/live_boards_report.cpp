#include "terminal/live_boards_report.h"

#include <utility>

#include "terminal/screen_columns.h"

namespace tlx::terminal {
namespace {

constexpr auto kProgressRedraw = std::chrono::milliseconds(100);
constexpr std::size_t kUsualColumns = 80;
constexpr int kBarWidth = 20;

// One board's session as its row sees it.
class RowReport : public UpdateReport {
 public:
  RowReport(LiveBoardsReport& rows, std::size_t index) : rows_(rows), index_(index) {}

  void Caption(const std::string& /*text*/) override {}
  void Status(Label label, const std::string& text) override {
    if (label != Label::StatusText) return;
    rows_.Change(index_, false, [&](LiveBoardsReport::Row& row) { row.step = text; });
  }
  void Progress(int value, int maximum) override {
    rows_.Change(index_, true,
                 [&](LiveBoardsReport::Row& row) { row.percent = value * 100 / maximum; });
  }
  void ProgressHidden() override {
    rows_.Change(index_, false, [](LiveBoardsReport::Row& row) { row.percent = -1; });
  }
  void Message(const std::string& title, const std::string& text) override {
    rows_.Change(index_, false,
                 [&](LiveBoardsReport::Row& row) { row.result = title + ": " + text; });
  }
  void Notice(const std::string& text) override {
    rows_.Change(index_, false, [&](LiveBoardsReport::Row& row) { row.result = text; });
  }
  void Result(int /*exitStatus*/, const std::string& /*text*/) override {}

 private:
  LiveBoardsReport& rows_;
  std::size_t index_;
};

std::string Bar(int percent) {
  const int filled = percent * kBarWidth / 100;
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "[" + std::string at -O2.
  std::string bar = "[";
  bar.append(filled, '#').append(kBarWidth - filled, ' ').append("] ");
  return bar + std::to_string(percent) + "%";
}

}  // namespace

LiveBoardsReport::LiveBoardsReport(std::ostream& out, const std::vector<ListedBoard>& boards,
                                   Columns columns)
    : out_(out), boards_(boards), columns_(std::move(columns)), rows_(boards.size()) {
  for (std::size_t index = 0; index < boards.size(); ++index)
    reports_.push_back(std::make_unique<RowReport>(*this, index));
}

LiveBoardsReport::~LiveBoardsReport() = default;

UpdateReport& LiveBoardsReport::Board(std::size_t index) {
  return *reports_.at(index);
}

void LiveBoardsReport::Ready(std::size_t index, VersionPair hardware, VersionPair firmware,
                             VersionPair image) {
  Change(index, false, [&](Row& row) {
    row.versions = "hw " + VersionText(hardware) + "  fw " + VersionText(firmware) + " -> " +
                   VersionText(image);
  });
}

void LiveBoardsReport::Pause() {
  const std::lock_guard lock(lock_);
  drawn_ = 0;
}

void LiveBoardsReport::Result(std::size_t index, const BoardResult& result) {
  Change(index, false, [&](Row& row) {
    row.percent = -1;
    row.result = result.text;
  });
}

void LiveBoardsReport::Notice(const std::string& text) {
  const std::lock_guard lock(lock_);
  notice_ = text;
  Redraw();
}

void LiveBoardsReport::Summary(const std::vector<BoardResult>& results, int /*exitStatus*/) {
  const std::lock_guard lock(lock_);
  Redraw();
  out_ << "\n" << SummaryTable(results) << TotalLine(results) << std::endl;
}

void LiveBoardsReport::Change(std::size_t index, bool progressOnly,
                              const std::function<void(Row&)>& change) {
  const std::lock_guard lock(lock_);
  change(rows_.at(index));
  const auto now = std::chrono::steady_clock::now();
  if (progressOnly && drawn_ > 0 && now - lastDrawn_ < kProgressRedraw) return;
  lastDrawn_ = now;
  Redraw();
}

// Moves back over the rows drawn last, then writes each row over its old self.
void LiveBoardsReport::Redraw() {
  if (drawn_ > 0) out_ << "\x1b[" << drawn_ << "A";
  const std::size_t columns = columns_().value_or(kUsualColumns);
  std::vector<std::string> lines;
  for (std::size_t index = 0; index < rows_.size(); ++index) {
    const Row& row = rows_[index];
    std::string line =
        boards_[index].port + "  " + SerialText(boards_[index]) + "  " + row.versions + "  ";
    if (!row.result.empty()) {
      line += row.result;
    } else {
      line += row.step;
      if (row.percent >= 0) line += "  " + Bar(row.percent);
    }
    lines.push_back(CutToColumns(line, columns));
  }
  if (!notice_.empty()) lines.push_back(CutToColumns(notice_, columns));
  for (const std::string& line : lines) out_ << "\r\x1b[2K" << line << "\n";
  out_ << std::flush;
  drawn_ = lines.size();
}

}  // namespace tlx::terminal
