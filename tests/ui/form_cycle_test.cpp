// The Qt window driving the window logic against the simulated board: start-up, a whole
// Find, Flash, Ok cycle, close requests during the update, the menu around the check, the
// message boxes as shown, and a second instance.
#include <gtest/gtest.h>

#include <sstream>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <iostream>

#include "app/frm_start.h"
#include "firmware_files.h"
#include "process/posix_process_services.h"
#include "sim/simulated_board.h"
#include "ui/form_host.h"

namespace tlx::ui {
namespace {

struct Shown {
  std::string title;
  std::string text;
  QMessageBox::Icon icon;
  bool onTop;
};

class FormCycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QObject::connect(&windowSystem, &QtWindowSystem::messageBoxShown, [this](QMessageBox* box) {
      EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
      EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
      messages.push_back({box->windowTitle().toStdString(), box->text().toStdString(), box->icon(),
                          box->windowFlags().testFlag(Qt::WindowStaysOnTopHint)});
      box->accept();
    });
  }

  std::vector<int> VisibleButtons() const {
    std::vector<int> visible;
    for (int index = 0; index < 4; ++index)
      if (window.Button(index)->isVisibleTo(&window)) visible.push_back(index);
    return visible;
  }

  bool MenuEnabled() const { return window.FWVersionMenu()->menuAction()->isEnabled(); }

  void ExpectIdle() const {
    EXPECT_EQ(VisibleButtons(), std::vector<int>{0});
    EXPECT_FALSE(window.ProgressBar()->isVisibleTo(&window));
    EXPECT_TRUE(window.StatusText()->text().isEmpty());
    EXPECT_TRUE(window.DeviceName()->text().isEmpty());
    EXPECT_TRUE(MenuEnabled());
  }

  // Presses "Find Device", then "Flash Device", calling duringUpdate each time the window
  // settles with the bar shown.
  void FindAndFlash(const std::function<void()>& duringUpdate) {
    host.Load();
    window.Button(0)->click();
    ASSERT_EQ(VisibleButtons(), (std::vector<int>{1, 2}));
    EXPECT_FALSE(MenuEnabled());
    const auto hook = QObject::connect(&windowSystem, &QtWindowSystem::settled, [&] {
      if (window.ProgressBar()->isVisible()) duringUpdate();
    });
    window.Button(1)->click();
    QObject::disconnect(hook);
    EXPECT_EQ(window.StatusText()->text(), "Flash Complete!");
    const auto flash = board.Flash();
    EXPECT_TRUE(std::equal(flash.begin(), flash.end(), image.begin() + 8));
  }

  test::TempFolder work;
  test::CurrentDirectory inWork{work.Path()};
  std::vector<std::uint8_t> image = test::WriteFirmware(work / "TLX.fwu", {.version = 0x13});
  sim::SimulatedBoard board{sim::BoardConfig{0x21, 0x11}, sim::Pace::Instant};
  MainWindow window;
  QtWindowSystem windowSystem{window};
  std::filesystem::path lockFile = work / "updater.lock";
  process::PosixProcessServices process{lockFile, std::cerr};
  std::ostringstream logWarnings;
  SessionLog log{{}, logWarnings};
  frmStart form{windowSystem, process, board.Port(), log};
  FormHost host{window, windowSystem, form};
  std::vector<Shown> messages;
};

// Every close request while the board is written is refused; afterwards the window closes.
TEST_F(FormCycleTest, FindFlashOkRunsTheWholeUpdateAndNoCloseStopsIt) {
  int flashingPasses = 0;
  int highestShown = 0;
  FindAndFlash([&] {
    ++flashingPasses;
    EXPECT_EQ(VisibleButtons(), std::vector<int>{});
    EXPECT_EQ(window.StatusText()->text(), "Flashing device...");
    highestShown = std::max(highestShown, window.ProgressBar()->value());
    EXPECT_FALSE(window.close());
  });
  EXPECT_GT(flashingPasses, 30);
  EXPECT_EQ(highestShown, 61);
  EXPECT_EQ(VisibleButtons(), std::vector<int>{3});
  EXPECT_EQ(window.DeviceName()->text(), "Tambrelux Pro - Hardware v2.1");
  EXPECT_FALSE(window.ProgressBar()->isVisibleTo(&window));
  EXPECT_TRUE(MenuEnabled());

  window.Button(3)->click();
  ExpectIdle();
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(host.Finished());
  EXPECT_TRUE(window.close());
  EXPECT_TRUE(host.Finished());
}

TEST_F(FormCycleTest, StartsIdleAndTheMenuIsDisabledDuringTheCheckAndEnabledAfterAbortFlash) {
  host.Load();
  EXPECT_EQ(window.windowTitle(), "Tambrelux Pro Updater v1.3");
  ExpectIdle();
  QStringList items;
  for (const QAction* item : window.FWVersionMenu()->actions())
    items << item->text() + (item->isChecked() ? " (checked)" : "");
  EXPECT_EQ(items, (QStringList{"Default (checked)", "Custom"}));
  window.FWCustom()->trigger();
  EXPECT_FALSE(window.FWDefault()->isChecked());
  bool menuEnabledInDialog = true;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    menuEnabledInDialog = MenuEnabled();
    dialog->selectFile(QString::fromStdString((work / "TLX.fwu").string()));
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

TEST_F(FormCycleTest, CancelledFileDialogEndsTheCheckWithAPlainMessage) {
  host.Load();
  window.FWCustom()->trigger();
  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  window.Button(0)->click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "Unable to update!");
  EXPECT_EQ(messages[0].text, "Invalid or missing firmware file!");
  EXPECT_EQ(messages[0].icon, QMessageBox::NoIcon);
  EXPECT_FALSE(messages[0].onTop);
  ExpectIdle();
}

TEST_F(FormCycleTest, ASecondInstanceIsRefusedBeforeTheBoardIsTouched) {
  process::PosixProcessServices first(lockFile, std::cerr);
  ASSERT_FALSE(first.PrevInstance());
  EXPECT_EQ(QString::fromStdString(first.ProgramPath()), QCoreApplication::applicationDirPath());
  host.Load();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "Tambrelux Pro Updater");
  EXPECT_EQ(messages[0].text, "ui_tests already running! ");
  EXPECT_EQ(messages[0].icon, QMessageBox::Critical);
  EXPECT_TRUE(messages[0].onTop);
  EXPECT_TRUE(host.Finished());
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(board.CallTrace().Entries().empty());
}

}  // namespace
}  // namespace tlx::ui
