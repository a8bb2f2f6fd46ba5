// One instance at a time: a live holder refuses others, a holder that died releases the lock.
#include "ui/instance_lock.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>

#include "ui/qt_process_services.h"

namespace tlx::ui {
namespace {

class InstanceLockTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.isValid()); }

  // A process that takes the lock and keeps it until it is killed without any clean-up,
  // as a crashed updater would.
  pid_t HolderProcess() {
    int ready[2];
    EXPECT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
      InstanceLock lock(folder.path(), "updater");
      const char answer = lock.Acquire() ? 'y' : 'n';
      if (write(ready[1], &answer, 1) != 1) _exit(1);
      for (;;) pause();
    }
    close(ready[1]);
    char answer = 0;
    EXPECT_EQ(read(ready[0], &answer, 1), 1);
    close(ready[0]);
    EXPECT_EQ(answer, 'y');
    return child;
  }

  QTemporaryDir folder;
};

TEST_F(InstanceLockTest, AnotherRunningProcessHoldsTheLockAndACrashReleasesIt) {
  const pid_t holder = HolderProcess();
  InstanceLock mine(folder.path(), "updater");
  EXPECT_FALSE(mine.Acquire());
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  EXPECT_TRUE(QFileInfo::exists(folder.filePath("updater.lock")));
  EXPECT_TRUE(mine.Acquire());
}

TEST(ProcessServicesTest, NameDirectoryAndVersionComeFromTheExecutableAndTheBuild) {
  QTemporaryDir folder;
  QtProcessServices process(folder.path());
  EXPECT_EQ(process.ExeName(), "ui_tests");
  EXPECT_EQ(QString::fromStdString(process.ProgramPath()), QCoreApplication::applicationDirPath());
  EXPECT_EQ(process.VersionMajor(), 1);
  EXPECT_EQ(process.VersionMinor(), 3);
}

}  // namespace
}  // namespace tlx::ui
