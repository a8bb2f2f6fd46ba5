#include "terminal/json_report.h"

#include <nlohmann/json.hpp>

#include <string>

namespace tlx::terminal {
namespace {

// Texts pass through as they are (UTF-8 included); a byte that is not UTF-8 becomes U+FFFD
// rather than ending the program.
void Emit(std::ostream& out, const nlohmann::ordered_json& line) {
  out << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
}

}  // namespace

JsonReport::JsonReport(std::ostream& out, std::ostream& errors) : out_(out), errors_(errors) {}

// The caption only carries the version, which --version tells.
void JsonReport::Caption(const std::string& /*text*/) {}

void JsonReport::Status(Label label, const std::string& text) {
  const char* name = label == Label::StatusText ? "StatusText" : "DeviceName";
  Emit(out_, {{"event", "status"}, {"label", name}, {"text", text}});
}

void JsonReport::Progress(int value, int maximum) {
  Emit(out_, {{"event", "progress"}, {"value", value}, {"maximum", maximum}});
}

void JsonReport::ProgressHidden() {}

void JsonReport::Message(const std::string& title, const std::string& text) {
  errors_ << title << ": " << text << std::endl;
  Emit(out_, {{"event", "message"}, {"title", title}, {"text", text}});
}

void JsonReport::Notice(const std::string& text) {
  errors_ << text << std::endl;
}

void JsonReport::Result(int exitStatus, const std::string& text) {
  Emit(out_, {{"event", "result"}, {"exit", exitStatus}, {"text", text}});
}

}  // namespace tlx::terminal
