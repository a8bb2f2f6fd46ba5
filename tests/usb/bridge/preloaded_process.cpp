#include "preloaded_process.h"

#include <fcntl.h>
#include <grp.h>
#include <link.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace tlx::test {
namespace {

constexpr char kPreload[] = "libumockdev-preload.so.0";
constexpr auto kTimeLimit = std::chrono::minutes(2);

std::string PreloadLibraries() {
  std::string asan;
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* found) {
        if (std::strstr(info->dlpi_name, "/libasan.so"))
          *static_cast<std::string*>(found) = info->dlpi_name;
        return 0;
      },
      &asan);
  return asan.empty() ? kPreload : asan + ":" + kPreload;
}

std::vector<std::string> Environment(const ChildRun& run, const std::string& runtime) {
  std::vector<std::string> result;
  auto overridden = [&](const std::string& entry) {
    const std::string name = entry.substr(0, entry.find('=') + 1);
    for (const std::string& given : run.environment)
      if (given.starts_with(name)) return true;
    return name == "LD_PRELOAD=" || name == "XDG_RUNTIME_DIR=" || name == "HOME=";
  };
  for (char** entry = environ; *entry != nullptr; ++entry)
    if (!overridden(*entry)) result.emplace_back(*entry);
  result.insert(result.end(), run.environment.begin(), run.environment.end());
  result.push_back("LD_PRELOAD=" + PreloadLibraries());
  result.push_back("XDG_RUNTIME_DIR=" + runtime);
  result.push_back("HOME=" + runtime);
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& text : strings) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

std::string ReadAll(int fd) {
  std::string text;
  char chunk[4096];
  for (ssize_t n; (n = pread(fd, chunk, sizeof chunk, static_cast<off_t>(text.size()))) > 0;)
    text.append(chunk, static_cast<std::size_t>(n));
  close(fd);
  return text;
}

}  // namespace

ChildOutcome RunPreloaded(const ChildRun& run) {
  const passwd* nobody = getpwnam("nobody");
  const bool drop = run.unprivileged && geteuid() == 0 && nobody != nullptr;
  const std::filesystem::path runtime = run.workDir / "runtime";
  std::filesystem::create_directories(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  if (drop && chown(runtime.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) return {};
  std::vector<std::string> command = run.command;
  std::vector<std::string> environment = Environment(run, runtime);
  const std::vector<char*> argv = Pointers(command);
  const std::vector<char*> envp = Pointers(environment);
  const int out = open(run.workDir.c_str(), O_TMPFILE | O_RDWR, 0600);
  const int err = open(run.workDir.c_str(), O_TMPFILE | O_RDWR, 0600);

  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    if (chdir(run.workDir.c_str()) != 0) _exit(126);
    if (drop &&
        (setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0))
      _exit(126);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  ChildOutcome outcome;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      outcome.hung = true;
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(status) && !outcome.hung) outcome.exitCode = WEXITSTATUS(status);
  outcome.out = ReadAll(out);
  outcome.err = ReadAll(err);
  return outcome;
}

void ReexecPreloaded(char** argv) {
  const char* preload = std::getenv("LD_PRELOAD");
  if (preload != nullptr && std::strstr(preload, kPreload) != nullptr) return;
  setenv("LD_PRELOAD", PreloadLibraries().c_str(), 1);
  execv("/proc/self/exe", argv);
}

}  // namespace tlx::test
