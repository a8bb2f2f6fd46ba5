#include "ui/instance_lock.h"

#include <QDir>
#include <QStandardPaths>

namespace tlx::ui {

InstanceLock::InstanceLock(const QString& directory, const QString& name)
    : file_(QDir(directory).filePath(name + ".lock")) {
  // An updater may run for many minutes: only a dead owner makes the lock stale, never age.
  file_.setStaleLockTime(0);
}

bool InstanceLock::Acquire() {
  return file_.isLocked() || file_.tryLock(0);
}

QString InstanceLock::RuntimeDirectory() {
  QString directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (directory.isEmpty()) directory = QDir::tempPath();
  QDir().mkpath(directory);
  return directory;
}

}  // namespace tlx::ui
