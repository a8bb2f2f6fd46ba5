#include "app/session_log.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "digest/sha256.h"

namespace tlx {
namespace {

// In UTC, so the time reads the same on every system and needs nothing of the platform.
std::string Now() {
  using namespace std::chrono;
  const auto now = floor<seconds>(system_clock::now());
  const auto today = floor<days>(now);
  const year_month_day date{today};
  const hh_mm_ss time{now - today};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d UTC",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()));
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

SessionLog::SessionLog(std::filesystem::path file, std::ostream& warnings)
    : file_(std::move(file)), warnings_(warnings) {}

SessionLog::~SessionLog() {
  End();
}

void SessionLog::Begin(const std::string& program) {
  lines_.clear();
  result_.clear();
  open_ = true;
  Add("== " + Now() + "  " + program);
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
  if (!file_.empty()) Append(block);
}

void SessionLog::Add(std::string line) {
  if (open_) lines_.push_back(std::move(line));
}

// The older file is kept once, so the log never grows past twice the limit on disk.
void SessionLog::Append(const std::string& block) {
  std::error_code error;
  std::filesystem::create_directories(file_.parent_path(), error);
  if (error) return Warn(error.message());
  const std::uintmax_t size = std::filesystem::file_size(file_, error);
  if (!error && size + block.size() >= kSessionLogLimit) {
    std::filesystem::rename(file_, file_.string() + ".1", error);
    if (error) return Warn(error.message());
  }
  std::ofstream out(file_, std::ios::app | std::ios::binary);
  out << block;
  out.flush();
  if (!out) Warn(std::strerror(errno));
}

void SessionLog::Warn(const std::string& why) {
  if (warned_) return;
  warned_ = true;
  warnings_ << "warning: the session log " << file_.string() << " cannot be written (" << why
            << "); updates go on without it.\n";
}

}  // namespace tlx
