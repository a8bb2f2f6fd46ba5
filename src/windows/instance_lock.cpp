#include "windows/instance_lock.h"

#include <windows.h>

#include <algorithm>
#include <system_error>

namespace tlx::windows {
namespace {

std::string Describe(DWORD error) {
  return std::system_category().message(static_cast<int>(error));
}

}  // namespace

std::filesystem::path LocalDataFolder() {
  wchar_t folder[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::filesystem::path(folder) / "tambrelux-updater";
}

std::filesystem::path LockFileFor(const std::string& lockName) {
  std::filesystem::path folder = LocalDataFolder();
  std::error_code error;
  if (!folder.empty()) std::filesystem::create_directories(folder, error);
  if (folder.empty() || !std::filesystem::is_directory(folder, error))
    folder = std::filesystem::temp_directory_path(error);
  return folder / (lockName + ".lock");
}

InstanceLock::InstanceLock(std::filesystem::path file) : file_(std::move(file)) {}

InstanceLock::~InstanceLock() {
  if (handle_ != nullptr) CloseHandle(handle_);
}

LockState InstanceLock::Acquire(const std::string& holderName) {
  if (state_ != LockState::NotTried) return state_;
  HANDLE handle = CreateFileW(file_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION) {
      problem_ = Describe(error);
      return state_ = LockState::Unavailable;
    }
    ReadHolder();
    return state_ = LockState::HeldByAnother;
  }
  handle_ = handle;
  // The name is a courtesy for a refused start; the lock holds without it.
  const std::string line = holderName + "\r\n";
  DWORD written = 0;
  SetEndOfFile(handle);
  WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  FlushFileBuffers(handle);
  return state_ = LockState::Held;
}

// The file may hold anything another process of this user wrote: only the first line's
// printable characters are taken, as they go into a message.
void InstanceLock::ReadHolder() {
  HANDLE handle = CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  char text[128];
  DWORD length = 0;
  const bool read = ReadFile(handle, text, sizeof text, &length, nullptr);
  CloseHandle(handle);
  if (!read) return;
  const char* end =
      std::find_if(text, text + length, [](char c) { return c == '\r' || c == '\n'; });
  holder_.assign(static_cast<const char*>(text), end);
  std::erase_if(holder_, [](char c) { return c < 0x20 || c > 0x7E; });
}

}  // namespace tlx::windows
