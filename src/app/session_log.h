// A record of every update session for support, appended to one file that both update
// programs share: when, which program, which board, which firmware file (path and SHA-256),
// each region pass with its blocks, failed attempts and time, what a failed read-back found,
// and how the session ended. Writing it never stops or slows an update: a log that cannot be
// written is reported once on the warnings stream and then left alone.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "common/version_pair.h"
#include "flash/update_journal.h"

namespace tlx {

// The log is kept below this size; the file before it is kept beside it with ".1" added.
inline constexpr std::uintmax_t kSessionLogLimit = 1024 * 1024;

class SessionLog : public UpdateJournal {
 public:
  // An empty path keeps no log.
  SessionLog(std::filesystem::path file, std::ostream& warnings);
  // A session still open when the program ends is written as it stands.
  ~SessionLog() override;
  SessionLog(const SessionLog&) = delete;
  SessionLog& operator=(const SessionLog&) = delete;

  // Starts a block for a session of the program (name and version), dropping one not ended.
  void Begin(const std::string& program);
  void Board(VersionPair hardware, VersionPair firmware);
  // bytesRead: what was read from the file, all of it for a file of the container's size.
  void Firmware(const std::string& path, std::span<const std::uint8_t> bytesRead,
                VersionPair image);
  // How the session ended, as the user was told; the last one given counts.
  void Result(const std::string& text);
  // The window went away: the session's outcome unless the user is told another.
  void WindowClosed();
  // Appends the block, if one was begun.
  void End();

  void RegionPassEnded(const RegionPassRecord& pass) override;
  void ReadBackDiffered(const ReadBackDifference& difference) override;

 private:
  void Add(std::string line);
  void Append(const std::string& block);
  void Warn(const std::string& why);

  std::filesystem::path file_;
  std::ostream& warnings_;
  bool warned_ = false;
  bool open_ = false;
  std::vector<std::string> lines_;
  std::string result_;
};

}  // namespace tlx
