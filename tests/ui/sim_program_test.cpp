// The real tambrelux-updater-sim program, run by its autopilot on the offscreen platform:
// exit codes, the flash it leaves, the messages it prints and the screenshots it takes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "firmware_files.h"

namespace tlx::ui {
namespace {

struct Outcome {
  int exitCode = -1;
  QString output;
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
    image = test::WriteFirmware(work.filePath("TLX.fwu").toStdString(), {.version = 0x13});
  }

  Outcome Start(const QStringList& arguments, bool withDisplay = true) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
      environment.remove(name);
    if (withDisplay) environment.insert("QT_QPA_PLATFORM", "offscreen");
    // Each run has its own instance lock, so runs in parallel do not refuse each other.
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(work.path());
    program.start(TLX_SIM_PROGRAM, arguments);
    EXPECT_TRUE(program.waitForFinished(180000)) << "the program did not end";
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromLocal8Bit(program.readAllStandardOutput())};
  }

  Outcome Autopilot(const QStringList& arguments) {
    return Start(arguments + QStringList{"--autopilot", "--pace", "instant", "--dump-flash",
                                         "flash.bin", "--screenshots", "shots"});
  }

  QStringList Screenshots() const { return QDir(work.filePath("shots")).entryList(QDir::Files); }

  bool FlashHoldsPayload(int from, int to) const {
    QFile dump(work.filePath("flash.bin"));
    if (!dump.open(QIODevice::ReadOnly)) return false;
    const QByteArray payload(reinterpret_cast<const char*>(image.data()) + 8 + from, to - from);
    return dump.size() == 65536 && dump.readAll().mid(from, to - from) == payload;
  }

  QTemporaryDir work;
  QTemporaryDir runtime;
  std::vector<std::uint8_t> image;
};

TEST_F(SimProgramTest, BoardOnFirmware11GetsAllFourRegions) {
  const Outcome run = Autopilot({"--firmware", "1.1"});
  EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
  EXPECT_FALSE(run.output.contains("message:")) << run.output.toStdString();
  EXPECT_TRUE(FlashHoldsPayload(0, 65536));
  EXPECT_EQ(Screenshots(), (QStringList{"01-idle.png", "02-ready.png", "03-flashing.png",
                                        "04-complete.png", "05-idle.png"}));
}

TEST_F(SimProgramTest, BoardOnFirmware12KeepsItsProtectedRangeAndAGivenFileIsRead) {
  ASSERT_TRUE(QFile::rename(work.filePath("TLX.fwu"), work.filePath("given.FWU")));
  const Outcome run = Autopilot({"--firmware", "1.2", "given.FWU"});
  EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
  // Flash addresses 1,024 to 2,047 are written only for boards on firmware 1.1 or older.
  EXPECT_TRUE(FlashHoldsPayload(0, 2048));
  EXPECT_TRUE(FlashHoldsPayload(4096, 65536));
}

TEST_F(SimProgramTest, StuckByteInStep1EndsInAVerifyFailure) {
  const Outcome run = Autopilot({"--stuck-byte", "40000"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.output.contains(
      "message: Verify Failure! | Step 1 - Device verify error!  Data is corrupted!  "
      "Re-try update!\n"))
      << run.output.toStdString();
  EXPECT_TRUE(Screenshots().contains("04-message-verify-failure.png"));
}

TEST_F(SimProgramTest, HelpNeedsNoDisplayAndMistakesAreRefused) {
  const Outcome help = Start({"--help"}, false);
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.output.contains("--stuck-byte OFFSET"));
  EXPECT_EQ(Start({"--pace", "fast"}, false).exitCode, 2);
}

}  // namespace
}  // namespace tlx::ui
