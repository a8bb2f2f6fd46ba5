#include "terminal/json_report.h"

#include <cstdio>
#include <string>

namespace tlx::terminal {
namespace {

// Texts pass through as they are (UTF-8 included); quotes, backslashes and control
// characters are escaped.
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      quoted += escaped;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

}  // namespace

JsonReport::JsonReport(std::ostream& out, std::ostream& errors) : out_(out), errors_(errors) {}

// The caption only carries the version, which --version tells.
void JsonReport::Caption(const std::string& /*text*/) {}

void JsonReport::Status(Label label, const std::string& text) {
  const char* name = label == Label::StatusText ? "StatusText" : "DeviceName";
  out_ << R"({"event":"status","label":")" << name << R"(","text":)" << Quoted(text) << "}"
       << std::endl;
}

void JsonReport::Progress(int value, int maximum) {
  out_ << R"({"event":"progress","value":)" << value << R"(,"maximum":)" << maximum << "}"
       << std::endl;
}

void JsonReport::ProgressHidden() {}

void JsonReport::Message(const std::string& title, const std::string& text) {
  errors_ << title << ": " << text << std::endl;
  out_ << R"({"event":"message","title":)" << Quoted(title) << R"(,"text":)" << Quoted(text) << "}"
       << std::endl;
}

void JsonReport::Notice(const std::string& text) {
  errors_ << text << std::endl;
}

void JsonReport::Result(int exitStatus, const std::string& text) {
  out_ << R"({"event":"result","exit":)" << exitStatus << R"(,"text":)" << Quoted(text) << "}"
       << std::endl;
}

}  // namespace tlx::terminal
