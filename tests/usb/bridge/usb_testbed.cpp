#include "usb_testbed.h"

#include <sys/prctl.h>
#include <umockdev.h>

#include <filesystem>

namespace tlx::test {
namespace {

// Device nodes are plain files, so libusb polls them without pause; a fine timer slack
// lets the latency timer and the pollers meet promptly.
UMockdevTestbed* NewTestbed() {
  prctl(PR_SET_TIMERSLACK, 1);
  return umockdev_testbed_new();
}

void OpenToEveryone(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  // The preload library binds its stand-in for the kernel's uevent socket in the root.
  fs::permissions(root, fs::perms::all);
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_symlink()) continue;
    const auto others = entry.is_directory() ? fs::perms::others_read | fs::perms::others_exec
                                             : fs::perms::others_read | fs::perms::others_write;
    fs::permissions(entry.path(), others, fs::perm_options::add);
  }
}

}  // namespace

void UsbTestbed::Unref::operator()(void* object) const {
  g_object_unref(object);
}

UsbTestbed::UsbTestbed() : testbed_(NewTestbed()) {}

EmulatedBridge& UsbTestbed::Plug(BridgeSpec spec) {
  return bridges_.emplace_back(testbed_.get(), std::move(spec),
                               static_cast<int>(bridges_.size()) + 1);
}

ChildOutcome UsbTestbed::Run(const ChildRun& run) {
  if (run.unprivileged) {
    g_autofree char* root = umockdev_testbed_get_root_dir(testbed_.get());
    OpenToEveryone(root);
    for (EmulatedBridge& bridge : bridges_)
      if (bridge.Locked()) bridge.LockNode();
    std::filesystem::permissions(
        run.workDir, std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
        std::filesystem::perm_options::add);
  }
  return RunPreloaded(run);
}

}  // namespace tlx::test
