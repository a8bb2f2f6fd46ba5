#include "ui/screenshots.h"

#include <QDir>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <cstdio>

namespace tlx::ui {
namespace {

constexpr int kTitleBarHeight = 26;
constexpr int kIconSize = 16;
const QColor kFrameColour(0x2b, 0x36, 0x42);

// "Verify Failure!" becomes "verify-failure".
QString Slug(const QString& text) {
  QString slug;
  for (const QChar c : text.toLower()) {
    if (c.isLetterOrNumber())
      slug += c;
    else if (!slug.isEmpty() && !slug.endsWith('-'))
      slug += '-';
  }
  while (slug.endsWith('-')) slug.chop(1);
  return slug;
}

bool HalfwayOrMore(const QProgressBar& bar) {
  return bar.value() - bar.minimum() >= (bar.maximum() - bar.minimum()) / 2;
}

}  // namespace

QString WindowStateName(const MainWindow& window) {
  if (!window.isVisible()) return {};
  if (window.ProgressBar()->isVisibleTo(&window)) return "flashing";
  if (window.Button(kFlashDevice)->isVisibleTo(&window)) return "ready";
  if (window.Button(kOk)->isVisibleTo(&window)) return "complete";
  if (window.Button(kFindDevice)->isVisibleTo(&window)) return "idle";
  return {};
}

QImage FramedGrab(QWidget& widget) {
  const QPixmap content = widget.grab();
  const QSize contentSize = content.deviceIndependentSize().toSize();
  QImage image(contentSize.width() + 2, contentSize.height() + kTitleBarHeight + 1,
               QImage::Format_RGB32);
  image.fill(kFrameColour);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const int iconTop = (kTitleBarHeight - kIconSize) / 2;
  painter.drawPixmap(8, iconTop, widget.windowIcon().pixmap(kIconSize, kIconSize));
  QFont font = widget.font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(8 + kIconSize + 8, 0, image.width() - 40, kTitleBarHeight),
                   Qt::AlignVCenter | Qt::AlignLeft, widget.windowTitle());
  painter.drawPixmap(QRect(QPoint(1, kTitleBarHeight), contentSize), content);
  return image;
}

Screenshots::Screenshots(MainWindow& window, QtWindowSystem& windowSystem, const QString& directory)
    : window_(window), directory_(directory) {
  QDir().mkpath(directory_);
  connect(&windowSystem, &QtWindowSystem::settled, this, &Screenshots::CaptureWindow);
  connect(&windowSystem, &QtWindowSystem::messageBoxShown, this, &Screenshots::CaptureMessageBox);
}

void Screenshots::CaptureWindow() {
  const QString state = WindowStateName(window_);
  if (state.isEmpty()) return;
  if (state != lastState_) {
    lastState_ = state;
    Save(window_, state);
  } else if (state == "flashing" && !HalfwayOrMore(*window_.ProgressBar())) {
    // Keep the flashing picture moving until the bar is half full: it shows best there.
    Write(FramedGrab(window_));
  }
}

void Screenshots::CaptureMessageBox(QMessageBox* box) {
  Save(*box, "message-" + Slug(box->windowTitle()));
  // A box interrupts the state: show the state again when the window returns to it.
  lastState_.clear();
}

void Screenshots::Save(QWidget& widget, const QString& what) {
  ++taken_;
  lastFile_ =
      QDir(directory_).filePath(QString("%1-%2.png").arg(taken_, 2, 10, QChar('0')).arg(what));
  Write(FramedGrab(widget));
}

void Screenshots::Write(const QImage& image) const {
  if (!image.save(lastFile_))
    std::fprintf(stderr, "Could not save the screenshot %s.\n", qPrintable(lastFile_));
}

}  // namespace tlx::ui
