// The seam operations on the Qt window where Qt would otherwise differ from what the logic
// needs: progress past the maximum, and message boxes by style.
#include "ui/qt_window_system.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QProgressBar>

namespace tlx::ui {
namespace {

TEST(WindowSystemTest, ProgressPastTheMaximumShowsAFullBarAndReadsBackAsSet) {
  MainWindow window;
  QtWindowSystem windowSystem(window);
  windowSystem.SetProgressMax(61);
  windowSystem.SetProgressValue(62);
  EXPECT_EQ(window.ProgressBar()->value(), 61);
  EXPECT_EQ(windowSystem.ProgressValue(), 62);
}

struct BoxCase {
  const char* name;
  std::string text;
  std::optional<std::string> title;
  int style;
  bool windowShown;
  QString shownTitle;
  QMessageBox::Icon icon;
  bool onTop;
};

const BoxCase kBoxes[] = {
    {"StopStyleWithoutTitle", "updater already running! ", std::nullopt, 4112, false,
     "Tambrelux Pro Updater", QMessageBox::Critical, true},
    {"PlainStyleWithTitle",
     "Step 3 - Device verify error!  Data is corrupted!  ** DO NOT POWER OFF BOARD!! **  "
     "Re-try update!",
     "Verify Failure!", 0, true, "Verify Failure!", QMessageBox::NoIcon, false},
};

class MessageBoxTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxTest, ShowsTitleTextAndOkOnlyUntilDismissed) {
  const BoxCase& box = GetParam();
  MainWindow window;
  QtWindowSystem windowSystem(window);
  window.setVisible(box.windowShown);
  bool seen = false;
  QObject::connect(&windowSystem, &QtWindowSystem::messageBoxShown, [&](QMessageBox* shown) {
    seen = shown->isVisible();
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

}  // namespace
}  // namespace tlx::ui
