#include "terminal/json_report.h"

#include <string>

#include "terminal/json_line.h"

namespace tlx::terminal {

JsonReport::JsonReport(std::ostream& out, std::ostream& errors) : out_(out), errors_(errors) {}

JsonReport::JsonReport(std::ostream& out, std::ostream& errors, const ListedBoard& board,
                       std::mutex& lock)
    : out_(out), errors_(errors), board_(&board), lock_(&lock) {}

// The caption only carries the version, which --version tells.
void JsonReport::Caption(const std::string& /*text*/) {}

void JsonReport::Status(Label label, const std::string& text) {
  const char* name = label == Label::StatusText ? "StatusText" : "DeviceName";
  Write(JsonLine({{"event", "status"}, {"label", name}, {"text", text}}, board_));
}

void JsonReport::Progress(int value, int maximum) {
  Write(JsonLine({{"event", "progress"}, {"value", value}, {"maximum", maximum}}, board_));
}

void JsonReport::ProgressHidden() {}

void JsonReport::Message(const std::string& title, const std::string& text) {
  Write(JsonLine({{"event", "message"}, {"title", title}, {"text", text}}, board_),
        title + ": " + text);
}

void JsonReport::Notice(const std::string& text) {
  Write({}, text);
}

void JsonReport::Result(int exitStatus, const std::string& text) {
  Write(JsonLine({{"event", "result"}, {"exit", exitStatus}, {"text", text}}, board_));
}

void JsonReport::Write(const std::string& line, const std::string& errorText) {
  std::unique_lock<std::mutex> lock;
  if (lock_ != nullptr) lock = std::unique_lock(*lock_);
  const std::string prefix = board_ != nullptr ? BoardName(*board_) + ": " : "";
  if (!errorText.empty()) errors_ << prefix << errorText << std::endl;
  if (!line.empty()) out_ << line << std::endl;
}

}  // namespace tlx::terminal
