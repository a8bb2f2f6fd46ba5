#include "ui/message_box.h"

#include "app/window_system.h"
#include "app/window_texts.h"

namespace tlx::ui {

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const std::string& text,
                                            const std::optional<std::string>& title, int style) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setObjectName("MsgBox");
  box->setWindowTitle(QString::fromStdString(title.value_or(kApplicationTitle)));
  // Plain text keeps the double blanks between the sentences of the failure messages.
  box->setTextFormat(Qt::PlainText);
  box->setText(QString::fromStdString(text));
  box->setStandardButtons(QMessageBox::Ok);
  box->setIcon((style & kStyleStopIcon) != 0 ? QMessageBox::Critical : QMessageBox::NoIcon);
  box->setWindowModality(Qt::ApplicationModal);
  // Linux has no system-modal boxes; staying above every other window comes closest.
  if ((style & kStyleSystemModal) != 0)
    box->setWindowFlags(box->windowFlags() | Qt::WindowStaysOnTopHint);
  return box;
}

}  // namespace tlx::ui
