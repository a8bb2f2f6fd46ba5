#include "app/session_log_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace tlx {

SessionLogFile::SessionLogFile(std::filesystem::path file, std::ostream& warnings)
    : file_(std::move(file)), warnings_(warnings) {}

// The older file is kept once, so the log never grows past twice the limit on disk.
void SessionLogFile::Append(const std::string& block) {
  if (file_.empty()) return;
  const std::lock_guard lock(mutex_);
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

void SessionLogFile::Warn(const std::string& why) {
  if (warned_) return;
  warned_ = true;
  warnings_ << "warning: the session log " << file_.string() << " cannot be written (" << why
            << "); updates go on without it.\n";
}

}  // namespace tlx
