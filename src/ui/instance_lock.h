// One running instance per user: a lock file in the user's runtime directory, held for the
// life of the process. A lock left behind by a process that died is taken over, so a crash
// never locks the user out.
#pragma once

#include <QLockFile>
#include <QString>

namespace tlx::ui {

class InstanceLock {
 public:
  // The lock file is name + ".lock" in directory.
  InstanceLock(const QString& directory, const QString& name);

  // True when this process holds the lock (now or from an earlier call).
  bool Acquire();

  // The user's runtime directory, created when missing.
  static QString RuntimeDirectory();

 private:
  QLockFile file_;
};

}  // namespace tlx::ui
