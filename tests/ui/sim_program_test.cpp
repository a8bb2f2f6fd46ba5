// The real tambrelux-updater-sim program, run by its autopilot on the offscreen platform:
// exit codes, the flash it leaves, the messages it prints and the screenshots it takes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "firmware_file.h"

namespace tlx::ui {
namespace {

struct Outcome {
  int exitCode = -1;
  QString output;
  QByteArray flash;
};

class SimProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString offscreen =
        QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms/libqoffscreen.so";
    if (!QFile::exists(offscreen))
      GTEST_SKIP() << "Qt's offscreen platform plugin is missing (" << offscreen.toStdString()
                   << "); the program cannot run without a display.";
    ASSERT_TRUE(work.isValid() && runtime.isValid());
    ASSERT_TRUE(test::WriteFwu(work.filePath("TLX.fwu"), image));
  }

  Outcome Start(QStringList arguments, bool withDisplay = true) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    if (withDisplay) environment.insert("QT_QPA_PLATFORM", "offscreen");
    // Each run has its own instance lock, so runs in parallel do not refuse each other.
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(work.path());
    program.start(TLX_SIM_PROGRAM, arguments);
    EXPECT_TRUE(program.waitForFinished(180000)) << "the program did not end";
    Outcome run;
    run.exitCode = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    run.output = QString::fromLocal8Bit(program.readAllStandardOutput());
    QFile dump(work.filePath("flash.bin"));
    if (dump.open(QIODevice::ReadOnly)) run.flash = dump.readAll();
    return run;
  }

  Outcome Autopilot(QStringList arguments) {
    arguments << "--autopilot"
              << "--pace"
              << "instant"
              << "--dump-flash"
              << "flash.bin";
    return Start(arguments);
  }

  bool FlashHoldsPayload(const QByteArray& flash, int from, int to) const {
    if (flash.size() != 65536) return false;
    for (int offset = from; offset < to; ++offset)
      if (static_cast<std::uint8_t>(flash[offset]) != image[8 + static_cast<std::size_t>(offset)])
        return false;
    return true;
  }

  QTemporaryDir work;
  QTemporaryDir runtime;
  std::vector<std::uint8_t> image = test::MakeImage(0x13);
};

TEST_F(SimProgramTest, BoardOnFirmware11GetsAllFourRegions) {
  const Outcome run = Autopilot({"--firmware", "1.1"});
  EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
  EXPECT_FALSE(run.output.contains("message:")) << run.output.toStdString();
  EXPECT_TRUE(FlashHoldsPayload(run.flash, 0, 65536));
}

TEST_F(SimProgramTest, BoardOnFirmware12KeepsItsProtectedRange) {
  const Outcome run = Autopilot({"--firmware", "1.2"});
  EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
  // Flash addresses 1,024 to 2,047 are written only for boards on firmware 1.1 or older.
  EXPECT_TRUE(FlashHoldsPayload(run.flash, 0, 2048));
  EXPECT_TRUE(FlashHoldsPayload(run.flash, 4096, 65536));
}

TEST_F(SimProgramTest, StuckByteInTheLastRegionEndsInAVerifyFailure) {
  const Outcome run = Autopilot({"--stuck-byte", "40000"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.output.contains(
      "message: Verify Failure! | Step 1 - Device verify error!  Data is corrupted!  "
      "Re-try update!\n"))
      << run.output.toStdString();
}

TEST_F(SimProgramTest, ScreenshotsFollowTheStatesAndTheMessages) {
  const Outcome success = Autopilot({"--screenshots", "shots"});
  EXPECT_EQ(success.exitCode, 0);
  EXPECT_EQ(QDir(work.filePath("shots")).entryList(QDir::Files),
            (QStringList{"01-idle.png", "02-ready.png", "03-flashing.png", "04-complete.png",
                         "05-idle.png"}));
  const Outcome failure = Autopilot({"--stuck-byte", "100", "--screenshots", "failure"});
  EXPECT_EQ(failure.exitCode, 1);
  EXPECT_TRUE(QDir(work.filePath("failure"))
                  .entryList(QDir::Files)
                  .contains("04-message-verify-failure.png"));
}

TEST_F(SimProgramTest, HelpNeedsNoDisplayAndMistakesAreRefused) {
  const Outcome help = Start({"--help"}, false);
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.output.contains("--stuck-byte OFFSET"));
  const Outcome mistake = Start({"--pace", "fast"}, false);
  EXPECT_EQ(mistake.exitCode, 2);
}

}  // namespace
}  // namespace tlx::ui
