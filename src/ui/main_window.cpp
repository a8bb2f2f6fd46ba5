#include "ui/main_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

#include "app/window_layout.h"
#include "app/window_texts.h"

namespace tlx::ui {
namespace {

void Place(QWidget* widget, const Twips& place) {
  widget->setGeometry(ToPixels(place.left), ToPixels(place.top), ToPixels(place.width),
                      ToPixels(place.height));
}

QLabel* TextLine(QWidget* client, const char* name, const Twips& place) {
  auto* label = new QLabel(client);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignCenter);
  Place(label, place);
  return label;
}

}  // namespace

QIcon ProgramIcon() {
  QIcon icon;
  icon.addFile(":/tlx/icon-16.png", QSize(16, 16));
  icon.addFile(":/tlx/icon-32.png", QSize(32, 32));
  return icon;
}

MainWindow::MainWindow() {
  setObjectName("frmStart");
  // The controls have fixed pixel sizes, so the text gets a fixed pixel size too: a large
  // desktop font would otherwise cut off the status line.
  QFont font = this->font();
  font.setPixelSize(kFontPixels);
  setFont(font);
  setWindowIcon(ProgramIcon());
  BuildMenu();
  auto* client = new QWidget(this);
  client->setFixedSize(kClientWidth, kClientHeight);
  setCentralWidget(client);
  BuildControls(client);
  // The window is exactly the menu bar over the client area, and the user cannot resize it.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MainWindow::BuildMenu() {
  fwVersion_ = menuBar()->addMenu(kFirmwareMenuCaption);
  fwVersion_->setObjectName("mnuFWVersion");
  fwDefault_ = fwVersion_->addAction(kDefaultItemCaption);
  fwDefault_->setObjectName("mnuFWDefault");
  fwDefault_->setCheckable(true);
  fwDefault_->setChecked(true);
  fwCustom_ = fwVersion_->addAction(kCustomItemCaption);
  fwCustom_->setObjectName("mnuFWCustom");
  fwCustom_->setCheckable(true);
}

void MainWindow::BuildControls(QWidget* client) {
  // Created in tab order: Qt's focus chain follows the order in which widgets are made.
  AddButton(client, kOk);
  AddButton(client, kAbortFlash);
  AddPicture(client);
  AddButton(client, kFindDevice);
  AddProgressBar(client);
  AddButton(client, kFlashDevice);
  deviceName_ = TextLine(client, "DeviceName", kDeviceNamePlace);
  statusText_ = TextLine(client, "StatusText", kStatusTextPlace);
}

void MainWindow::AddButton(QWidget* client, int index) {
  auto* button = new QPushButton(kButtonCaptions[static_cast<std::size_t>(index)], client);
  button->setObjectName(QString("Button%1").arg(index));
  button->setVisible(index == kFindDevice);
  Place(button, kButtonPlaces[static_cast<std::size_t>(index)]);
  connect(button, &QPushButton::clicked, this, [this, index] { emit buttonClicked(index); });
  buttons_[static_cast<std::size_t>(index)] = button;
}

void MainWindow::AddPicture(QWidget* client) {
  auto* picture = new QLabel(client);
  picture->setObjectName("Picture1");
  picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  picture->setLineWidth(2);
  picture->setAlignment(Qt::AlignCenter);
  picture->setPixmap(QPixmap(":/tlx/board.png"));
  Place(picture, kPicturePlace);
}

void MainWindow::AddProgressBar(QWidget* client) {
  progressBar_ = new QProgressBar(client);
  progressBar_->setObjectName("ProgressBar");
  progressBar_->setMinimum(0);
  // A plain bar: a percentage drawn across its moving edge is hard to read.
  progressBar_->setTextVisible(false);
  progressBar_->setToolTip(kProgressToolTip);
  progressBar_->hide();
  Place(progressBar_, kProgressPlace);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (onCloseRequest && !onCloseRequest())
    event->ignore();
  else
    event->accept();
}

}  // namespace tlx::ui
