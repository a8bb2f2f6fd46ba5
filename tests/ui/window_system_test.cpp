// The seam operations on the Qt window: progress past its maximum, the menu, message boxes,
// event processing and unloading.
#include "ui/qt_window_system.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>

namespace tlx::ui {
namespace {

class WindowSystemTest : public ::testing::Test {
 protected:
  MainWindow window;
  QtWindowSystem windowSystem{window};
};

TEST_F(WindowSystemTest, ProgressPastTheMaximumShowsAFullBarAndReadsBackAsSet) {
  windowSystem.SetProgressMax(61);
  windowSystem.SetProgressValue(62);
  EXPECT_EQ(window.ProgressBar()->value(), 61);
  EXPECT_EQ(windowSystem.ProgressValue(), 62);
  windowSystem.SetProgressValue(30);
  EXPECT_EQ(window.ProgressBar()->value(), 30);
  EXPECT_EQ(windowSystem.ProgressValue(), 30);
}

TEST_F(WindowSystemTest, MenuDisablesAsAWholeAndKeepsItsCheckMarks) {
  windowSystem.SetMenuEnabled(false);
  EXPECT_FALSE(window.FWVersionMenu()->menuAction()->isEnabled());
  windowSystem.SetMenuChecked(MenuItem::FWCustom, true);
  windowSystem.SetMenuChecked(MenuItem::FWDefault, false);
  EXPECT_TRUE(windowSystem.MenuChecked(MenuItem::FWCustom));
  EXPECT_FALSE(window.FWDefault()->isChecked());
  windowSystem.SetMenuEnabled(true);
  EXPECT_TRUE(window.FWVersionMenu()->menuAction()->isEnabled());
}

struct BoxCase {
  const char* name;
  std::string text;
  std::optional<std::string> title;
  int style;
  QString shownTitle;
  QMessageBox::Icon icon;
  bool onTop;
};

const BoxCase kBoxes[] = {
    {"StopStyleWithoutTitle", "updater already running! ", std::nullopt, 4112,
     "Tambrelux Pro Updater", QMessageBox::Critical, true},
    {"PlainStyleWithTitle",
     "Step 3 - Device verify error!  Data is corrupted!  ** DO NOT POWER OFF BOARD!! **  "
     "Re-try update!",
     "Verify Failure!", 0, "Verify Failure!", QMessageBox::NoIcon, false},
};

class MessageBoxTest : public WindowSystemTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(MessageBoxTest, ShowsTitleTextAndOkOnlyUntilDismissed) {
  const BoxCase& box = GetParam();
  window.show();
  bool seen = false;
  QObject::connect(&windowSystem, &QtWindowSystem::messageBoxShown, [&](QMessageBox* shown) {
    seen = true;
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(shown->windowTitle(), box.shownTitle);
    EXPECT_EQ(shown->text().toStdString(), box.text);
    EXPECT_EQ(shown->icon(), box.icon);
    EXPECT_EQ(shown->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(shown->windowFlags().testFlag(Qt::WindowStaysOnTopHint), box.onTop);
    ASSERT_EQ(shown->buttons().size(), 1);
    EXPECT_EQ(shown->standardButton(shown->buttons().first()), QMessageBox::Ok);
    shown->buttons().first()->click();
  });
  windowSystem.MsgBox(box.text, box.title, box.style);
  EXPECT_TRUE(seen);
}

INSTANTIATE_TEST_SUITE_P(Styles, MessageBoxTest, ::testing::ValuesIn(kBoxes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowSystemTest, MessageBoxShowsAlsoAfterTheWindowWasUnloaded) {
  window.show();
  windowSystem.Unload();
  bool seen = false;
  QObject::connect(&windowSystem, &QtWindowSystem::messageBoxShown, [&](QMessageBox* shown) {
    seen = shown->isVisible();
    shown->accept();
  });
  windowSystem.MsgBox("Tambrelux Pro hardware not found!", "USB Error!", 0);
  EXPECT_TRUE(seen);
}

TEST_F(WindowSystemTest, DoEventsRunsWhatIsPending) {
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  windowSystem.DoEvents();
  EXPECT_TRUE(ran);
}

TEST_F(WindowSystemTest, UnloadAsksTheFormThenHidesTheWindow) {
  window.show();
  int asked = 0;
  windowSystem.onUnload = [&](bool& cancel) {
    ++asked;
    EXPECT_TRUE(window.isVisible());
    cancel = asked == 1;
  };
  windowSystem.Unload();
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(windowSystem.Unloaded());
  windowSystem.Unload();
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(windowSystem.Unloaded());
}

}  // namespace
}  // namespace tlx::ui
