#include "terminal/text_report.h"

#include <string>

namespace tlx::terminal {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

TextReport::TextReport(std::ostream& out, std::ostream& errors, bool terminal)
    : out_(out), errors_(errors), terminal_(terminal) {}

TextReport::TextReport(std::ostream& out, std::ostream& errors, const ListedBoard& board,
                       std::mutex& lock)
    : out_(out),
      errors_(errors),
      terminal_(false),
      prefix_(BoardName(board) + ": "),
      lock_(&lock) {}

// Among several boards the program says once which it is.
void TextReport::Caption(const std::string& text) {
  if (prefix_.empty()) Line(out_, text);
}

void TextReport::Status(Label /*label*/, const std::string& text) {
  EndBar();
  Line(out_, text);
}

void TextReport::Progress(int value, int maximum) {
  const int percent = value * 100 / maximum;
  if (terminal_) {
    const int filled = value * kBarWidth / maximum;
    out_ << "\r[" << std::string(filled, '#') << std::string(kBarWidth - filled, ' ') << "] "
         << percent << "%" << std::flush;
    barDrawn_ = true;
  } else if (percent != lastPercent_) {
    Line(out_, "Progress: " + std::to_string(percent) + "%");
  }
  lastPercent_ = percent;
}

void TextReport::ProgressHidden() {
  EndBar();
  lastPercent_ = -1;
}

void TextReport::Message(const std::string& title, const std::string& text) {
  EndBar();
  Line(errors_, title + ": " + text);
}

void TextReport::Notice(const std::string& text) {
  EndBar();
  Line(errors_, text);
}

// The status lines and messages have said it all.
void TextReport::Result(int /*exitStatus*/, const std::string& /*text*/) {}

void TextReport::Line(std::ostream& to, const std::string& text) {
  std::unique_lock<std::mutex> lock;
  if (lock_ != nullptr) lock = std::unique_lock(*lock_);
  to << prefix_ << text << std::endl;
}

void TextReport::EndBar() {
  if (!barDrawn_) return;
  out_ << std::endl;
  barDrawn_ = false;
}

}  // namespace tlx::terminal
