#include <grp.h>
#include <link.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <umockdev.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "emulated_bus.h"

namespace tlx::test {
namespace {

namespace fs = std::filesystem;

constexpr char kPreload[] = "libumockdev-preload.so.0";
constexpr unsigned kTimeLimitSeconds = 120;

// Under AddressSanitizer its runtime has to come first, and this process carries the one
// the programs under test were built with.
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

// An unprivileged child must reach the testbed's files, and bind its stand-in for the
// kernel's uevent socket in the root; locked device nodes (mode 0) stay as they are.
void OpenToEveryone(const fs::path& root) {
  fs::permissions(root, fs::perms::all);
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    const fs::perms mode = entry.symlink_status().permissions();
    if (entry.is_symlink() || mode == fs::perms::none) continue;
    fs::permissions(entry.path(),
                    entry.is_directory() ? fs::perms::others_all
                                         : fs::perms::others_read | fs::perms::others_write,
                    fs::perm_options::add);
  }
}

// Runs in the child between fork and exec; a hung child ends with SIGALRM.
void BecomeChild(void* user) {
  if (const passwd* nobody = static_cast<const passwd*>(user))
    if (setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)
      _exit(127);
  alarm(kTimeLimitSeconds);
}

}  // namespace

// Device nodes are plain files, so libusb polls them without pause; a fine timer slack, which
// the umockdev worker and the children inherit, lets polls and the latency timer meet promptly.
EmulatedBus::EmulatedBus() : testbed_((prctl(PR_SET_TIMERSLACK, 1), umockdev_testbed_new())) {}

EmulatedBus::~EmulatedBus() {
  g_object_unref(testbed_);
}

EmulatedBridge& EmulatedBus::Plug(BridgeSpec spec) {
  return bridges_.emplace_back(testbed_, std::move(spec), static_cast<int>(bridges_.size()) + 1);
}

ChildOutcome EmulatedBus::Run(const ChildRun& run) {
  passwd* nobody = run.unprivileged && geteuid() == 0 ? getpwnam("nobody") : nullptr;
  const fs::path runtime = run.workDir / "runtime";
  if (run.unprivileged) {
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    if (nobody != nullptr && chown(runtime.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) return {};
    g_autofree char* root = umockdev_testbed_get_root_dir(testbed_);
    OpenToEveryone(root);
    fs::permissions(run.workDir, fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::add);
  }
  gchar** environment = g_get_environ();
  std::vector<std::string> settings = run.environment;
  settings.push_back("LD_PRELOAD=" + PreloadLibraries());
  if (run.unprivileged)
    settings.insert(settings.end(),
                    {"XDG_RUNTIME_DIR=" + runtime.string(), "HOME=" + runtime.string()});
  for (const std::string& entry : settings) {
    const std::size_t equals = entry.find('=');
    environment = g_environ_setenv(environment, entry.substr(0, equals).c_str(),
                                   entry.c_str() + equals + 1, TRUE);
  }
  std::vector<char*> argv;
  for (const std::string& word : run.command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);

  g_autofree gchar* out = nullptr;
  g_autofree gchar* err = nullptr;
  int status = 0;
  ChildOutcome outcome;
  if (g_spawn_sync(run.workDir.c_str(), argv.data(), environment, G_SPAWN_DEFAULT, &BecomeChild,
                   nobody, &out, &err, &status, nullptr)) {
    outcome = {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
               WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM, out, err};
  }
  g_strfreev(environment);
  return outcome;
}

void ReexecPreloaded(char** argv) {
  const char* preload = std::getenv("LD_PRELOAD");
  if (preload != nullptr && std::strstr(preload, kPreload) != nullptr) return;
  setenv("LD_PRELOAD", PreloadLibraries().c_str(), 1);
  execv("/proc/self/exe", argv);
}

}  // namespace tlx::test
