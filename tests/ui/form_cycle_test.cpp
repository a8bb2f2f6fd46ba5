// The Qt window driving the window logic against the simulated board: start-up, a whole
// Find, Flash, Ok cycle, close requests during the update, the menu around the check, a
// board lost during the check, and a second instance.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>

#include "app/frm_start.h"
#include "firmware_file.h"
#include "sim/simulated_board.h"
#include "ui/form_host.h"
#include "ui/qt_process_services.h"

namespace tlx::ui {
namespace {

struct Shown {
  std::string title;
  std::string text;
  QMessageBox::Icon icon;
};

class FormCycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(work.isValid() && locks.isValid());
    ASSERT_TRUE(test::WriteFwu(work.filePath("TLX.fwu"), image));
    previousFolder = QDir::currentPath();
    QDir::setCurrent(work.path());
    QObject::connect(&windowSystem, &QtWindowSystem::messageBoxShown, [this](QMessageBox* box) {
      messages.push_back(
          {box->windowTitle().toStdString(), box->text().toStdString(), box->icon()});
      box->accept();
    });
  }

  void TearDown() override { QDir::setCurrent(previousFolder); }

  std::vector<int> VisibleButtons() const {
    std::vector<int> visible;
    for (int index = 0; index < 4; ++index)
      if (window.Button(index)->isVisibleTo(&window)) visible.push_back(index);
    return visible;
  }

  void ExpectIdle() const {
    EXPECT_EQ(VisibleButtons(), std::vector<int>{0});
    EXPECT_FALSE(window.ProgressBar()->isVisibleTo(&window));
    EXPECT_TRUE(window.StatusText()->text().isEmpty());
    EXPECT_TRUE(window.DeviceName()->text().isEmpty());
    EXPECT_TRUE(MenuEnabled());
  }

  bool MenuEnabled() const { return window.FWVersionMenu()->menuAction()->isEnabled(); }

  bool FlashHoldsThePayload() const {
    const auto flash = board.Flash();
    return std::equal(flash.begin(), flash.end(), image.begin() + 8);
  }

  QTemporaryDir work;
  QTemporaryDir locks;
  QString previousFolder;
  std::vector<std::uint8_t> image = test::MakeImage(0x13);
  sim::SimulatedBoard board{sim::BoardConfig{0x21, 0x11}, sim::Pace::Instant};
  MainWindow window;
  QtWindowSystem windowSystem{window};
  QtProcessServices process{locks.path()};
  frmStart form{windowSystem, process, board.Port()};
  FormHost host{window, windowSystem, form};
  std::vector<Shown> messages;
};

TEST_F(FormCycleTest, StartsIdleWithOnlyFindDeviceThePictureAndEmptyLabels) {
  host.Load();
  EXPECT_FALSE(host.Finished());
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), "Tambrelux Pro Updater v1.3");
  ExpectIdle();
  EXPECT_TRUE(window.Picture1()->isVisible());
  EXPECT_TRUE(window.DeviceName()->isVisible());
  EXPECT_TRUE(window.StatusText()->isVisible());
  EXPECT_EQ(window.FWVersionMenu()->title(), "Firmware Version");
  EXPECT_EQ(window.FWVersionMenu()->actions(),
            (QList<QAction*>{window.FWDefault(), window.FWCustom()}));
  EXPECT_EQ(window.FWDefault()->text(), "Default");
  EXPECT_TRUE(window.FWDefault()->isChecked());
  EXPECT_EQ(window.FWCustom()->text(), "Custom");
  EXPECT_FALSE(window.FWCustom()->isChecked());
  EXPECT_TRUE(messages.empty());
}

