// One instance at a time: a live holder refuses others, a holder that died releases the lock.
#include "ui/instance_lock.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>

namespace tlx::ui {
namespace {

// A process that takes the lock and keeps it until it is killed without any clean-up, as a
// crashed updater would; it answers whether it got the lock before it waits.
pid_t LockHolder(const QString& folder, char& answer) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    InstanceLock lock(folder, "updater");
    const char got = lock.Acquire() ? 'y' : 'n';
    if (write(ready[1], &got, 1) != 1) _exit(1);
    for (;;) pause();
  }
  close(ready[1]);
  if (read(ready[0], &answer, 1) != 1) answer = 0;
  close(ready[0]);
  return child;
}

TEST(InstanceLockTest, AnotherRunningProcessHoldsTheLockAndACrashReleasesIt) {
  QTemporaryDir folder;
  char answer = 0;
  const pid_t holder = LockHolder(folder.path(), answer);
  ASSERT_GT(holder, 0);
  EXPECT_EQ(answer, 'y');
  InstanceLock mine(folder.path(), "updater");
  EXPECT_FALSE(mine.Acquire());
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  EXPECT_TRUE(QFileInfo::exists(folder.filePath("updater.lock")));
  EXPECT_TRUE(mine.Acquire());
}

}  // namespace
}  // namespace tlx::ui
