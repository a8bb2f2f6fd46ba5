#include "terminal/text_report.h"

#include <string>

namespace tlx::terminal {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

TextReport::TextReport(std::ostream& out, std::ostream& errors, bool terminal)
    : out_(out), errors_(errors), terminal_(terminal) {}

void TextReport::Caption(const std::string& text) {
  out_ << text << std::endl;
}

void TextReport::Status(Label /*label*/, const std::string& text) {
  EndBar();
  out_ << text << std::endl;
}

void TextReport::Progress(int value, int maximum) {
  const int percent = value * 100 / maximum;
  if (terminal_) {
    const int filled = value * kBarWidth / maximum;
    out_ << "\r[" << std::string(filled, '#') << std::string(kBarWidth - filled, ' ') << "] "
         << percent << "%" << std::flush;
    barDrawn_ = true;
  } else if (percent != lastPercent_) {
    out_ << "Progress: " << percent << "%" << std::endl;
  }
  lastPercent_ = percent;
}

void TextReport::ProgressHidden() {
  EndBar();
  lastPercent_ = -1;
}

void TextReport::Message(const std::string& title, const std::string& text) {
  EndBar();
  errors_ << title << ": " << text << std::endl;
}

void TextReport::Notice(const std::string& text) {
  EndBar();
  errors_ << text << std::endl;
}

// The status lines and messages have said it all.
void TextReport::Result(int /*exitStatus*/, const std::string& /*text*/) {}

void TextReport::EndBar() {
  if (!barDrawn_) return;
  out_ << std::endl;
  barDrawn_ = false;
}

}  // namespace tlx::terminal
