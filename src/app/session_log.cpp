#include "app/session_log.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "digest/sha256.h"

namespace tlx {
namespace {

std::string Now() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %z", &local);
  return text;
}

std::string Version(VersionPair version) {
  return std::to_string(version.Major) + "." + std::to_string(version.Minor);
}

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*x", digits, value);
  return text;
}

const char* PassName(PassKind kind) {
  return kind == PassKind::Write ? "write" : "read-back";
}

}  // namespace

std::filesystem::path DefaultSessionLogFile() {
  std::filesystem::path state;
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg != nullptr && xdg[0] == '/') {
    state = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    state = std::filesystem::path(home) / ".local" / "state";
  } else {
    return {};
  }
  return state / "tambrelux-updater" / "updater.log";
}

SessionLog::SessionLog(std::filesystem::path file, std::ostream& warnings)
    : file_(std::make_shared<SessionLogFile>(std::move(file), warnings)) {}

SessionLog::SessionLog(std::shared_ptr<SessionLogFile> file) : file_(std::move(file)) {}

SessionLog::~SessionLog() {
  End();
}

void SessionLog::Begin(const std::string& program) {
  lines_.clear();
  result_.clear();
  open_ = true;
  Add("== " + Now() + "  " + program + board_);
}

void SessionLog::NameBoard(const std::string& port, const std::string& serial) {
  board_ = "  board at " + port + ", serial " + (serial.empty() ? "none" : serial);
}

void SessionLog::Board(VersionPair hardware, VersionPair firmware) {
  Add("board: hardware " + Version(hardware) + ", firmware " + Version(firmware));
}

void SessionLog::Firmware(const std::string& path, std::span<const std::uint8_t> bytesRead,
                          VersionPair image) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  Add("firmware file: " + (error ? path : absolute.string()));
  Add("  sha256 of its first " + std::to_string(bytesRead.size()) +
      " bytes: " + Sha256Hex(bytesRead));
  Add("image version: " + Version(image));
}

void SessionLog::RegionPassEnded(const RegionPassRecord& pass) {
  std::string line = std::string(pass.step) + " " + PassName(pass.kind) + ": " +
                     std::to_string(pass.blocks) + (pass.blocks == 1 ? " block, " : " blocks, ") +
                     std::to_string(pass.failedAttempts) + " failed attempts, " +
                     std::to_string(pass.elapsed.count()) + " ms";
  if (pass.failureFlag != 0) line += ", ended with " + std::to_string(pass.failureFlag);
  Add(line);
}

void SessionLog::ReadBackDiffered(const ReadBackDifference& difference) {
  Add("  read-back differs first at flash address " + Hex(difference.firstFlashByte / 2, 4) +
      " (flash byte " + std::to_string(difference.firstFlashByte) + "): expected " +
      Hex(difference.expected, 2) + ", read " + Hex(difference.read, 2) + "; " +
      std::to_string(difference.differingBytes) + " of " + std::to_string(difference.regionBytes) +
      " bytes of the region differ");
}

void SessionLog::Result(const std::string& text) {
  result_ = text;
}

void SessionLog::WindowClosed() {
  if (open_ && result_.empty()) result_ = "the window was closed; nothing was written";
}

void SessionLog::End() {
  if (!open_) return;
  open_ = false;
  std::string block;
  for (const std::string& line : lines_) block += line + "\n";
  block += "result: " + (result_.empty() ? std::string("none") : result_) + "\n";
  lines_.clear();
  file_->Append(block);
}

void SessionLog::Add(std::string line) {
  if (open_) lines_.push_back(std::move(line));
}

}  // namespace tlx
