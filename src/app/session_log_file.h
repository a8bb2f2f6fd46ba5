// The session log's file, which several sessions of one program may share (one per board on
// a production line, each on its own thread): each appends its block whole, never interleaved
// with another's, and a file that cannot be written is reported once for all of them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <ostream>
#include <string>

namespace tlx {

// The log is kept below this size; the file before it is kept beside it with ".1" added.
inline constexpr std::uintmax_t kSessionLogLimit = 1024 * 1024;

class SessionLogFile {
 public:
  // An empty path keeps no log.
  SessionLogFile(std::filesystem::path file, std::ostream& warnings);
  SessionLogFile(const SessionLogFile&) = delete;
  SessionLogFile& operator=(const SessionLogFile&) = delete;

  void Append(const std::string& block);

 private:
  void Warn(const std::string& why);

  std::mutex mutex_;
  std::filesystem::path file_;
  std::ostream& warnings_;
  bool warned_ = false;
};

}  // namespace tlx
