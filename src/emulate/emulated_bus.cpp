#include <grp.h>
#include <link.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <umockdev.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <mutex>
#include <thread>

#include "emulate/emulated_bus.h"
#include "link/device_location.h"

namespace tlx::emulate {
namespace {

namespace fs = std::filesystem;

constexpr char kPreload[] = "libumockdev-preload.so.0";

// The path of the loaded library whose path contains name, or empty.
std::string LoadedLibrary(const char* name) {
  std::pair<const char*, std::string> search{name, {}};
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* data) {
        auto& [wanted, found] = *static_cast<std::pair<const char*, std::string>*>(data);
        if (std::strstr(info->dlpi_name, wanted)) found = info->dlpi_name;
        return 0;
      },
      &search);
  return search.second;
}

// Under AddressSanitizer its runtime has to come first, and this process carries the one
// the programs under test were built with.
std::string PreloadLibraries() {
  const std::string asan = LoadedLibrary("/libasan.so");
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

struct ChildSetup {
  const passwd* user;  // null: this process's own
  unsigned timeLimitSeconds;
};

// Runs in the child between fork and exec; a hung child ends with SIGALRM, and a child whose
// bus went away, as this process ended, with SIGTERM.
void BecomeChild(void* data) {
  const auto& setup = *static_cast<const ChildSetup*>(data);
  if (const passwd* user = setup.user)
    if (setgroups(0, nullptr) != 0 || setgid(user->pw_gid) != 0 || setuid(user->pw_uid) != 0)
      _exit(127);
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  alarm(setup.timeLimitSeconds);
}

// Pulls the bridges out as their times come, until the run ends and the thread is stopped.
std::jthread UnplugOnTime(std::vector<TimedUnplug> due) {
  std::ranges::sort(due, {}, &TimedUnplug::first);
  return std::jthread(
      [due = std::move(due), start = std::chrono::steady_clock::now()](std::stop_token stop) {
        std::mutex mutex;
        std::condition_variable_any wake;
        std::unique_lock lock(mutex);
        for (const auto& [afterStart, bridge] : due) {
          wake.wait_until(lock, stop, start + afterStart, [] { return false; });
          if (stop.stop_requested()) return;
          bridge->Unplug();
        }
      });
}

}  // namespace

// Device nodes are plain files, so libusb polls them without pause; a fine timer slack, which
// the umockdev worker and the children inherit, lets polls and the latency timer meet promptly.
EmulatedBus::EmulatedBus() : testbed_((prctl(PR_SET_TIMERSLACK, 1), umockdev_testbed_new())) {}

EmulatedBus::~EmulatedBus() {
  g_object_unref(testbed_);
}

EmulatedBridge& EmulatedBus::Plug(BridgeSpec spec) {
  const int plugged = static_cast<int>(bridges_.size());
  const UsbPort where{plugged / kMaxLocationPort + 1, plugged % kMaxLocationPort + 1};
  return bridges_.emplace_back(testbed_, std::move(spec), where);
}

void EmulatedBus::UnplugDuringRun(EmulatedBridge& bridge, std::chrono::milliseconds afterStart) {
  timedUnplugs_.emplace_back(afterStart, &bridge);
}

ChildOutcome EmulatedBus::Run(const ChildRun& run) {
  passwd* nobody = run.unprivileged && geteuid() == 0 ? getpwnam("nobody") : nullptr;
  const fs::path runtime = run.workDir / "runtime";
  if (run.unprivileged) {
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    if (nobody != nullptr && chown(runtime.c_str(), nobody->pw_uid, nobody->pw_gid) != 0)
      return {.notStarted = "its runtime folder could not be given to the user nobody"};
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

  const std::jthread unplugger = UnplugOnTime(timedUnplugs_);
  g_autofree gchar* out = nullptr;
  g_autofree gchar* err = nullptr;
  g_autoptr(GError) error = nullptr;
  int status = 0;
  ChildSetup setup{nobody, run.timeLimitSeconds};
  const auto flags = static_cast<GSpawnFlags>(
      G_SPAWN_SEARCH_PATH | (run.attached ? G_SPAWN_CHILD_INHERITS_STDIN : G_SPAWN_DEFAULT));
  ChildOutcome outcome;
  if (g_spawn_sync(run.workDir.c_str(), argv.data(), environment, flags, &BecomeChild, &setup,
                   run.attached ? nullptr : &out, run.attached ? nullptr : &err, &status, &error)) {
    const int signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    outcome = {{},
               WIFEXITED(status) ? WEXITSTATUS(status) : -1,
               signal,
               signal == SIGALRM && run.timeLimitSeconds > 0,
               out ? out : "",
               err ? err : ""};
  } else {
    outcome.notStarted = error->message;
  }
  g_strfreev(environment);
  return outcome;
}

// The dynamic loader only warns about a library it could not preload, so whether it is there
// is asked after the start again.
bool ReexecPreloaded(char** argv) {
  const char* preload = std::getenv("LD_PRELOAD");
  if (preload != nullptr && std::strstr(preload, kPreload) != nullptr)
    return !LoadedLibrary("/libumockdev-preload.so").empty();
  setenv("LD_PRELOAD", PreloadLibraries().c_str(), 1);
  execv("/proc/self/exe", argv);
  return false;
}

}  // namespace tlx::emulate
