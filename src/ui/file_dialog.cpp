#include "ui/file_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QStringList>

namespace tlx::ui {
namespace {

void Configure(QFileDialog& qtDialog, const FileOpenDialog& dialog) {
  // Qt's own dialog matches name filters without regard to case, so "*.fwu" also lists
  // IMAGE.FWU; a desktop's native dialog might not.
  qtDialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
  qtDialog.setAcceptMode(QFileDialog::AcceptOpen);
  qtDialog.setFileMode((dialog.Flags & kDialogFileMustExist) != 0 ? QFileDialog::ExistingFile
                                                                  : QFileDialog::AnyFile);
  qtDialog.setWindowTitle(QString::fromStdString(dialog.DialogTitle));
  const QString filter = ToQtFilter(dialog.Filter);
  qtDialog.setNameFilters(filter.split(";;"));
  qtDialog.selectNameFilter(filter.section(";;", 0, 0));
  if (!dialog.InitDir.empty()) qtDialog.setDirectory(QFile::decodeName(dialog.InitDir.c_str()));
  qtDialog.selectFile(QFile::decodeName(dialog.FileName.c_str()));
}

}  // namespace

// "*.*" means every file in the dialog's convention, but in Qt's it needs a dot in the name,
// which would hide a file such as "imagefwu" that the loader accepts.
QString ToQtFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns)
      if (pattern == "*.*") pattern = "*";
    entries << QString("%1 (%2)").arg(parts[i], patterns.join(' '));
  }
  return entries.join(";;");
}

bool ShowOpenDialog(QWidget* parent, FileOpenDialog& dialog) {
  QFileDialog qtDialog(parent);
  qtDialog.setObjectName("CommonDialog1");
  Configure(qtDialog, dialog);
  if (qtDialog.exec() != QDialog::Accepted || qtDialog.selectedFiles().isEmpty()) return false;
  dialog.FileName = QFile::encodeName(qtDialog.selectedFiles().constFirst()).toStdString();
  return true;
}

}  // namespace tlx::ui
