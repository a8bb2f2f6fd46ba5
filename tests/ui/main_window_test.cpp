// The window as built: what shows, where every control sits, the tab order, the menu.
#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <vector>

namespace tlx::ui {
namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.show();
    QCoreApplication::processEvents();
  }

  QWidget* Control(const char* name) const { return window.findChild<QWidget*>(name); }

  MainWindow window;
};

struct Placement {
  const char* name;
  QRect pixels;
};

// Twips divided by 15, to the nearest pixel.
const Placement kPlacements[] = {
    {"Button3", {132, 216, 72, 33}},     {"Button2", {188, 216, 97, 33}},
    {"Picture1", {86, 24, 164, 124}},    {"Button0", {108, 216, 121, 33}},
    {"ProgressBar", {84, 218, 169, 29}}, {"Button1", {52, 216, 97, 33}},
    {"DeviceName", {36, 160, 265, 17}},  {"StatusText", {35, 184, 265, 17}},
};

class ControlPlacementTest : public MainWindowTest,
                             public ::testing::WithParamInterface<Placement> {};

TEST_P(ControlPlacementTest, SitsAtItsPlaceInTheClientArea) {
  QWidget* control = Control(GetParam().name);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->parentWidget(), window.ClientArea());
  EXPECT_EQ(control->geometry(), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(AllControls, ControlPlacementTest, ::testing::ValuesIn(kPlacements),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, ClientAreaIsFixedBelowTheMenuBar) {
  EXPECT_EQ(window.ClientArea()->size(), QSize(336, 273));
  EXPECT_EQ(window.ClientArea()->y(), window.menuBar()->height());
  EXPECT_GT(window.menuBar()->height(), 0);
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_EQ(window.size(), QSize(336, 273 + window.menuBar()->height()));
}

TEST_F(MainWindowTest, ShowsOnlyFindDeviceThePictureAndEmptyLabelsWhenBuilt) {
  std::vector<std::string> visible;
  for (QWidget* child : window.ClientArea()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (child->isVisible()) visible.push_back(child->objectName().toStdString());
  std::sort(visible.begin(), visible.end());
  EXPECT_EQ(visible, (std::vector<std::string>{"Button0", "DeviceName", "Picture1", "StatusText"}));
  EXPECT_EQ(window.Button(0)->text(), "Find Device");
  EXPECT_TRUE(window.DeviceName()->text().isEmpty());
  EXPECT_TRUE(window.StatusText()->text().isEmpty());
}

TEST_F(MainWindowTest, ButtonsCarryTheirCaptions) {
  const char* captions[] = {"Find Device", "Flash Device", "Abort Flash", "Ok!"};
  for (int index = 0; index < 4; ++index) EXPECT_EQ(window.Button(index)->text(), captions[index]);
}

TEST_F(MainWindowTest, FollowsTheTabOrder) {
  const std::vector<std::string> expected = {"Button3",     "Button2", "Picture1",   "Button0",
                                             "ProgressBar", "Button1", "DeviceName", "StatusText"};
  std::vector<std::string> order;
  QWidget* widget = Control("Button3");
  for (int step = 0; step < 100 && order.size() < expected.size(); ++step) {
    const std::string name = widget->objectName().toStdString();
    if (std::find(expected.begin(), expected.end(), name) != expected.end()) order.push_back(name);
    widget = widget->nextInFocusChain();
  }
  EXPECT_EQ(order, expected);
}

TEST_F(MainWindowTest, MenuOffersDefaultCheckedAndCustom) {
  EXPECT_EQ(window.FWVersionMenu()->title(), "Firmware Version");
  const QList<QAction*> items = window.FWVersionMenu()->actions();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->text(), "Default");
  EXPECT_TRUE(items[0]->isCheckable() && items[0]->isChecked());
  EXPECT_EQ(items[1]->text(), "Custom");
  EXPECT_TRUE(items[1]->isCheckable());
  EXPECT_FALSE(items[1]->isChecked());
}

TEST_F(MainWindowTest, ProgressBarStartsAtZeroWithItsToolTip) {
  EXPECT_EQ(window.ProgressBar()->minimum(), 0);
  EXPECT_EQ(window.ProgressBar()->toolTip(),
            "This bar shows the current progress of an operation.");
}

TEST_F(MainWindowTest, CarriesTheBoardPictureAndTheIconInTwoSizes) {
  EXPECT_EQ(window.Picture1()->pixmap().size(), QSize(160, 120));
  const QList<QSize> sizes = window.windowIcon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(16, 16)));
  EXPECT_TRUE(sizes.contains(QSize(32, 32)));
}

TEST(MainWindowFontTest, TextsFitTheirControlsEvenUnderALargeDesktopFont) {
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
