// The window as built: where every control sits, the tab order, text that fits, and the bar
// past its maximum.
#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "ui/qt_window_system.h"

namespace tlx::ui {
namespace {

struct Placement {
  const char* name;
  QRect pixels;
};

// Twips divided by 15, to the nearest pixel, in tab order.
const Placement kPlacements[] = {
    {"Button3", {132, 216, 72, 33}},     {"Button2", {188, 216, 97, 33}},
    {"Picture1", {86, 24, 164, 124}},    {"Button0", {108, 216, 121, 33}},
    {"ProgressBar", {84, 218, 169, 29}}, {"Button1", {52, 216, 97, 33}},
    {"DeviceName", {36, 160, 265, 17}},  {"StatusText", {35, 184, 265, 17}},
};

TEST(MainWindowTest, EveryControlSitsAtItsPlaceInTabOrder) {
  MainWindow window;
  std::vector<std::string> expected;
  for (const auto& [name, pixels] : kPlacements) {
    auto* control = window.findChild<QWidget*>(name);
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(control->parentWidget(), window.ClientArea()) << name;
    EXPECT_EQ(control->geometry(), pixels) << name;
    expected.push_back(name);
  }
  std::vector<std::string> order;
  QWidget* widget = window.Button(3);
  for (int step = 0; step < 100 && order.size() < expected.size(); ++step) {
    const std::string name = widget->objectName().toStdString();
    if (std::ranges::find(expected, name) != expected.end()) order.push_back(name);
    widget = widget->nextInFocusChain();
  }
  EXPECT_EQ(order, expected);
}

TEST(MainWindowTest, IsFixedBelowTheMenuBarWithItsArtworkAndToolTip) {
  MainWindow window;
  window.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(window.ClientArea()->size(), QSize(336, 273));
  EXPECT_GT(window.menuBar()->height(), 0);
  EXPECT_EQ(window.ClientArea()->y(), window.menuBar()->height());
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_EQ(window.size(), QSize(336, 273 + window.menuBar()->height()));
  EXPECT_EQ(window.Picture1()->pixmap().size(), QSize(160, 120));
  const QList<QSize> sizes = window.windowIcon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)));
  EXPECT_EQ(window.ProgressBar()->toolTip(),
            "This bar shows the current progress of an operation.");
}

TEST(MainWindowTest, TextsFitTheirControlsEvenUnderALargeDesktopFont) {
  const QFont desktop = QApplication::font();
  QFont large = desktop;
  large.setPointSize(16);
  QApplication::setFont(large);
  MainWindow window;
  window.StatusText()->setText("Firmware: v1.1  -  Upgrading to: v1.3");
  window.DeviceName()->setText("Tambrelux Pro - Hardware v2.1");
  for (QLabel* label : {window.StatusText(), window.DeviceName()}) {
    EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
    EXPECT_LE(label->fontMetrics().height(), label->height()) << label->text().toStdString();
  }
  for (int index = 0; index < 4; ++index) {
    QPushButton* button = window.Button(index);
    // Room for the caption and the button's frame; Qt's size hint adds a minimum width.
    EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 16, button->width())
        << button->text().toStdString();
  }
  QApplication::setFont(desktop);
}

}  // namespace
}  // namespace tlx::ui