TEST_F(FormCycleTest, FindFlashOkRunsTheWholeUpdate) {
  host.Load();
  window.Button(0)->click();
  EXPECT_EQ(VisibleButtons(), (std::vector<int>{1, 2}));
  EXPECT_EQ(window.DeviceName()->text(), "Tambrelux Pro - Hardware v2.1");
  EXPECT_EQ(window.StatusText()->text(), "Firmware: v1.1  -  Upgrading to: v1.3");
  EXPECT_FALSE(MenuEnabled());

  int flashingPasses = 0;
  int highestShown = 0;
  QObject::connect(&windowSystem, &QtWindowSystem::settled, [&] {
    if (!window.ProgressBar()->isVisible()) return;
    ++flashingPasses;
    EXPECT_EQ(VisibleButtons(), std::vector<int>{});
    EXPECT_EQ(window.StatusText()->text(), "Flashing device...");
    highestShown = std::max(highestShown, window.ProgressBar()->value());
  });
  window.Button(1)->click();
  EXPECT_GT(flashingPasses, 30);
  EXPECT_EQ(highestShown, 61);
  EXPECT_EQ(VisibleButtons(), std::vector<int>{3});
  EXPECT_EQ(window.StatusText()->text(), "Flash Complete!");
  EXPECT_EQ(window.DeviceName()->text(), "Tambrelux Pro - Hardware v2.1");
  EXPECT_FALSE(window.ProgressBar()->isVisibleTo(&window));
  EXPECT_TRUE(MenuEnabled());
  EXPECT_TRUE(FlashHoldsThePayload());

  window.Button(3)->click();
  ExpectIdle();
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(host.Finished());
}

TEST_F(FormCycleTest, CloseRequestsDuringTheUpdateAreIgnored) {
  host.Load();
  window.Button(0)->click();
  int refused = 0;
  QObject::connect(&windowSystem, &QtWindowSystem::settled, [&] {
    if (window.ProgressBar()->isVisible() && !window.close()) ++refused;
  });
  window.Button(1)->click();
  EXPECT_GT(refused, 30);
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(host.Finished());
  EXPECT_EQ(window.StatusText()->text(), "Flash Complete!");
  EXPECT_TRUE(FlashHoldsThePayload());

  EXPECT_TRUE(window.close());
  EXPECT_TRUE(host.Finished());
  EXPECT_FALSE(window.isVisible());
}

TEST_F(FormCycleTest, MenuIsDisabledDuringTheCheckAndEnabledAfterAbortFlash) {
  host.Load();
  window.FWCustom()->trigger();
  EXPECT_TRUE(window.FWCustom()->isChecked());
  EXPECT_FALSE(window.FWDefault()->isChecked());
  bool menuEnabledInDialog = true;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    menuEnabledInDialog = MenuEnabled();
    dialog->selectFile(work.filePath("TLX.fwu"));
    static_cast<QDialog*>(dialog)->accept();
  });
  window.Button(0)->click();
  EXPECT_FALSE(menuEnabledInDialog);
  EXPECT_EQ(VisibleButtons(), (std::vector<int>{1, 2}));
  EXPECT_FALSE(MenuEnabled());

  window.Button(2)->click();
  ExpectIdle();
  EXPECT_TRUE(window.FWCustom()->isChecked());
}

TEST_F(FormCycleTest, CancelledFileDialogEndsTheCheckWithItsMessage) {
  host.Load();
  window.FWCustom()->trigger();
  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  window.Button(0)->click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "Unable to update!");
  EXPECT_EQ(messages[0].text, "Invalid or missing firmware file!");
  EXPECT_EQ(messages[0].icon, QMessageBox::NoIcon);
  ExpectIdle();
}

TEST_F(FormCycleTest, TheBoardGoneAtTheCheckClosesTheWindowAndEndsTheProgram) {
  host.Load();
  board.Faults().UnplugAt(static_cast<int>(board.CallTrace().Entries().size()) + 1);
  window.Button(0)->click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "USB Error");
  EXPECT_EQ(messages[0].text, "USB Connection Failure!");
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(host.Finished());
}

TEST_F(FormCycleTest, ASecondInstanceIsRefusedBeforeTheBoardIsTouched) {
  QtProcessServices first(locks.path());
  ASSERT_FALSE(first.PrevInstance());
  host.Load();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "Tambrelux Pro Updater");
  EXPECT_EQ(messages[0].text, "ui_tests already running! ");
  EXPECT_EQ(messages[0].icon, QMessageBox::Critical);
  EXPECT_TRUE(host.Finished());
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(board.CallTrace().Entries().empty());
}

}  // namespace
}  // namespace tlx::ui
